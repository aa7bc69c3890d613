#include "export/CSVWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>

#include "charsets/CharsetChoice.h"
#include "charsets/CodePages.h"
#include "charsets/TextCodec.h"
#include "export/DiskSpaceException.h"
#include "export/FileAccessException.h"
#include "export/OutputFile.h"

namespace {

std::uint32_t codePageOf(std::int32_t charset) {
    switch (charset) {
        case output_charset::Ucs2:
            return code_page::Utf16;
        case output_charset::Utf8:
            return code_page::Utf8;
        case output_charset::Ascii:
            return code_page::Ascii;
        default:
            return code_page::SystemDefault;
    }
}

constexpr std::string_view kUtf16Mark("\xFF\xFE", 2);
constexpr std::string_view kUtf8Mark("\xEF\xBB\xBF", 3);

}  // namespace

CSVWriter::CSVWriter(std::u16string path, std::int32_t charset)
    : CSVWriter(std::move(path), charset, true) {}

CSVWriter::CSVWriter(std::u16string path, Utf8WithoutMark)
    : CSVWriter(std::move(path), output_charset::Utf8, false) {}

CSVWriter::CSVWriter(std::u16string path, std::int32_t charset, bool mark)
    : path_(std::move(path)), charset_(charset), converter_(codePageOf(charset)) {
    int openError = 0;
    if (!openFile(false, openError)) {
        throw FileAccessException(openError);
    }
    std::string_view markBytes;
    if (mark && charset_ == output_charset::Ucs2) {
        markBytes = kUtf16Mark;
    } else if (mark && charset_ == output_charset::Utf8) {
        markBytes = kUtf8Mark;
    }
    int error = 0;
    if (!writeAll(markBytes, error)) {
        closeFile();
        throw FileAccessException(error);
    }
}

CSVWriter::~CSVWriter() {
    closeFile();
}

std::u16string CSVWriter::quoted(std::u16string_view text) {
    std::u16string cell;
    cell.reserve(text.size() + 2);
    cell += u'"';
    cell += text;
    cell += u'"';
    return cell;
}

bool CSVWriter::openFile(bool append, int& error) {
    const std::string name = text_codec::toUtf8(path_);
    const std::optional<int> descriptor = OutputFile::descriptorNamed(name);
    int fd;
    if (descriptor) {
        // One of the process's own descriptors (standard output, say) is written through
        // itself: opening its name again would truncate what a shell opened for appending.
        fd = ::fcntl(*descriptor, F_DUPFD_CLOEXEC, 0);
    } else {
        // Non-blocking only while opening, so that a FIFO without a reader fails instead of
        // hanging. Every write goes to the end of the file.
        int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
        if (!append) {
            flags |= O_TRUNC;
        }
        do {
            fd = ::open(name.c_str(), flags, 0666);
        } while (fd < 0 && errno == EINTR);
    }
    if (fd < 0) {
        error = errno;
        return false;
    }
    // Contacts are never written into a terminal, least of all into the phone's own port.
    if (::isatty(fd) == 1) {
        ::close(fd);
        error = EINVAL;
        return false;
    }
    struct stat status {};
    const int fileFlags = ::fcntl(fd, F_GETFL);
    if (fileFlags < 0 || (!descriptor && ::fcntl(fd, F_SETFL, fileFlags & ~O_NONBLOCK) < 0) ||
        ::fstat(fd, &status) < 0) {
        error = errno;
        ::close(fd);
        return false;
    }
    fd_ = fd;
    // A descriptor shared with others writes where its offset stands; cutting its file back
    // would leave a hole, so lines are cut back only in files this writer opened.
    regular_ = S_ISREG(status.st_mode) && !descriptor;
    identity_ = {status.st_dev, status.st_ino};
    return true;
}

void CSVWriter::closeFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::string CSVWriter::encode(const std::u16string& line) const {
    std::u16string text;
    text.reserve(line.size() + 2);
    for (const char16_t unit : line) {
        if (unit == u'\n') {
            text += u'\r';
        }
        text += unit;
    }
    if (charset_ != output_charset::Ucs2) {
        return converter_.convert(text);
    }
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

bool CSVWriter::writeAll(std::string_view bytes, int& error) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        if (written == 0) {
            error = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool CSVWriter::cutBack(int& error) {
    if (!cutPending_) {
        return true;
    }
    struct stat status {};
    if (::fstat(fd_, &status) < 0) {
        error = errno;
        return false;
    }
    // A file that is not the one the line failed in does not hold any of it.
    if (FileIdentity{status.st_dev, status.st_ino} == cutIdentity_ && status.st_size > cutOffset_ &&
        ::ftruncate(fd_, cutOffset_) < 0) {
        error = errno;
        return false;
    }
    cutPending_ = false;
    return true;
}

void CSVWriter::fail(int error) {
    // An exhausted quota is a full disk to the user, and freeing space helps the same way.
    if (error == ENOSPC || error == EDQUOT) {
        throw DiskSpaceException(error);
    }
    closeFile();
    throw FileAccessException(error);
}

void CSVWriter::writeLine(const std::u16string& line) {
    int openError = 0;
    if (fd_ < 0 && !openFile(true, openError)) {
        throw FileAccessException(openError);
    }
    int error = 0;
    if (!cutBack(error)) {
        fail(error);
    }
    const std::string bytes = encode(line);
    off_t start = 0;
    if (regular_) {
        struct stat status {};
        if (::fstat(fd_, &status) < 0) {
            fail(errno);
        }
        start = status.st_size;
    }
    if (writeAll(bytes, error)) {
        return;
    }
    if (regular_) {
        cutPending_ = true;
        cutOffset_ = start;
        cutIdentity_ = identity_;
        int ignored = 0;
        cutBack(ignored);  // if this fails, the next writeLine tries again before writing
    }
    fail(error);
}
