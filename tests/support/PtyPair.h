#pragma once

#include <chrono>
#include <string>

namespace test_support {

// A pseudo-terminal pair for tests: the slave path stands in for a phone's port, the master
// side plays the phone. The terminal settings are left as the kernel made them.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    // Writes all bytes to the master side.
    void writeMaster(const std::string& bytes);

    // Reads from the master side until `expected` bytes arrived or the timeout passed.
    std::string readMaster(std::size_t expected, std::chrono::milliseconds timeout);

    // Reads from the master side until the text read ends with `terminator` or the timeout
    // passed.
    std::string readMasterUntil(const std::string& terminator, std::chrono::milliseconds timeout);

    // The bytes written to the master that wait on the slave side to be read.
    std::size_t slavePending() const;

    // Closes the master side: the slave side then sees a hang-up, as when a phone is unplugged.
    void closeMaster();

private:
    int master_ = -1;
    int slaveKeeper_ = -1;  // keeps the slave open so the master never sees EIO before use
    std::string slavePath_;
};

}  // namespace test_support
