#pragma once

#include <chrono>
#include <string>

namespace test_support {

// The program's side of a phone's port, for tests that talk AT to a simulated phone without
// the serial layer: opens the port, puts the line in raw mode (the opener's job), writes
// command lines and reads answers with bounded waits.
class RawPortClient {
public:
    // Throws std::runtime_error when the port cannot be opened.
    explicit RawPortClient(const std::string& path);
    ~RawPortClient();
    RawPortClient(const RawPortClient&) = delete;
    RawPortClient& operator=(const RawPortClient&) = delete;

    // Writes the line and "\r\n".
    void send(const std::string& line);
    void sendRaw(const std::string& bytes);

    // Reads until the text holds "\r\nOK\r\n" or "\r\nERROR\r\n", or the time-out passes;
    // returns what arrived.
    std::string readAnswer(std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // send() and readAnswer().
    std::string command(const std::string& line,
                        std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Reads until the text ends with `ending`, or the time-out passes.
    std::string readUntil(const std::string& ending, std::chrono::milliseconds timeout);

    // Reads whatever arrives within the time.
    std::string readFor(std::chrono::milliseconds duration);

    // True when the port reports the phone gone (hang-up, end of file or EIO) within the time.
    bool waitForHangup(std::chrono::milliseconds timeout);

    // Bytes written and read so far.
    std::size_t bytesWritten() const { return written_; }
    std::size_t bytesRead() const { return read_; }

    int fd() const { return fd_; }

private:
    // Reads what is there, waiting at most until the deadline for the first byte; false when
    // the port has hung up.
    bool readSome(std::string& into, std::chrono::steady_clock::time_point deadline);

    int fd_ = -1;
    std::size_t written_ = 0;
    std::size_t read_ = 0;
};

}  // namespace test_support
