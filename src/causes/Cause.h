#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace causes {

// Why a phone found among the devices, or a port given by name, cannot be read. The probe
// finds it (the port's open, or the phone's answers); both front ends tell it from the table
// (CauseTable.h). New causes go at the end, so that the values stay what they are (the table
// checks that its last row is the last cause).
enum class Cause : std::uint8_t {
    None = 0,  // nothing is wrong: the phone can be read

    // The phone shows no modem port.
    NoDriver,   // no driver serves the phone's USB function
    OtherMode,  // the phone is in another USB mode (mass storage, ...)

    // The port could not be opened (the errno of the open tells which).
    Permission,    // EACCES, EPERM: the user may not open the port
    Busy,          // EBUSY, EWOULDBLOCK: another program holds it, not known which
    BusyNamed,     // the same, and the system told which program (PhoneCause::program, pid)
    NoSuchPort,    // ENOENT: the port is not there
    HungUp,        // EIO, ENXIO, ENODEV at the open: no phone behind the port
    NotATerminal,  // ENOTTY: not a serial port
    OpenFailed,    // no errno known
    OpenError,     // any other errno (PhoneCause::error)

    // The port failed while the phone was being asked.
    Disconnected,      // EIO, ENXIO, ENODEV: the phone went
    PortClosed,        // the port was closed meanwhile (taken by the program's own phone use)
    StoppedAccepting,  // ETIMEDOUT: the phone took no more data
    PortFailed,        // any other errno (PhoneCause::error)

    // What the phone answered.
    Silent,           // it did not answer
    RefusedMode,      // it answered the switch to its reading mode without OK (ERROR)
    MissingCommands,  // it answered, but lacks commands an export needs

    Unknown,  // not known: a record that was never probed

    SimLocked,  // the SIM waits for its PIN (or PUK), which the phone must be given

    NotAsked,  // another maker's device, left alone until the person asks for it
};

// Why the output file (or the trace, or standard output) cannot be created or written.
enum class FileCause : std::uint8_t {
    FolderMissing,       // ENOENT
    NotAFolder,          // ENOTDIR
    FolderNotWritable,   // EACCES, EPERM on a new file
    FileReadOnly,        // EACCES, EPERM on the file already there
    ReadOnlyFileSystem,  // EROFS
    IsAFolder,           // EISDIR
    NameTooLong,         // ENAMETOOLONG
    DiskFull,            // ENOSPC
    QuotaExceeded,       // EDQUOT
    FileTooLarge,        // EFBIG
    SymlinkLoop,         // ELOOP
    NotAFile,            // EINVAL
    PipeWithoutReader,   // ENXIO
    ReaderEnded,         // EPIPE
    DiskIoError,         // EIO
    ProgramRunning,      // ETXTBSY
    TooManyFiles,        // EMFILE, ENFILE
    Unwritable,          // no errno known
    OtherError,          // any other errno
};

// A phone's cause with what the system told of it: kept with the device record that the probe
// filled in, and told by the front ends.
struct PhoneCause {
    PhoneCause() = default;
    // A cause is a PhoneCause without details.
    PhoneCause(Cause causeKind, int errorCode = 0, std::string holderProgram = {},
               std::int32_t holderPid = 0)
        : kind(causeKind), error(errorCode), program(std::move(holderProgram)), pid(holderPid) {}

    Cause kind = Cause::None;
    // The errno behind a port cause (0 when none is known or it does not apply).
    int error = 0;
    // BusyNamed: the program that holds the port (its command name) and its process id.
    std::string program;
    std::int32_t pid = 0;

    bool operator==(const PhoneCause&) const = default;
};

}  // namespace causes
