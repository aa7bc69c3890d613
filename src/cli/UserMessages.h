#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "causes/Cause.h"
#include "common/StorageKind.h"
#include "devices/DeviceState.h"
#include "export/OutputFormat.h"

// The sentences contaxio-cli shows people on standard error. Every one has the same form,
//
//   <kind>: <subject>: <cause>; <way out>.
//
// one sentence that says what it is about (a port, a phone, the output file, standard
// output, the command line), what is wrong and what to do. The causes of phones, ports and
// files and their ways out come from the table of causes (causes/CauseTable.h), worded from the
// errno of the failure itself, never with the system's own text. Names from outside are put in as
// they are; the console shows their control characters escaped.
class UserMessages {
public:
    struct Message {
        enum class Kind { Error, Warning, Note };
        Kind kind = Kind::Error;
        std::string subject;
        std::string cause;
        std::string wayOut;  // may be empty for warnings and notes

        // The whole sentence, starting with "error: ", "warning: " or "note: ".
        std::string text() const;
        // Its cause and way out alone, as a sentence ("<cause>; <way out>.").
        std::string causeAndWayOut() const;
    };

    // The port could not be opened; openError is the errno of the failed open (0: not known).
    // A port that hangs up at once (EIO, ENXIO, ENODEV) is no phone's port.
    static Message portNotOpened(const std::string& port, int openError);
    // The same for the cause the probe found (with the program that holds the port, when known).
    static Message portNotOpened(const std::string& port, const causes::PhoneCause& cause);
    // The port failed while it was in use (code: the errno of the failed call).
    static Message portFailed(const std::string& port, int code);
    static Message phoneNotAnswering(const std::string& port);
    static Message phoneUnsupported(const std::string& port, const std::string& model);
    static Message phoneDisconnected(const std::string& port);
    static Message noStorages(const std::string& port);
    // A storage asked for with --storages that the phone does not offer.
    static Message storageMissing(const std::string& port, StorageKind storageKind,
                                  const std::string& offered);
    static Message asciiFallback(const std::string& port);
    // Reading a storage failed (no usable answer, or the storage could not be selected).
    static Message storageFailed(const std::string& port, StorageKind storageKind);

    // A phone found among the devices that cannot be read: why (the cause the probe found, else
    // what its state tells), and what to do. port and model may be empty (a phone without a
    // modem port, one that did not name itself).
    static Message phoneCannotBeUsed(const std::string& port, const std::string& model,
                                     DeviceState state, const causes::PhoneCause& cause = {});
    // No --port, and no phone attached; othersAttached: serial ports of other makers' USB
    // devices are, which the search does not open.
    static Message noPhoneAttached(bool othersAttached = false);
    // No --port, and several phones that can be read, on these ports.
    static Message severalPhones(const std::vector<std::string>& ports);
    // No --port, and this phone is the one that can be read.
    static Message phoneChosen(const std::string& port, const std::string& model);
    // The devices cannot be read: folder is what could not be listed, code the errno (0: not
    // known), variable the environment variable that named the tree ("" for the system's own).
    static Message devicesUnreadable(const std::string& folder, int code,
                                     const std::string& variable);
    // The search for phones did not end within that many seconds.
    static Message searchIncomplete(long long seconds);
    // list --watch follows the phones now.
    static Message watching();

    // The output file cannot be created or written: code is the errno of the failure (0: not
    // known); existingFile tells that it concerns the file already there, not its folder.
    static Message outputProblem(const std::string& path, int code, bool existingFile = false);
    // The output names a terminal (the phone's port, /dev/tty, a console).
    static Message outputIsTerminal(const std::string& path);
    // The contacts were to go to standard output, which is a terminal, in that layout.
    static Message standardOutputIsTerminal(OutputFormat layout = OutputFormat::GoogleCsv);
    // The exported file could not take the place of the one at path, which stays as it was.
    static Message outputNotReplaced(const std::string& path, int code, bool existingFile = false);
    // Writing standard output (the summary, --help) failed with that errno.
    static Message standardOutputFailed(int code);

    // The trace file cannot be created or written.
    static Message traceProblem(const std::string& path, int code);
    static Message traceIsTerminal(const std::string& path);
    // Writing the trace failed on the way; the command went on without it.
    static Message traceIncomplete(const std::string& path, int code);

    // A refused command line; command: the command it was for ("" when none).
    static Message usage(const std::string& problem, const std::string& command);
    // A stop signal came: what happens now.
    static Message stopping();
    static Message stopped();
    // The demo's phone is ready.
    static Message demoStarted(const std::string& model, const std::string& port,
                               const std::string& output);
    static Message unexpected(const std::string& what);
    static Message outOfMemory();

    // "EACCES" and the like: the name of an errno, for causes without words of their own.
    static std::string errorName(int code);
    // The folder a file is written into ("." for a bare file name).
    static std::string folderOf(const std::string& path);
};
