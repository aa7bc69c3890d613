#include "cli/UserMessages.h"

#include <cerrno>

#include "causes/CauseTable.h"
#include "cli/ExportTexts.h"
#include "devices/DeviceCause.h"

namespace {

using Message = UserMessages::Message;
using Kind = Message::Kind;

Message error(std::string subject, std::string cause, std::string wayOut) {
    return Message{Kind::Error, std::move(subject), std::move(cause), std::move(wayOut)};
}

std::string portSubject(const std::string& port) {
    return "port " + port;
}

std::string phoneSubject(const std::string& port) {
    return "phone on " + port;
}

std::string outputSubject(const std::string& path) {
    return "output file " + path;
}

// The sentence parts of a phone cause, filled in.
Message fromCause(Kind kind, std::string subject, const causes::PhoneCause& cause,
                  const std::string& port) {
    const causes::CauseEntry& entry = causes::entryOf(cause.kind);
    const std::vector<std::string> arguments = causes::arguments(cause, CONTAXIO_UDEV_RULE, port);
    return Message{kind, std::move(subject), causes::filled(entry.what, arguments),
                   causes::filled(entry.wayOut, arguments)};
}

// What is wrong with a file that cannot be written, and the way out, from the errno of the
// failure. option: where another file is given ("--output", "--trace").
std::pair<std::string, std::string> fileCause(int code, bool existingFile, const std::string& path,
                                              const std::string& option) {
    const causes::CauseEntry& entry = causes::entryOf(causes::causeOfFileError(code, existingFile));
    const std::vector<std::string> arguments =
        causes::fileArguments(UserMessages::folderOf(path), option, code);
    return {causes::filled(entry.what, arguments), causes::filled(entry.wayOut, arguments)};
}

}  // namespace

std::string UserMessages::Message::text() const {
    std::string text;
    switch (kind) {
        case Kind::Error:
            text = "error: ";
            break;
        case Kind::Warning:
            text = "warning: ";
            break;
        case Kind::Note:
            text = "note: ";
            break;
    }
    text += subject + ": " + cause;
    if (!wayOut.empty()) {
        text += "; " + wayOut;
    }
    return text + ".";
}

std::string UserMessages::Message::causeAndWayOut() const {
    return cause + (wayOut.empty() ? "" : "; " + wayOut) + ".";
}

std::string UserMessages::errorName(int code) {
    return causes::errorName(code);
}

std::string UserMessages::folderOf(const std::string& path) {
    return causes::folderOf(path);
}

UserMessages::Message UserMessages::portNotOpened(const std::string& port, int openError) {
    return portNotOpened(port, causes::PhoneCause{causes::causeOfOpenError(openError), openError});
}

UserMessages::Message UserMessages::portNotOpened(const std::string& port,
                                                  const causes::PhoneCause& cause) {
    return fromCause(Kind::Error, portSubject(port), cause, port);
}

UserMessages::Message UserMessages::portFailed(const std::string& port, int code) {
    const causes::Cause cause = causes::causeOfPortFailure(code);
    // A phone that went, or stopped taking data, is the phone's failure, not the port's.
    const bool aboutPhone =
        cause == causes::Cause::Disconnected || cause == causes::Cause::StoppedAccepting;
    return fromCause(Kind::Error, aboutPhone ? phoneSubject(port) : portSubject(port),
                     causes::PhoneCause{cause, code}, port);
}

UserMessages::Message UserMessages::phoneNotAnswering(const std::string& port) {
    return fromCause(Kind::Error, phoneSubject(port), causes::PhoneCause{causes::Cause::Silent},
                     port);
}

UserMessages::Message UserMessages::phoneUnsupported(const std::string& port,
                                                     const std::string& model) {
    return fromCause(Kind::Error,
                     phoneSubject(port) + (model.empty() ? "" : " (model " + model + ")"),
                     causes::PhoneCause{causes::Cause::MissingCommands}, port);
}

UserMessages::Message UserMessages::phoneDisconnected(const std::string& port) {
    return fromCause(Kind::Error, phoneSubject(port),
                     causes::PhoneCause{causes::Cause::Disconnected}, port);
}

