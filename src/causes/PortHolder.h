#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

#include "causes/Cause.h"

namespace causes {

// A program that has a device open.
struct PortHolder {
    std::string program;  // its command name, as the system keeps it
    pid_t pid = 0;

    bool operator==(const PortHolder&) const = default;
};

// Looks through the open files of the processes below procRoot for one (other than this
// process) that has the file at path open: the same terminal device, or the same file. The
// system shows the open files of the user's own processes (all of them to root), not those of
// another user's service: then, or when path is not there, nothing is found.
std::optional<PortHolder> findPortHolder(const std::string& path,
                                         const std::filesystem::path& procRoot = "/proc");

// Why the port at path could not be opened, from the open's errno: for a port another program
// holds, that program (BusyNamed) when findPortHolder sees it.
PhoneCause openCause(const std::string& path, int openError);

}  // namespace causes
