#include "causes/CauseTable.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "causes/Placeholders.h"

namespace causes {

namespace {

struct PhoneRow {
    Cause cause;
    CauseEntry entry;
};

struct FileRow {
    FileCause cause;
    CauseEntry entry;
};

// Help topics (AppContext::helpPage): the sections that explain the causes.
namespace topic {
constexpr std::int32_t NoDriver = 2;
constexpr std::int32_t OtherMode = 3;
constexpr std::int32_t NotSupported = 4;
constexpr std::int32_t Permission = 9;
constexpr std::int32_t Busy = 10;
constexpr std::int32_t Gone = 11;
constexpr std::int32_t PortError = 12;
constexpr std::int32_t Silent = 13;
constexpr std::int32_t RefusedMode = 14;
constexpr std::int32_t MissingCommands = 15;
constexpr std::int32_t FolderMissing = 16;
constexpr std::int32_t FileNoPermission = 17;
constexpr std::int32_t ReadOnlyFileSystem = 18;
constexpr std::int32_t DiskFull = 19;
constexpr std::int32_t Quota = 20;
constexpr std::int32_t FileTooLarge = 21;
constexpr std::int32_t DiskError = 22;
constexpr std::int32_t CannotWrite = 23;
constexpr std::int32_t SimLocked = 24;
constexpr std::int32_t OtherMakers = 25;
}  // namespace topic

// Texts shared by several causes.
constexpr std::string_view kGiveModemPort =
    "give the phone's modem port, such as /dev/ttyACM0 (ls /dev/ttyACM* lists them)";
constexpr std::string_view kChooseAnother = "choose another %2";

constexpr std::array kPhoneRows{
    PhoneRow{Cause::None, {"", "", "", 0, 0, -1}},
    PhoneRow{Cause::NoDriver,
             {"no-driver", "no driver serves it, so it has no modem port",
              "load the modem driver (sudo modprobe cdc_acm), then unplug the phone and plug it "
              "in again",
              10301, 10302, topic::NoDriver}},
    PhoneRow{
        Cause::OtherMode,
        {"other-mode", "it is in another USB mode (such as mass storage), not in its modem mode",
         "switch the phone's USB mode to the modem or PC connection", 10303, 10304,
         topic::OtherMode}},
    PhoneRow{Cause::Permission,
             {"permission", "you may not open this port",
              "add yourself to the dialout group (sudo usermod -aG dialout $USER), then log out "
              "and back in",
              10305, 10306, topic::Permission}},
    PhoneRow{Cause::Busy,
             {"busy", "another program is using the port, often a modem manager service",
              "close that program, or let the udev rule %4 keep modem managers off the phone "
              "(for a source build see the README) and plug the phone in again, or run sudo "
              "systemctl stop ModemManager",
              10307, 10308, topic::Busy}},
    PhoneRow{Cause::BusyNamed,
             {"busy", "the program %1 (process %2) is using the port",
              "close that program and try again", 10309, 10310, topic::Busy}},
    PhoneRow{Cause::NoSuchPort,
             {"gone", "there is no such port",
              "check that the phone is plugged in and give its modem port (ls /dev/ttyACM* "
              "lists them)",
              10311, 10312, topic::Gone}},
    PhoneRow{Cause::HungUp,
             {"gone",
              "the port hung up at once, so it is not a phone's port (or the phone was just "
              "unplugged)",
              "give the phone's modem port, such as /dev/ttyACM0 (ls /dev/ttyACM* lists them), "
              "and check the cable",
              10311, 10312, topic::Gone}},
    PhoneRow{Cause::NotATerminal,
             {"port-error", "this is not a serial port", kGiveModemPort, 10313, 10314,
              topic::PortError}},
    PhoneRow{Cause::OpenFailed,
             {"port-error", "the port cannot be opened",
              "check that the phone is plugged in and that no other program uses the port", 10313,
              10314, topic::PortError}},
    PhoneRow{Cause::OpenError,
             {"port-error", "the port cannot be opened (%3)",
              "check the phone and its cable, then run the command again", 10313, 10314,
              topic::PortError}},
    PhoneRow{Cause::Disconnected,
             {"gone", "it was disconnected",
              "plug it in again (check the cable) and run the command again", 10311, 10312,
              topic::Gone}},
    PhoneRow{Cause::PortClosed,
             {"port-error", "the port was closed while the phone was in use",
              "run the command again", 10313, 10314, topic::PortError}},
    PhoneRow{
        Cause::StoppedAccepting,
        {"port-error", "it stopped accepting data",
         "unplug it, plug it in again and run the command again", 10313, 10314, topic::PortError}},
    PhoneRow{Cause::PortFailed,
             {"port-error", "the port failed (%3)",
              "unplug the phone, plug it in again and run the command again", 10313, 10314,
              topic::PortError}},
    PhoneRow{Cause::Silent,
             {"silent", "it does not answer",
              "check that it is switched on and unlocked and that this is its modem port, then "
              "unplug it and plug it in again",
              10315, 10316, topic::Silent}},
    PhoneRow{Cause::RefusedMode,
             {"refused-mode",
              "it answered the switch to its phonebook mode with an error, so it cannot be read "
              "now",
              "check that it is switched on, unlocked and not in a call, then unplug it and plug "
              "it in again",
              10317, 10318, topic::RefusedMode}},
    PhoneRow{Cause::MissingCommands,
             {"missing-commands",
              "it is not supported, as it lacks the phonebook commands an export needs",
              "if it offers other USB modes, switch it to its modem or PC connection mode and try "
              "again",
              10319, 10320, topic::MissingCommands}},
    PhoneRow{Cause::Unknown,
             {"unknown", "it did not answer, or its port could not be opened",
              "contaxio-cli probe --port %5 tells why", 10321, 10322, topic::NotSupported}},
    PhoneRow{Cause::SimLocked,
             {"sim-locked", "its SIM card waits for its PIN",
              "unlock the SIM on the phone, then try again", 10323, 10324, topic::SimLocked}},
    PhoneRow{Cause::NotAsked,
             {"not-asked",
              "it is not the maker's device, so it is opened only when you ask for it, as bytes "
              "sent to a device that is no phone can do harm",
              "if it is a phone or a USB modem, contaxio-cli probe --port %5 asks it whether it "
              "can be read",
              10325, 10326, topic::OtherMakers}},
};

constexpr std::array kFileRows{
    FileRow{FileCause::FolderMissing,
            {"", "the folder %1 does not exist", "create it or choose another %2", 10331, 10332,
             topic::FolderMissing}},
    FileRow{FileCause::NotAFolder,
            {"", "a part of the folder %1 is not a folder", kChooseAnother, 10333, 10334,
             topic::FolderMissing}},
    FileRow{FileCause::FolderNotWritable,
            {"", "you may not write in the folder %1", "choose a folder of your own for %2", 10335,
             10336, topic::FileNoPermission}},
    FileRow{FileCause::FileReadOnly,
            {"", "the file is read-only", "make it writable (chmod u+w) or choose another %2",
             10337, 10338, topic::FileNoPermission}},
    FileRow{FileCause::ReadOnlyFileSystem,
            {"", "the folder %1 is on a read-only file system", kChooseAnother, 10339, 10340,
             topic::ReadOnlyFileSystem}},
    FileRow{FileCause::IsAFolder,
            {"", "it is a folder", "give a file name to %2", 10341, 10342, topic::CannotWrite}},
    FileRow{FileCause::NameTooLong,
            {"", "the name is too long for the file system", "choose a shorter %2", 10343, 10344,
             topic::CannotWrite}},
    FileRow{FileCause::DiskFull,
            {"", "the disk is full", "free some space or choose another %2", 10345, 10346,
             topic::DiskFull}},
    FileRow{FileCause::QuotaExceeded,
            {"", "your disk quota is used up", "free some space or choose another %2", 10347, 10348,
             topic::Quota}},
    FileRow{FileCause::FileTooLarge,
            {"", "the file has reached the largest size allowed",
             "raise the file-size limit (ulimit -f) or choose another %2", 10349, 10350,
             topic::FileTooLarge}},
    FileRow{FileCause::SymlinkLoop,
            {"", "its symbolic links go round in a loop", kChooseAnother, 10355, 10356,
             topic::CannotWrite}},
    FileRow{FileCause::NotAFile,
            {"", "it is not a file the contacts can be written to", kChooseAnother, 10355, 10356,
             topic::CannotWrite}},
    FileRow{
        FileCause::PipeWithoutReader,
        {"", "it is a pipe that no program reads",
         "start the reading program first or choose another %2", 10355, 10356, topic::CannotWrite}},
    FileRow{FileCause::ReaderEnded,
            {"", "the program reading it has ended", "check that program and run the command again",
             10355, 10356, topic::CannotWrite}},
    FileRow{FileCause::DiskIoError,
            {"", "the disk reported an input/output error", "check the disk or choose another %2",
             10351, 10352, topic::DiskError}},
    FileRow{
        FileCause::ProgramRunning,
        {"", "it is a program that is running", kChooseAnother, 10355, 10356, topic::CannotWrite}},
    FileRow{FileCause::TooManyFiles,
            {"", "too many files are open", "close some programs and run the command again", 10353,
             10354, topic::CannotWrite}},
    FileRow{FileCause::Unwritable,
            {"", "it cannot be written", "check the folder or choose another %2", 10355, 10356,
             topic::CannotWrite}},
    FileRow{FileCause::OtherError,
            {"", "it cannot be written (%3)", kChooseAnother, 10355, 10356, topic::CannotWrite}},
};

// Each row stands at its cause's value, so that a look-up is an index.
template <typename Rows>
constexpr bool inOrder(const Rows& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (static_cast<std::size_t>(rows[i].cause) != i)
            return false;
    }
    return true;
}
static_assert(inOrder(kPhoneRows), "the phone causes' rows must follow the enumeration");
static_assert(inOrder(kFileRows), "the file causes' rows must follow the enumeration");
static_assert(kPhoneRows.back().cause == Cause::NotAsked, "every phone cause needs its row");
static_assert(kFileRows.back().cause == FileCause::OtherError, "every file cause needs its row");

}  // namespace

