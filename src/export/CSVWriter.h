#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "charsets/UcsToMbsConverter.h"
#include "export/IContact.h"

// Writes the rows of one output file (a CSV file, or the vCards of VCardWriter). The file is
// created (or truncated) at construction and receives the byte-order mark of its encoding; each
// line (or block of lines) is written and flushed whole. A path naming one of the process's own
// descriptors (/dev/stdout, /dev/fd/N; see OutputFile) is written through that descriptor, and a
// terminal is never written (FileAccessException with EINVAL).
//
// Output charset codes: output_charset::Ucs2 (0) writes UTF-16LE after FF FE, Utf8 (1) UTF-8
// after EF BB BF, Ascii (2) US-ASCII ("?" for what it cannot hold) without a mark, and any
// other code the locale's charset without a mark. Every line feed, in values too, reaches the
// file as carriage return and line feed.
//
// A full disk (or an exhausted quota) throws DiskSpaceException and leaves the file open; any other
// failure throws FileAccessException and closes the file, and the next writeLine reopens it for
// appending. Whatever part of a failed line reached the file is cut off again, so that writing the
// line once more leaves it in the file once and whole; when that cannot be done, writeLine fails
// again instead of writing.
class CSVWriter {
public:
    // Throws FileAccessException when the file cannot be created or its mark not written.
    CSVWriter(std::u16string path, std::int32_t charset);
    virtual ~CSVWriter();
    CSVWriter(const CSVWriter&) = delete;
    CSVWriter& operator=(const CSVWriter&) = delete;

    virtual void writeContact(const IContact& contact) = 0;
    virtual void writeHeader() = 0;

    // Writes one complete line (ending in a line feed). Throws DiskSpaceException or
    // FileAccessException.
    void writeLine(const std::u16string& line);

protected:
    // A file in UTF-8 without a byte-order mark, whatever the export's charset.
    struct Utf8WithoutMark {};
    // Throws FileAccessException when the file cannot be created.
    CSVWriter(std::u16string path, Utf8WithoutMark);

    // The text in double quotes.
    static std::u16string quoted(std::u16string_view text);

private:
    CSVWriter(std::u16string path, std::int32_t charset, bool mark);

    struct FileIdentity {
        dev_t device = 0;
        ino_t inode = 0;
        bool operator==(const FileIdentity&) const = default;
    };

    // Opens the file; on failure returns false with the errno in error.
    bool openFile(bool append, int& error);
    void closeFile();
    std::string encode(const std::u16string& line) const;
    // Writes all bytes; on failure returns false with the errno in error.
    bool writeAll(std::string_view bytes, int& error);
    // Removes what a failed line left in the file; on failure returns false with the errno.
    bool cutBack(int& error);
    // Throws the exception for a failed write with this errno, closing the file unless the
    // disk is full.
    [[noreturn]] void fail(int error);

    std::u16string path_;
    int fd_ = -1;
    std::int32_t charset_;
    UcsToMbsConverter converter_;
    // Whether the open file is a regular file: only then can a failed line be cut off.
    bool regular_ = false;
    FileIdentity identity_;
    // A failed line that may still be partly in the file: where it began, and in which file.
    bool cutPending_ = false;
    off_t cutOffset_ = 0;
    FileIdentity cutIdentity_;
};
