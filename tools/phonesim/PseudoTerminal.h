#pragma once

#include <string>

namespace phonesim {

// A pseudo-terminal pair whose slave side is the phone's port. The terminal settings are left
// as the kernel made them: putting the line in raw mode is the job of the program that opens
// the port, and a program that forgets it must not be hidden by the simulator.
class PseudoTerminal {
public:
    PseudoTerminal();  // throws std::system_error when no pseudo-terminal can be had
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The slave's path, e.g. /dev/pts/7: the port the program opens.
    const std::string& portPath() const { return portPath_; }

    // The master side, non-blocking; -1 once closed.
    int master() const { return master_; }
    bool isOpen() const { return master_ >= 0; }

    // Closes the master side, and the slave descriptor kept open so that the master never sees
    // a hang-up while no program has the port open. The program's side then sees the phone gone.
    void close();

private:
    int master_ = -1;
    int slaveKeeper_ = -1;
    std::string portPath_;
};

}  // namespace phonesim