const CauseEntry& entryOf(Cause cause) {
    const auto index = static_cast<std::size_t>(cause);
    return index < kPhoneRows.size() ? kPhoneRows[index].entry
                                     : kPhoneRows[static_cast<std::size_t>(Cause::Unknown)].entry;
}

const CauseEntry& entryOf(FileCause cause) {
    const auto index = static_cast<std::size_t>(cause);
    return index < kFileRows.size()
               ? kFileRows[index].entry
               : kFileRows[static_cast<std::size_t>(FileCause::OtherError)].entry;
}

const std::vector<Cause>& allCauses() {
    static const std::vector<Cause> all = [] {
        std::vector<Cause> causes;
        for (const PhoneRow& row : kPhoneRows)
            causes.push_back(row.cause);
        return causes;
    }();
    return all;
}

const std::vector<FileCause>& allFileCauses() {
    static const std::vector<FileCause> all = [] {
        std::vector<FileCause> causes;
        for (const FileRow& row : kFileRows)
            causes.push_back(row.cause);
        return causes;
    }();
    return all;
}

Cause causeOfOpenError(int error) {
    switch (error) {
        case 0:
            return Cause::OpenFailed;
        case ENOENT:
            return Cause::NoSuchPort;
        case EACCES:
        case EPERM:
            return Cause::Permission;
        case EWOULDBLOCK:  // flock: another program holds the lock
#if EAGAIN != EWOULDBLOCK
        case EAGAIN:
#endif
        case EBUSY:  // opened exclusively elsewhere
            return Cause::Busy;
        case ENOTTY:
            return Cause::NotATerminal;
        case EIO:
        case ENXIO:
        case ENODEV:
            return Cause::HungUp;
        default:
            return Cause::OpenError;
    }
}

