#include "cli/UserMessages.h"

#include <cerrno>
#include <cstring>

#include "cli/OutputFileCheck.h"
#include "common/StorageKind.h"
#include "serial_comm/PortErrorText.h"

namespace {

std::string systemText(int code) {
    char buffer[128] = {};
    return strerror_r(code, buffer, sizeof buffer);
}

}  // namespace

std::string UserMessages::storageName(std::int32_t storageKind) {
    switch (storageKind) {
        case storage_kind::Memory:
            return "phone memory";
        case storage_kind::Sim:
            return "SIM";
        default:
            return "storage " + std::to_string(storageKind);
    }
}

std::string UserMessages::portNotOpened(const std::string& port, int openError) {
    switch (openError) {
        case 0:
            return port +
                   ": the port cannot be opened; check that the phone is plugged in and "
                   "that no other program uses it.";
        case ENOENT:
            return port + ": " + serial_comm::portErrorText(openError) +
                   " A USB phone's modem port is usually /dev/ttyACM0 (see ls /dev/ttyACM*).";
        case EWOULDBLOCK:
#if EAGAIN != EWOULDBLOCK
        case EAGAIN:
#endif
        case EBUSY:
            return port + ": " + serial_comm::portErrorText(openError) +
                   " A modem manager service often takes new phones: install the udev rule "
                   "packaging/udev/70-contaxio-phone.rules (see the README) or stop the "
                   "service (sudo systemctl stop ModemManager).";
        default:
            return port + ": " + serial_comm::portErrorText(openError);
    }
}

std::string UserMessages::portFailed(const std::string& port, int code) {
    switch (code) {
        case EIO:
        case ENXIO:
        case ENODEV:
            return phoneDisconnected(port);
        case 0:
            return port +
                   ": the port was closed while the phone was in use; run the command "
                   "again.";
        default:
            return port + ": " + serial_comm::portErrorText(code);
    }
}

std::string UserMessages::phoneNotAnswering(const std::string& port) {
    return "The phone on " + port +
           " does not answer. Check that it is switched on and unlocked and that this is its "
           "modem port; unplugging it and plugging it in again may help.";
}

std::string UserMessages::phoneUnsupported(const std::string& port, const std::string& model) {
    return "The phone on " + port + (model.empty() ? "" : " (model " + model + ")") +
           " is not supported: it does not offer the phonebook commands this program needs.";
}

std::string UserMessages::phoneDisconnected(const std::string& port) {
    return "The phone on " + port +
           " was disconnected. Plug it in again (check the cable) and run the command again.";
}

std::string UserMessages::noStorages(const std::string& port) {
    return "The phone on " + port +
           " offers neither its own phonebook nor the SIM's; there is nothing to export.";
}

std::string UserMessages::storageMissing(std::int32_t storageKind, const std::string& offered) {
    return "The phone has no " + storageName(storageKind) +
           " phonebook (it offers: " + (offered.empty() ? "none" : offered) +
           "); choose another with --storages.";
}

std::string UserMessages::asciiFallback() {
    return "warning: the phone offers neither UCS2 nor UTF8, so it is read in ASCII: letters "
           "outside ASCII arrive as '?'.";
}

std::string UserMessages::storageFailed(std::int32_t storageKind) {
    return "Reading the " + storageName(storageKind) +
           " failed: the phone stopped answering, answered something unusable or refused the "
           "storage. Run the export again; unplugging the phone and plugging it in may help.";
}

std::string UserMessages::outputProblem(const std::string& path, int problem) {
    const std::string folder = OutputFileCheck::folderOf(path);
    switch (problem) {
        case ENOENT:
            return "Cannot write " + path + ": the folder " + folder +
                   " does not exist. Create it or choose another --output.";
        case ENOTDIR:
            return "Cannot write " + path + ": " + folder +
                   " is not a folder. Choose another --output.";
        case EACCES:
        case EPERM:
            return "Cannot write " + path +
                   ": permission denied. Choose a folder you may write to for --output.";
        case EROFS:
            return "Cannot write " + path + ": " + folder +
                   " is on a read-only file system. Choose another --output.";
        case EISDIR:
            return "Cannot write " + path + ": it is a folder. Give a file name to --output.";
        case ENOSPC:
        case EDQUOT:
            return "Cannot write " + path +
                   ": the disk is full. Free some space or choose another --output.";
        case 0:
            return "Cannot write " + path + ". Check the folder and choose another --output.";
        default:
            return "Cannot write " + path + ": " + systemText(problem) +
                   ". Choose another --output.";
    }
}

std::string UserMessages::writeFailed(const std::string& path, bool diskFull, int problem) {
    if (diskFull) {
        return "Writing " + path + " failed: the disk is full. Free some space.";
    }
    if (problem != 0) {
        return "Writing " + path + " failed. " + outputProblem(path, problem);
    }
    return "Writing " + path +
           " failed: the system refused the write (the file may have reached a size limit).";
}
