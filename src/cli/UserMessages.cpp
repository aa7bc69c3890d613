#include "cli/UserMessages.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/ExportTexts.h"

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

constexpr const char* kListPorts = "ls /dev/ttyACM* lists them";

// What is wrong with a file that cannot be written, and the way out, from the errno of the
// failure. option: where another file is given ("--output", "--trace").
std::pair<std::string, std::string> fileCause(int code, bool existingFile, const std::string& path,
                                              const std::string& option) {
    const std::string folder = UserMessages::folderOf(path);
    const std::string other = "choose another " + option;
    switch (code) {
        case ENOENT:
            return {"the folder " + folder + " does not exist", "create it or " + other};
        case ENOTDIR:
            return {"a part of the folder " + folder + " is not a folder", other};
        case EACCES:
        case EPERM:
            if (existingFile) {
                return {"the file is read-only", "make it writable (chmod u+w) or " + other};
            }
            return {"you may not write in the folder " + folder,
                    "choose a folder of your own for " + option};
        case EROFS:
            return {"the folder " + folder + " is on a read-only file system", other};
        case EISDIR:
            return {"it is a folder", "give a file name to " + option};
        case ENAMETOOLONG:
            return {"the name is too long for the file system", "choose a shorter " + option};
        case ENOSPC:
            return {"the disk is full", "free some space or " + other};
        case EDQUOT:
            return {"your disk quota is used up", "free some space or " + other};
        case EFBIG:
            return {"the file has reached the largest size allowed",
                    "raise the file-size limit (ulimit -f) or " + other};
        case ELOOP:
            return {"its symbolic links go round in a loop", other};
        case EINVAL:
            return {"it is not a file the contacts can be written to", other};
        case ENXIO:
            return {"it is a pipe that no program reads",
                    "start the reading program first or " + other};
        case EPIPE:
            return {"the program reading it has ended",
                    "check that program and run the command again"};
        case EIO:
            return {"the disk reported an input/output error", "check the disk or " + other};
        case ETXTBSY:
            return {"it is a program that is running", other};
        case EMFILE:
        case ENFILE:
            return {"too many files are open", "close some programs and run the command again"};
        case 0:
            return {"it cannot be written", "check the folder or " + other};
        default:
            return {"it cannot be written (" + UserMessages::errorName(code) + ")", other};
    }
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

std::string UserMessages::errorName(int code) {
    if (const char* name = ::strerrorname_np(code)) {
        return name;
    }
    return "error " + std::to_string(code);
}

std::string UserMessages::folderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

UserMessages::Message UserMessages::portNotOpened(const std::string& port, int openError) {
    switch (openError) {
        case 0:
            return error(portSubject(port), "the port cannot be opened",
                         "check that the phone is plugged in and that no other program uses "
                         "the port");
        case ENOENT:
            return error(portSubject(port), "there is no such port",
                         std::string("check that the phone is plugged in and give its modem "
                                     "port (") +
                             kListPorts + ")");
        case EACCES:
        case EPERM:
            return error(portSubject(port), "you may not use this port",
                         "add yourself to the dialout group (sudo usermod -aG dialout $USER), "
                         "then log out and back in");
        case EWOULDBLOCK:
#if EAGAIN != EWOULDBLOCK
        case EAGAIN:
#endif
        case EBUSY:
            return error(portSubject(port),
                         "another program is using the port, often a modem manager service",
                         std::string("close that program, or let the udev rule ") +
                             CONTAXIO_UDEV_RULE +
                             " keep modem managers off the phone (for a source build see the "
                             "README) and plug the phone in again, or run sudo systemctl stop "
                             "ModemManager");
        case ENOTTY:
            return error(portSubject(port), "this is not a serial port",
                         std::string("give the phone's modem port, such as /dev/ttyACM0 (") +
                             kListPorts + ")");
        case EIO:
        case ENXIO:
        case ENODEV:
            return error(portSubject(port),
                         "the port hung up at once, so it is not a phone's port (or the phone "
                         "was just unplugged)",
                         std::string("give the phone's modem port, such as /dev/ttyACM0 (") +
                             kListPorts + "), and check the cable");
        default:
            return error(portSubject(port),
                         "the port cannot be opened (" + errorName(openError) + ")",
                         "check the phone and its cable, then run the command again");
    }
}

UserMessages::Message UserMessages::portFailed(const std::string& port, int code) {
    switch (code) {
        case EIO:
        case ENXIO:
        case ENODEV:
            return phoneDisconnected(port);
        case 0:
            return error(portSubject(port), "the port was closed while the phone was in use",
                         "run the command again");
        case ETIMEDOUT:
            return error(phoneSubject(port), "it stopped accepting data",
                         "unplug it, plug it in again and run the command again");
        default:
            return error(portSubject(port), "the port failed (" + errorName(code) + ")",
                         "unplug the phone, plug it in again and run the command again");
    }
}

UserMessages::Message UserMessages::phoneNotAnswering(const std::string& port) {
    return error(phoneSubject(port), "it does not answer",
                 "check that it is switched on and unlocked and that this is its modem port, "
                 "then unplug it and plug it in again");
}

UserMessages::Message UserMessages::phoneUnsupported(const std::string& port,
                                                     const std::string& model) {
    return error(phoneSubject(port) + (model.empty() ? "" : " (model " + model + ")"),
                 "it is not supported, as it lacks the phonebook commands an export needs",
                 "if it offers other USB modes, switch it to its modem or PC connection mode "
                 "and try again");
}

UserMessages::Message UserMessages::phoneDisconnected(const std::string& port) {
    return error(phoneSubject(port), "it was disconnected",
                 "plug it in again (check the cable) and run the command again");
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
                                                      const std::string& model, DeviceState state) {
    const std::string subject =
        (port.empty() ? std::string("attached phone") : phoneSubject(port)) +
        (model.empty() ? "" : " (model " + model + ")");
    switch (state) {
        case DeviceState::NoDriver:
            return error(subject, "no driver serves it, so it has no modem port",
                         "load the modem driver (sudo modprobe cdc_acm), then unplug the phone "
                         "and plug it in again");
        case DeviceState::OtherMode:
            return error(subject,
                         "it is in another USB mode (such as mass storage), not in its modem mode",
                         "switch the phone's USB mode to the modem or PC connection");
        default:
            if (!model.empty()) {
                return error(subject, "it does not answer the commands an export needs",
                             "if it offers other USB modes, switch it to its modem or PC "
                             "connection mode and try again");
            }
            return error(subject, "it did not answer, or its port could not be opened",
                         port.empty() ? std::string("check that it is switched on and unlocked")
                                      : "contaxio-cli probe --port " + port + " tells why");
    }
}

UserMessages::Message UserMessages::noPhoneAttached() {
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

UserMessages::Message UserMessages::standardOutputIsTerminal() {
    return error("standard output",
                 "it is a terminal, and the CSV file is binary (UTF-16 for most phones)",
                 "redirect it to a file or a program (> contacts.csv, | gzip), or give "
                 "--output FILE");
}

UserMessages::Message UserMessages::outputNotReplaced(const std::string& path, int code) {
    auto [cause, wayOut] = fileCause(code, false, path, "--output");
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