Cause causeOfPortFailure(int code) {
    switch (code) {
        case EIO:
        case ENXIO:
        case ENODEV:
            return Cause::Disconnected;
        case 0:
            return Cause::PortClosed;
        case ETIMEDOUT:
            return Cause::StoppedAccepting;
        default:
            return Cause::PortFailed;
    }
}

FileCause causeOfFileError(int error, bool existingFile) {
    switch (error) {
        case ENOENT:
            return FileCause::FolderMissing;
        case ENOTDIR:
            return FileCause::NotAFolder;
        case EACCES:
        case EPERM:
            return existingFile ? FileCause::FileReadOnly : FileCause::FolderNotWritable;
        case EROFS:
            return FileCause::ReadOnlyFileSystem;
        case EISDIR:
            return FileCause::IsAFolder;
        case ENAMETOOLONG:
            return FileCause::NameTooLong;
        case ENOSPC:
            return FileCause::DiskFull;
        case EDQUOT:
            return FileCause::QuotaExceeded;
        case EFBIG:
            return FileCause::FileTooLarge;
        case ELOOP:
            return FileCause::SymlinkLoop;
        case EINVAL:
            return FileCause::NotAFile;
        case ENXIO:
            return FileCause::PipeWithoutReader;
        case EPIPE:
            return FileCause::ReaderEnded;
        case EIO:
            return FileCause::DiskIoError;
        case ETXTBSY:
            return FileCause::ProgramRunning;
        case EMFILE:
        case ENFILE:
            return FileCause::TooManyFiles;
        case 0:
            return FileCause::Unwritable;
        default:
            return FileCause::OtherError;
    }
}

std::string errorName(int code) {
    if (const char* name = ::strerrorname_np(code))
        return name;
    return "error " + std::to_string(code);
}

std::vector<std::string> arguments(const PhoneCause& cause, std::string_view rule,
                                   std::string_view port) {
    return {cause.program, std::to_string(cause.pid), errorName(cause.error), std::string(rule),
            std::string(port)};
}

std::vector<std::string> fileArguments(std::string_view folder, std::string_view option,
                                       int error) {
    return {std::string(folder), std::string(option), errorName(error)};
}

std::string folderOf(std::string_view path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

std::string filled(std::string_view text, const std::vector<std::string>& arguments) {
    return fillPlaceholders(text, arguments);
}

}  // namespace causes
