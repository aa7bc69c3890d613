#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "causes/Cause.h"

// The one table of causes: for every cause, what is wrong and the way out, in English for
// contaxio-cli and as UI text ids for the wizard (which takes them from the language files),
// the word scripts read (`contaxio-cli list --json`) and the help topic that explains it.
//
// The English texts are parts of one sentence (the CLI writes "<kind>: <subject>: <what>;
// <way out>."), in lower case, without a full stop. Their placeholders are those of
// arguments(): for phone causes %1 the program holding the port, %2 its process id, %3 the
// errno's name, %4 the udev rule's installed path, %5 the port; for file causes %1 the folder,
// %2 where another file is given (an option such as --output), %3 the errno's name. The UI
// texts use %1 and %2 like the English ones of their cause.
namespace causes {

struct CauseEntry {
    // The stable word of `list --json` ("permission", "busy", ...); empty for a phone that
    // can be read, and for file causes.
    std::string_view reason;
    std::string_view what;    // English
    std::string_view wayOut;  // English
    std::uint32_t whatTextId = 0;
    std::uint32_t wayOutTextId = 0;
    // The help topic of the section that explains the cause (see AppContext::helpPage); -1 for
    // none.
    std::int32_t helpTopic = -1;
};

// Every cause has an entry.
const CauseEntry& entryOf(Cause cause);
const CauseEntry& entryOf(FileCause cause);

// The causes in their order, for whoever goes through them all.
const std::vector<Cause>& allCauses();
const std::vector<FileCause>& allFileCauses();

// The cause of a port that did not open, from the open's errno (0: not known).
Cause causeOfOpenError(int error);
// The cause of a port that failed while the phone was asked (code 0: closed meanwhile).
Cause causeOfPortFailure(int code);
// The cause of a file that cannot be created or written; existingFile: the failure concerns
// the file already there, not its folder.
FileCause causeOfFileError(int error, bool existingFile);

// "EACCES" and the like: the name of an errno ("error <n>" for one without a name).
std::string errorName(int code);

// The arguments of a phone cause's texts (see above); rule and port as the caller has them.
std::vector<std::string> arguments(const PhoneCause& cause, std::string_view rule = {},
                                   std::string_view port = {});
// The arguments of a file cause's texts.
std::vector<std::string> fileArguments(std::string_view folder, std::string_view option, int error);
// The folder a file is written into, as the texts name it ("." for a bare file name).
std::string folderOf(std::string_view path);

// An English text of the table with its arguments filled in.
std::string filled(std::string_view text, const std::vector<std::string>& arguments);

}  // namespace causes