UserMessages::Message UserMessages::noStorages(const std::string& port) {
    return error(phoneSubject(port),
                 "it offers neither its own phonebook nor the SIM's, so there is nothing to "
                 "export",
                 "check that it is unlocked and its SIM is in place, then try again");
}

UserMessages::Message UserMessages::storageMissing(const std::string& port, StorageKind storageKind,
                                                   const std::string& offered) {
    return error(phoneSubject(port),
                 "it has no " + ExportTexts::storageName(storageKind) +
                     " phonebook (it offers: " + (offered.empty() ? "none" : offered) + ")",
                 "choose another with --storages");
}

UserMessages::Message UserMessages::asciiFallback(const std::string& port) {
    return Message{Kind::Warning, phoneSubject(port),
                   "it offers neither UCS2 nor UTF8, so it is read in ASCII and letters outside "
                   "ASCII arrive as '?'",
                   ""};
}

UserMessages::Message UserMessages::storageFailed(const std::string& port,
                                                  StorageKind storageKind) {
    return error(phoneSubject(port),
                 "reading its " + ExportTexts::storageName(storageKind) +
                     " failed, as it stopped answering, answered something unusable or "
                     "refused the storage",
                 "unplug it, plug it in again and run the export again");
}

UserMessages::Message UserMessages::phoneCannotBeUsed(const std::string& port,
                                                      const std::string& model, DeviceState state,
                                                      const causes::PhoneCause& probed) {
    const std::string subject =
        (port.empty() ? std::string("attached phone") : phoneSubject(port)) +
        (model.empty() ? "" : " (model " + model + ")");
    const causes::PhoneCause cause = deviceCause(state, !model.empty(), probed);
    Message message = fromCause(Kind::Error, subject, cause, port);
    if (cause.kind == causes::Cause::Unknown && port.empty()) {
        message.wayOut = "check that it is switched on and unlocked";
    }
    return message;
}

UserMessages::Message UserMessages::noPhoneAttached(bool othersAttached) {
    if (othersAttached) {
        return error("phone", "none of the maker's phones is attached",
                     "give the port of another maker's phone with --port, or connect the phone "
                     "by USB, switch it on and run the command again");
    }
    return error("phone", "no phone is attached (none shows among the USB devices)",
                 "connect the phone by USB, switch it on and run the command again, or give its "
                 "port with --port");
}

UserMessages::Message UserMessages::severalPhones(const std::vector<std::string>& ports) {
    std::string list;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == ports.size() ? " and " : ", ") + ports[i];
    }
    return error("phone",
                 std::to_string(ports.size()) + " attached phones can be read (on " + list + ")",
                 "choose one with --port" +
                     (ports.empty() ? std::string() : ", such as --port " + ports.front()));
}

UserMessages::Message UserMessages::phoneChosen(const std::string& port, const std::string& model) {
    return Message{Kind::Note, phoneSubject(port) + (model.empty() ? "" : " (model " + model + ")"),
                   "it is the one attached phone that can be read, so it is used", ""};
}

UserMessages::Message UserMessages::devicesUnreadable(const std::string& folder, int code,
                                                      const std::string& variable) {
    const std::string otherTree =
        variable.empty() ? std::string(
                               "check that the sysfs file system is mounted on /sys "
                               "(sudo mount -t sysfs sysfs /sys)")
                         : "point " + variable + " at a sysfs tree, or unset it to read /sys";
    switch (code) {
        case ENOENT:
            return error("devices", "there is no folder " + folder + " to find phones in",
                         otherTree);
        case ENOTDIR:
            return error("devices", folder + " is not a folder", otherTree);
        case EACCES:
        case EPERM:
            return error("devices", "you may not read " + folder,
                         variable.empty() ? std::string("run the command as a user who may read it")
                                          : "point " + variable + " at a tree you may read");
        case 0:
            return error("devices", folder + " cannot be read", otherTree);
        default:
            return error("devices", folder + " cannot be read (" + errorName(code) + ")",
                         otherTree);
    }
}

