// The table of causes as both front ends read it: every cause has its texts, word and help
// topic; the errnos and outcomes people meet most lead to the right cause and way out; and the
// program that holds a port is found among the processes.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "ChildProcess.h"
#include "TempDir.h"
#include "causes/CauseTable.h"
#include "causes/PortHolder.h"

namespace {

using causes::Cause;
using causes::FileCause;
using namespace std::chrono_literals;

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// The placeholders %1 to %9 a text uses.
std::set<char> placeholders(std::string_view text) {
    std::set<char> found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9')
            found.insert(text[i + 1]);
    }
    return found;
}

// What every entry must be, for the sentence it becomes part of and for the wizard.
void expectWellFormed(const causes::CauseEntry& entry, const std::string& name) {
    SCOPED_TRACE(name);
    for (const std::string_view text : {entry.what, entry.wayOut}) {
        EXPECT_FALSE(text.empty());
        EXPECT_FALSE(text.ends_with(".")) << text;
        EXPECT_FALSE(contains(text, ". ")) << "one sentence: " << text;
        EXPECT_FALSE(contains(text, "; ")) << "the sentence has one way out: " << text;
        for (const char placeholder : placeholders(text))
            EXPECT_LE(placeholder, '5') << text;
    }
    EXPECT_GE(entry.whatTextId, 10301u);
    EXPECT_LE(entry.whatTextId, 10399u);
    EXPECT_EQ(entry.wayOutTextId, entry.whatTextId + 1);
    EXPECT_GE(entry.helpTopic, 0);
}

TEST(CauseTable, EveryCauseHasItsTextsWordTextIdsAndHelpTopic) {
    const std::set<std::string_view> words = {
        "no-driver", "other-mode",   "permission",       "busy",    "gone",       "port-error",
        "silent",    "refused-mode", "missing-commands", "unknown", "sim-locked", "not-asked"};
    std::set<std::string_view> used;
    for (const Cause cause : causes::allCauses()) {
        const causes::CauseEntry& entry = causes::entryOf(cause);
        if (cause == Cause::None) {
            EXPECT_EQ(entry.reason, "");
            EXPECT_EQ(entry.what, "");
            continue;
        }
        expectWellFormed(entry, "phone cause " + std::to_string(static_cast<int>(cause)));
        EXPECT_TRUE(words.contains(entry.reason)) << entry.reason;
        used.insert(entry.reason);
    }
    EXPECT_EQ(used, words) << "every word stands for a cause";
    for (const FileCause cause : causes::allFileCauses()) {
        expectWellFormed(causes::entryOf(cause),
                         "file cause " + std::to_string(static_cast<int>(cause)));
    }
}

TEST(CauseTable, ThePortsErrnosAndThePhonesAnswersLeadToTheirCause) {
    struct Case {
        Cause cause;
        std::string_view reason;
        std::string_view inWhat;
        std::string_view inWayOut;
    };
    const std::vector<std::pair<int, Case>> opens = {
        {EACCES,
         {Cause::Permission, "permission", "may not open", "sudo usermod -aG dialout $USER"}},
        {EPERM, {Cause::Permission, "permission", "may not open", "log out and back in"}},
        {EBUSY, {Cause::Busy, "busy", "modem manager", "udev rule %4"}},
        {EWOULDBLOCK, {Cause::Busy, "busy", "another program", "systemctl stop ModemManager"}},
        {ENOENT, {Cause::NoSuchPort, "gone", "no such port", "plugged in"}},
        {ENODEV, {Cause::HungUp, "gone", "hung up", "check the cable"}},
        {ENOTTY, {Cause::NotATerminal, "port-error", "not a serial port", "/dev/ttyACM0"}},
        {EMFILE, {Cause::OpenError, "port-error", "(%3)", "run the command again"}},
        {0, {Cause::OpenFailed, "port-error", "cannot be opened", "no other program"}},
    };
    for (const auto& [error, expected] : opens) {
        SCOPED_TRACE(causes::errorName(error));
        const Cause cause = causes::causeOfOpenError(error);
        EXPECT_EQ(cause, expected.cause);
        const causes::CauseEntry& entry = causes::entryOf(cause);
        EXPECT_EQ(entry.reason, expected.reason);
        EXPECT_TRUE(contains(entry.what, expected.inWhat)) << entry.what;
        EXPECT_TRUE(contains(entry.wayOut, expected.inWayOut)) << entry.wayOut;
    }
    EXPECT_EQ(causes::causeOfPortFailure(EIO), Cause::Disconnected);
    EXPECT_EQ(causes::entryOf(Cause::Disconnected).reason, "gone");
    EXPECT_EQ(causes::causeOfPortFailure(0), Cause::PortClosed);
    EXPECT_EQ(causes::causeOfPortFailure(ETIMEDOUT), Cause::StoppedAccepting);

    // A phone that refuses the mode switch is not told that it does not answer.
    EXPECT_EQ(causes::entryOf(Cause::RefusedMode).reason, "refused-mode");
    EXPECT_FALSE(contains(causes::entryOf(Cause::RefusedMode).what, "not answer"));
    EXPECT_TRUE(contains(causes::entryOf(Cause::Silent).what, "does not answer"));
    EXPECT_NE(causes::entryOf(Cause::RefusedMode).whatTextId,
              causes::entryOf(Cause::Silent).whatTextId);

    // The program that holds the port, and the errno where the cause has no words of its own.
    const causes::PhoneCause held{Cause::BusyNamed, EWOULDBLOCK, "picocom", 4242};
    EXPECT_EQ(causes::filled(causes::entryOf(held.kind).what, causes::arguments(held)),
              "the program picocom (process 4242) is using the port");
    const causes::PhoneCause failed{Cause::PortFailed, EPROTO};
    EXPECT_EQ(causes::filled(causes::entryOf(failed.kind).what, causes::arguments(failed)),
              "the port failed (EPROTO)");
}

