#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "CsvFiles.h"
#include "FileSizeLimit.h"
#include "export/Contact.h"
#include "export/ContactField.h"
#include "export/DiskSpaceException.h"
#include "export/FileAccessException.h"
#include "export/GoogleCSVWriter.h"
#include "export/OutlookCSVWriter.h"

namespace {

using namespace csv_test;
namespace fs = std::filesystem;
using test_support::readFileBytes;
using test_support::TempDir;

// Sets or clears a file's append-only attribute, which makes truncating it fail; false when
// the file system or the user's rights do not allow it.
bool setAppendOnly(const fs::path& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_APPEND_FL) : (flags & ~FS_APPEND_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

// Text outside ASCII: e with acute accent, and a character outside the basic plane.
const std::u16string kWorld = u"h\u00e9llo \U0001F600";

TEST(CsvFileEncoding, Utf16WritesItsMarkAndLittleEndianUnits) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    {
        OutlookCSVWriter writer(u16(path), 0);
        EXPECT_EQ(readFileBytes(path), kUtf16Mark);
        writer.writeLine(kWorld + u"\n");
        writer.writeLine(u"a\nb\n");
    }
    EXPECT_EQ(readFileBytes(path), kUtf16Mark +
                                       std::string("h\0\xE9\0l\0l\0o\0 \0\x3D\xD8\x00\xDE"
                                                   "\r\0\n\0",
                                                   20) +
                                       std::string("a\0\r\0\n\0b\0\r\0\n\0", 12));
}

TEST(CsvFileEncoding, Utf8WritesItsMarkAndCarriageReturns) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    {
        GoogleCSVWriter writer(u16(path), 1);
        EXPECT_EQ(readFileBytes(path), kUtf8Mark);
        writer.writeLine(kWorld + u"\n");
    }
    EXPECT_EQ(readFileBytes(path), kUtf8Mark + "h\xC3\xA9llo \xF0\x9F\x98\x80\r\n");
}

TEST(CsvFileEncoding, AsciiHasNoMarkAndQuestionMarksForTheRest) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    {
        GoogleCSVWriter writer(u16(path), 2);
        EXPECT_EQ(readFileBytes(path), "");
        writer.writeLine(kWorld + u"\n");
        writer.writeLine(u"x\r\n");
    }
    EXPECT_EQ(readFileBytes(path), "h?llo ?\r\nx\r\r\n");
}

TEST(CsvFileEncoding, OtherCodesUseTheLocaleWithoutAMark) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    {
        GoogleCSVWriter writer(u16(path), 7);
        writer.writeLine(u"plain text\n");
    }
    EXPECT_EQ(readFileBytes(path), "plain text\r\n");
}

TEST(CsvFileEncoding, Utf16RowOfAContact) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    Contact contact;
    contact.setText(ContactField::GivenName, u"Zo\u00eb");
    {
        OutlookCSVWriter writer(u16(path), 0);
        writer.writeHeader();
        writer.writeContact(contact);
    }
    EXPECT_EQ(readFileBytes(path),
              kUtf16Mark +
                  utf16le("\"First Name\",\"Middle Name\",\"Last Name\",\"E-mail Address\","
                          "\"Primary Phone\",\"Home Phone\",\"Mobile Phone\",\"Pager\","
                          "\"Home Fax\",\"Business Phone\"\r\n") +
                  utf16le(outlookRow({{1, "\"Zo\u00eb\""}})));
}

TEST(CsvFileOpen, TruncatesAnExistingFile) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    {
        GoogleCSVWriter writer(u16(path), 2);
        writer.writeLine(u"old contents that are longer\n");
    }
    { GoogleCSVWriter writer(u16(path), 1); }
    EXPECT_EQ(readFileBytes(path), kUtf8Mark);
}

TEST(CsvFileOpen, FailsInAMissingFolderOrOnAFolder) {
    TempDir dir;
    const auto missing = dir.path() / "missing" / "out.csv";
    for (int charset : {0, 1, 2}) {
        EXPECT_THROW(GoogleCSVWriter(u16(missing), charset), FileAccessException);
        EXPECT_THROW(OutlookCSVWriter(u16(dir.path()), charset), FileAccessException);
    }
    EXPECT_FALSE(fs::exists(missing.parent_path()));
}

// The exception keeps the errno of the failure, so that a front end can name the cause.
TEST(CsvFileOpen, TheFailureKeepsItsCause) {
    TempDir dir;
    const auto plainFile = dir.file("plain");
    { std::ofstream(plainFile).put('x'); }
    const struct {
        fs::path path;
        int code;
    } cases[] = {
        {dir.path() / "missing" / "out.csv", ENOENT},
        {dir.path(), EISDIR},
        {plainFile / "out.csv", ENOTDIR},
        {dir.path() / std::string(300, 'n'), ENAMETOOLONG},
        {"/dev/full", ENOSPC},
    };
    for (const auto& c : cases) {
        try {
            GoogleCSVWriter writer(u16(c.path), 1);
            ADD_FAILURE() << c.path << " was opened";
        } catch (const FileAccessException& failure) {
            EXPECT_EQ(failure.code(), c.code) << c.path;
        }
    }
}