UserMessages::Message UserMessages::searchIncomplete(long long seconds) {
    return Message{Kind::Warning, "phones",
                   "the search did not end within " + std::to_string(seconds) +
                       " seconds, so phones still being asked may be missing",
                   "run the command again"};
}

UserMessages::Message UserMessages::watching() {
    return Message{Kind::Note, "list", "following phones as they are plugged in and unplugged",
                   "press Ctrl-C to end"};
}

UserMessages::Message UserMessages::outputProblem(const std::string& path, int code,
                                                  bool existingFile) {
    auto [cause, wayOut] = fileCause(code, existingFile, path, "--output");
    return error(outputSubject(path), std::move(cause), std::move(wayOut));
}

UserMessages::Message UserMessages::outputIsTerminal(const std::string& path) {
    return error(outputSubject(path), "it is a terminal (a serial port or a console), not a file",
                 "give a file name to --output, or - for standard output");
}

UserMessages::Message UserMessages::standardOutputIsTerminal(OutputFormat layout) {
    if (layout == OutputFormat::VCard) {
        return error("standard output",
                     "it is a terminal, which would show the vCards, not keep them",
                     "redirect it to a file or a program (> contacts.vcf, | less), or give "
                     "--output FILE");
    }
    return error("standard output",
                 "it is a terminal, and the CSV file is binary (UTF-16 for most phones)",
                 "redirect it to a file or a program (> contacts.csv, | gzip), or give "
                 "--output FILE");
}

UserMessages::Message UserMessages::outputNotReplaced(const std::string& path, int code,
                                                      bool existingFile) {
    auto [cause, wayOut] = fileCause(code, existingFile, path, "--output");
    return error(outputSubject(path),
                 cause +
                     ", so the exported contacts cannot take its place and it is left as "
                     "it was",
                 std::move(wayOut));
}

UserMessages::Message UserMessages::standardOutputFailed(int code) {
    std::string cause;
    switch (code) {
        case EBADF:
            cause = "it is closed";
            break;
        case EPIPE:
            cause = "the program reading it has ended";
            break;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
        case EIO:
        case ENXIO:
            // The same causes as for a file; nothing of a folder applies here.
            cause = fileCause(code, false, "-", "--output").first;
            break;
        default:
            cause = "the system refused it (" + errorName(code) + ")";
    }
    return error("standard output", "writing failed, as " + cause,
                 "check where standard output goes and run the command again");
}

UserMessages::Message UserMessages::traceProblem(const std::string& path, int code) {
    auto [cause, wayOut] = fileCause(code, false, path, "--trace");
    return error("trace file " + path, std::move(cause), std::move(wayOut));
}

UserMessages::Message UserMessages::traceIsTerminal(const std::string& path) {
    return error("trace file " + path, "it is a terminal, not a file",
                 "give a file name to --trace");
}

UserMessages::Message UserMessages::traceIncomplete(const std::string& path, int code) {
    return Message{Kind::Warning, "trace file " + path,
                   "writing it failed, as " + fileCause(code, false, path, "--trace").first,
                   "the trace ends there"};
}

UserMessages::Message UserMessages::usage(const std::string& problem, const std::string& command) {
    return error("command line", problem,
                 "see contaxio-cli " + (command.empty() ? "" : command + " ") + "--help");
}

UserMessages::Message UserMessages::stopping() {
    return Message{Kind::Note, "export", "stopping at the next contact",
                   "the contacts read so far make the new file"};
}

UserMessages::Message UserMessages::stopped() {
    return Message{Kind::Note, "contaxio-cli", "stopped on request", ""};
}

UserMessages::Message UserMessages::demoStarted(const std::string& model, const std::string& port,
                                                const std::string& output) {
    return Message{Kind::Note, "demo", "a simulated phone (model " + model + ") answers on " + port,
                   "its contacts are exported to " + output};
}

UserMessages::Message UserMessages::unexpected(const std::string& what) {
    return error("contaxio-cli", "an unexpected failure (" + what + ")",
                 "please report it with the command line that led to it");
}

UserMessages::Message UserMessages::outOfMemory() {
    return error("contaxio-cli", "out of memory", "close some programs and try again");
}