TEST(CauseTable, FileErrnosAreToldByWhatTheyMeanForTheFile) {
    const std::vector<std::tuple<int, bool, FileCause, std::string>> cases = {
        {ENOENT, false, FileCause::FolderMissing, "the folder /home/ann/sub does not exist"},
        {EACCES, false, FileCause::FolderNotWritable,
         "you may not write in the folder /home/ann/sub"},
        {EACCES, true, FileCause::FileReadOnly, "the file is read-only"},
        {EROFS, false, FileCause::ReadOnlyFileSystem,
         "the folder /home/ann/sub is on a read-only file system"},
        {ENOSPC, false, FileCause::DiskFull, "the disk is full"},
        {EDQUOT, false, FileCause::QuotaExceeded, "your disk quota is used up"},
        {EXDEV, false, FileCause::OtherError, "it cannot be written (EXDEV)"},
    };
    for (const auto& [error, existing, cause, what] : cases) {
        EXPECT_EQ(causes::causeOfFileError(error, existing), cause) << error;
        const std::vector<std::string> arguments =
            causes::fileArguments("/home/ann/sub", "--output", error);
        EXPECT_EQ(causes::filled(causes::entryOf(cause).what, arguments), what);
    }
    // The wizard tells each of these in a text of its own.
    std::set<std::uint32_t> ids;
    for (const FileCause cause :
         {FileCause::FolderMissing, FileCause::FolderNotWritable, FileCause::FileReadOnly,
          FileCause::ReadOnlyFileSystem, FileCause::DiskFull, FileCause::QuotaExceeded})
        ids.insert(causes::entryOf(cause).whatTextId);
    EXPECT_EQ(ids.size(), 6u);
}

TEST(PortHolder, TheProgramThatHasThePortOpenIsNamedWithItsProcessId) {
    test_support::TempDir dir;
    const std::string port = dir.file("ttyACM0").string();
    const int made = ::open(port.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    ASSERT_GE(made, 0);
    EXPECT_EQ(causes::findPortHolder(port), std::nullopt) << "this process itself does not count";

    test_support::ChildProcess::Options options;
    options.standardInput = made;
    test_support::ChildProcess holder("/bin/sleep", {"60"}, options);
    ::close(made);
    // The child has started once its command name is no longer the test's.
    std::optional<causes::PortHolder> found;
    for (int tries = 0; tries < 200 && (!found || found->program != "sleep"); ++tries) {
        found = causes::findPortHolder(port);
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->program, "sleep");
    EXPECT_EQ(found->pid, holder.pid());

    EXPECT_EQ(causes::findPortHolder(dir.file("missing").string()), std::nullopt);
}

}  // namespace
