#pragma once

#include <cstdint>
#include <string>

// The sentences contaxio-cli shows people when something stands in the way: each names the
// cause and the way out. No prefix and no line end; the console adds them.
class UserMessages {
public:
    // The port could not be opened; openError is the errno of the failed open (0: not known).
    static std::string portNotOpened(const std::string& port, int openError);
    // The port failed while it was in use (code: the errno of the failed call).
    static std::string portFailed(const std::string& port, int code);
    static std::string phoneNotAnswering(const std::string& port);
    static std::string phoneUnsupported(const std::string& port, const std::string& model);
    static std::string phoneDisconnected(const std::string& port);
    static std::string noStorages(const std::string& port);
    // A storage asked for with --storages that the phone does not offer.
    static std::string storageMissing(std::int32_t storageKind, const std::string& offered);
    static std::string asciiFallback();
    // Reading a storage failed (no usable answer, or the storage could not be selected).
    static std::string storageFailed(std::int32_t storageKind);

    // The output file cannot be created or written; problem is an errno from OutputFileCheck
    // or the system (0: the cause is not known).
    static std::string outputProblem(const std::string& path, int problem);
    // Writing the file failed during the export: a full disk, or another failure whose cause
    // is problem (0: not known).
    static std::string writeFailed(const std::string& path, bool diskFull, int problem);

    // The storage's name for people: "phone memory" or "SIM".
    static std::string storageName(std::int32_t storageKind);
};
