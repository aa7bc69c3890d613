#include "ProcessFigures.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace soak {

ProcessFigures ProcessFigures::now() {
    ProcessFigures figures;
    std::error_code error;
    // The listing holds a descriptor of its own while it runs, every time alike.
    for (std::filesystem::directory_iterator entry("/proc/self/fd", error), end;
         !error && entry != end; entry.increment(error))
        ++figures.openFiles;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Threads:", 0) == 0)
            figures.threads = std::stoi(line.substr(8));
        else if (line.rfind("VmRSS:", 0) == 0)
            figures.residentKb = std::stol(line.substr(6));
    }
    return figures;
}

}  // namespace soak
