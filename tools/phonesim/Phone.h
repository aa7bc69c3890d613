#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phonesim/Scenario.h"

namespace phonesim {

class PhonebookFormatter;

// What the phone does about one command line. The simulator writes echo, then answer, then
// unsolicited, pacing them as the scenario says.
struct Reply {
    enum class Kind {
        Answer,   // write echo, answer and unsolicited
        Silence,  // write nothing at all
        Unplug,   // the phone goes away before it answers
    };

    Kind kind = Kind::Answer;
    std::string echo;         // the command line and its CR, when echo is on
    std::string answer;       // "\r\n" info lines "\r\n" and the final result, and any tail
    std::string unsolicited;  // result codes sent after the answer, each as CR LF text CR LF
};

// The phone's command interpreter: its state (echo, charset, mode, selected storage, error
// reporting) and the answer to every command line, with the scenario's faults applied. It does
// no I/O, so that its answers can be checked byte for byte.
class Phone {
public:
    // The scenario must outlive the phone.
    explicit Phone(const Scenario& scenario);

    // The reply to one command line, as received up to (not including) its CR.
    Reply handle(const std::string& line);

    bool echo() const { return echo_; }
    const std::string& charset() const { return charset_; }
    int mode() const { return mode_; }
    const std::string& selectedStorage() const { return selected_; }

    // Phonebook reads (AT+CPBR=a,b and AT+MPBRE=a,b) received so far.
    std::size_t phonebookReads() const { return reads_; }

private:
    struct Command;

    std::string execute(const Command& command);
    std::string basic(const Command& command);
    std::string mode(const Command& command);
    std::string charsets(const Command& command);
    std::string storages(const Command& command);
    std::string standardPhonebook(const Command& command);
    std::string extendedPhonebook(const Command& command);
    // A phonebook read: the test form reports the storage's range and lengths under testPrefix;
    // the set form gives the lines that format makes of each contact in the range asked for.
    using LineFormat =
        std::function<void(const PhonebookFormatter&, const Contact&, std::vector<std::string>&)>;
    std::string phonebookRead(const Command& command, std::string_view testPrefix,
                              const LineFormat& format);
    std::string groups(const Command& command);
    std::string errorReporting(const Command& command);

    // "\r\n" lines "\r\n" "\r\nOK\r\n", or just "\r\nOK\r\n".
    static std::string ok(const std::vector<std::string>& lines = {});
    // "\r\nERROR\r\n", or the extended report "+CME ERROR: ..." when AT+CMEE asked for one.
    std::string error(int code) const;

    bool phonebookAllowed() const;
    // The error a locked SIM gives every phonebook command that reads or selects a storage.
    std::optional<int> simLock() const;
    std::string simStatus(const Command& command) const;
    const Storage* selected() const;

    const Scenario& scenario_;
    bool echo_;
    int errorMode_ = 0;
    std::string charset_;
    int mode_;
    std::string selected_;
    std::size_t answers_ = 0;
    std::size_t reads_ = 0;
    std::vector<int> refusalsLeft_;
};

}  // namespace phonesim