TEST(CsvFileOpen, FailsWhenTheMarkCannotBeWritten) {
    for (int charset : {0, 1}) {
        EXPECT_THROW(GoogleCSVWriter(u"/dev/full", charset), FileAccessException);
    }
}

// A full disk: /dev/full fails every write with ENOSPC.
TEST(CsvFileFailure, FullDiskKeepsTheFileOpen) {
    TempDir dir;
    const auto link = dir.file("out.csv");
    fs::create_symlink("/dev/full", link);
    GoogleCSVWriter writer(u16(link), 2);
    EXPECT_THROW(writer.writeHeader(), DiskSpaceException);

    // Were the file closed, the next write would reopen the path, which now names a
    // writable file.
    fs::remove(link);
    const auto target = dir.file("target.csv");
    { std::ofstream(target).put('x'); }
    fs::create_symlink(target, link);
    EXPECT_THROW(writer.writeLine(u"line\n"), DiskSpaceException);
    EXPECT_EQ(readFileBytes(target), "x");
}

// Any other failure closes the file; the next write reopens it for appending, without a mark,
// and the failed line leaves nothing behind.
TEST(CsvFileFailure, AccessFailureClosesAndTheNextWriteAppends) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    GoogleCSVWriter writer(u16(path), 1);
    writer.writeLine(u"first\n");
    const std::string before = kUtf8Mark + "first\r\n";
    ASSERT_EQ(readFileBytes(path), before);
    {
        // Room for part of the line only.
        test_support::FileSizeLimit limit(before.size() + 4);
        EXPECT_THROW(writer.writeLine(u"second line\n"), FileAccessException);
    }
    EXPECT_EQ(readFileBytes(path), before);

    writer.writeLine(u"second line\n");
    EXPECT_EQ(readFileBytes(path), before + "second line\r\n");

    // Reopened by path: a file moved away no longer receives lines.
    const auto moved = dir.file("moved.csv");
    {
        test_support::FileSizeLimit limit(0);
        EXPECT_THROW(writer.writeLine(u"third\n"), FileAccessException);
    }
    fs::rename(path, moved);
    writer.writeLine(u"third\n");
    EXPECT_EQ(readFileBytes(moved), before + "second line\r\n");
    EXPECT_EQ(readFileBytes(path), "third\r\n");
}

// A failed line that cannot be cut off makes every later write fail, without writing, until
// it can be cut off.
TEST(CsvFileFailure, LineThatCannotBeCutOffFailsAgainUntilItCan) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    GoogleCSVWriter writer(u16(path), 2);
    writer.writeLine(u"first\n");
    if (!setAppendOnly(path, true)) {
        GTEST_SKIP() << "the append-only attribute cannot be set here";
    }
    struct Clear {
        const fs::path& path;
        ~Clear() { setAppendOnly(path, false); }
    } clear{path};
    {
        test_support::FileSizeLimit limit(7 + 3);
        EXPECT_THROW(writer.writeLine(u"second\n"), FileAccessException);
    }
    EXPECT_EQ(readFileBytes(path), "first\r\nsec");
    EXPECT_THROW(writer.writeLine(u"second\n"), FileAccessException);
    EXPECT_EQ(readFileBytes(path), "first\r\nsec");

    ASSERT_TRUE(setAppendOnly(path, false));
    writer.writeLine(u"second\n");
    EXPECT_EQ(readFileBytes(path), "first\r\nsecond\r\n");
}

TEST(CsvFileFailure, ReopenFailureKeepsTheFileClosed) {
    TempDir dir;
    const auto folder = dir.path() / "folder";
    fs::create_directory(folder);
    const auto path = folder / "out.csv";
    OutlookCSVWriter writer(u16(path), 0);
    {
        test_support::FileSizeLimit limit(0);
        EXPECT_THROW(writer.writeLine(u"line\n"), FileAccessException);
    }
    // The folder is replaced by a plain file: the path cannot be opened.
    const auto away = dir.path() / "away";
    fs::rename(folder, away);
    { std::ofstream(folder.string()).put('x'); }
    EXPECT_THROW(writer.writeLine(u"line\n"), FileAccessException);
    EXPECT_THROW(writer.writeLine(u"line\n"), FileAccessException);
    EXPECT_EQ(readFileBytes(away / "out.csv"), kUtf16Mark);

    fs::remove(folder);
    fs::rename(away, folder);
    writer.writeLine(u"line\n");
    EXPECT_EQ(readFileBytes(path), kUtf16Mark + utf16le("line\r\n"));
}

}  // namespace
