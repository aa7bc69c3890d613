#include "session/TraceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "charsets/HexDigits.h"
#include "charsets/ShownText.h"
#include "export/OutputFile.h"
#include "tasks/ModemRegistry.h"

namespace {

std::string escapedBytes(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (byte) {
            case '\r':
                text += "\\r";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\t':
                text += "\\t";
                break;
            case '\\':
                text += "\\\\";
                break;
            default:
                if (byte >= 0x20 && byte < 0x7F) {
                    text += c;
                } else {
                    text += "\\x";
                    hex_digits::append(text, byte, 2);
                }
        }
    }
    return text;
}

std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    char text[32] = {};
    if (::gmtime_r(&now, &parts) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts) == 0) {
        return "an unknown time";
    }
    return text;
}

}  // namespace

std::string TraceFile::line(std::chrono::microseconds sinceBegin, bool outgoing,
                            std::string_view bytes) {
    const auto micros = std::max<std::chrono::microseconds::rep>(sinceBegin.count(), 0);
    std::string fraction = std::to_string(micros % 1000000);
    fraction.insert(0, 6 - fraction.size(), '0');
    return std::to_string(micros / 1000000) + "." + fraction + (outgoing ? " > " : " < ") +
           escapedBytes(bytes) + "\n";
}

std::unique_ptr<TraceFile> TraceFile::begin(const std::string& path, const std::string& program,
                                            const std::string& port, int& error) {
    // A terminal (the phone's own port above all) is never opened: that can reset what is
    // attached to it.
    if (OutputFile::isTerminal(path)) {
        error = EINVAL;
        return nullptr;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC | O_NOCTTY,
                    0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    std::unique_ptr<TraceFile> trace(new TraceFile(fd));
    {
        std::lock_guard lock(trace->mutex_);
        trace->writeLocked("# " + program + " " + CONTAXIO_VERSION + " byte trace of " +
                           (port.empty() ? std::string("the phones found") : shownText(port)) +
                           ", begun " + utcNow() +
                           "; seconds since then, > to the phone, < from the phone\n");
        if (trace->failure_ != 0) {
            error = trace->failure_;
            return nullptr;
        }
    }
    ModemRegistry::instance().setTrace([raw = trace.get()](bool outgoing, std::string_view bytes) {
        raw->record(outgoing, bytes);
    });
    return trace;
}

TraceFile::TraceFile(int fd) : fd_(fd), begun_(Clock::now()) {}

TraceFile::~TraceFile() {
    ModemRegistry::instance().setTrace({});
    ::close(fd_);
}

void TraceFile::record(bool outgoing, std::string_view bytes) {
    const auto since = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - begun_);
    const std::string text = line(since, outgoing, bytes);
    std::lock_guard lock(mutex_);
    writeLocked(text);
}

int TraceFile::failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

void TraceFile::writeLocked(const std::string& text) {
    if (failure_ != 0) {
        return;
    }
    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t written = ::write(fd_, rest.data(), rest.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            failure_ = written < 0 ? errno : EIO;
            return;
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
}
