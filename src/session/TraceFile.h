#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

// The byte trace of `--trace FILE`: every byte sent to the phone and received from it, a line
// per chunk, with the time since the trace began and the direction, for a bug report:
//
//   # contaxio-cli 0.1.0 byte trace of /dev/ttyACM0, begun 2026-12-08 12:00:00 UTC ...
//   0.000412 > AT+MODE?\r\n
//   0.021937 < \r\n+MODE: 2\r\n\r\nOK\r\n
//
// ">" goes to the phone, "<" comes from it. Bytes outside printable ASCII, and the backslash,
// are written as escapes (\r, \n, \t, \\, \xHH), so that the file tells every byte exactly.
// While a TraceFile lives, every modem that the modem registry opens writes into it, on
// whichever thread uses the modem.
class TraceFile {
public:
    // Creates (or truncates) the file at path and begins tracing; the heading names the
    // program and the port traced (empty: the phones the program finds). Null with the errno
    // in error when the file cannot be created or its heading not written; EINVAL when path
    // names a terminal, which is never opened.
    static std::unique_ptr<TraceFile> begin(const std::string& path, const std::string& program,
                                            const std::string& port, int& error);
    // Ends the tracing and closes the file.
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Writes one chunk; safe from any thread.
    void record(bool outgoing, std::string_view bytes);

    // The errno of the first write that failed; 0 when none did.
    int failure() const;

    // One line of the trace, with its line end.
    static std::string line(std::chrono::microseconds sinceBegin, bool outgoing,
                            std::string_view bytes);

private:
    using Clock = std::chrono::steady_clock;

    explicit TraceFile(int fd);
    // Writes text whole; remembers the first failure.
    void writeLocked(const std::string& text);

    mutable std::mutex mutex_;
    int fd_;
    Clock::time_point begun_;
    int failure_ = 0;
};
