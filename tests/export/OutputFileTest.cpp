#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>

#include "CsvFiles.h"
#include "PtyPair.h"
#include "TempDir.h"
#include "export/FileAccessException.h"
#include "export/OutlookCSVWriter.h"
#include "export/OutputFile.h"

namespace {

using namespace csv_test;
namespace fs = std::filesystem;
using test_support::readFileBytes;
using test_support::TempDir;
using test_support::writeFileBytes;

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

fs::path writePathOf(const OutputFile& file) {
    return fs::path(text_codec::toUtf8(file.writePath()));
}

// The code of the FileAccessException that preparing the path throws; -1 when none is thrown.
int failureOf(const fs::path& path, bool* existingFile = nullptr) {
    try {
        OutputFile file(u16(path));
        return -1;
    } catch (const FileAccessException& failure) {
        if (existingFile != nullptr) {
            *existingFile = failure.existingFile();
        }
        return failure.code();
    }
}

TEST(OutputFile, TheTargetChangesOnlyWhenCommittedAndThenAtOnce) {
    TempDir dir;
    const auto target = dir.file("contacts.csv");
    writeFileBytes(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    {
        OutputFile file(u16(target));
        const fs::path working = writePathOf(file);
        EXPECT_FALSE(file.direct());
        EXPECT_EQ(working.parent_path(), dir.path()) << "beside the target";
        EXPECT_TRUE(working.filename().string().starts_with(".contacts.csv."));
        EXPECT_TRUE(working.filename().string().ends_with(".contaxio-tmp"));
        writeFileBytes(working, "new");
        EXPECT_EQ(readFileBytes(target), "old");

        file.commit();
        EXPECT_EQ(readFileBytes(target), "new");
        EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"contacts.csv"});
        EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
            << "the replaced file's permissions";
        file.commit();  // nothing more happens
        EXPECT_TRUE(file.committed());
    }
    EXPECT_EQ(readFileBytes(target), "new") << "kept after destruction";
}

TEST(OutputFile, AnUncommittedFileLeavesTheTargetAsItWasOrAbsent) {
    TempDir dir;
    const auto existing = dir.file("existing.csv");
    writeFileBytes(existing, "old");
    const auto absent = dir.file("absent.csv");
    {
        OutputFile onExisting(u16(existing));
        OutputFile onAbsent(u16(absent));
        writeFileBytes(writePathOf(onExisting), "new");
        writeFileBytes(writePathOf(onAbsent), "new");
        onExisting.discard();
        EXPECT_EQ(namesIn(dir.path()).size(), 2u) << "one working file left, for onAbsent";
    }
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"existing.csv"});
    EXPECT_EQ(readFileBytes(existing), "old");
}

TEST(OutputFile, ASymbolicLinkIsFollowedToTheFileItNames) {
    TempDir dir;
    fs::create_directory(dir.file("real"));
    const auto real = dir.file("real") / "contacts.csv";
    writeFileBytes(real, "old");
    const auto link = dir.file("link.csv");
    fs::create_symlink(real, link);
    OutputFile file(u16(link));
    EXPECT_EQ(writePathOf(file).parent_path(), dir.file("real"));
    writeFileBytes(writePathOf(file), "new");
    file.commit();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFileBytes(real), "new");
}

// Each cause keeps its own errno, found before anything is written.
TEST(OutputFile, APathThatCannotBeWrittenFailsWithItsCause) {
    TempDir dir;
    const auto plainFile = dir.file("plain");
    writeFileBytes(plainFile, "x");
    EXPECT_EQ(failureOf(dir.path() / "missing" / "out.csv"), ENOENT);
    EXPECT_EQ(failureOf(dir.path()), EISDIR);
    EXPECT_EQ(failureOf(dir.path().string() + "/"), EISDIR);
    EXPECT_EQ(failureOf(plainFile / "out.csv"), ENOTDIR);
    EXPECT_EQ(failureOf(dir.path() / std::string(300, 'n')), ENAMETOOLONG);
    // A name that just fits still gets a working file (its name is cut to fit).
    const auto longest = dir.path() / std::string(255, 'n');
    EXPECT_EQ(failureOf(longest), -1);
    const auto loop = dir.file("loop");
    fs::create_symlink(loop, loop);
    EXPECT_EQ(failureOf(loop), ELOOP);
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"loop", "plain"}));
}

TEST(OutputFile, AFileThatMayNotBeWrittenIsRefusedAsTheExistingFile) {
    TempDir dir;
    const auto target = dir.file("read-only.csv");
    writeFileBytes(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    int expected = EACCES;
    if (::geteuid() == 0) {
        // Permissions do not stop root; the immutable attribute does.
        const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        const bool set = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                         (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
        if (fd >= 0) {
            ::close(fd);
        }
        if (!set) {
            GTEST_SKIP() << "root, and the immutable attribute cannot be set here";
        }
        expected = EPERM;
    }
    bool existingFile = false;
    const int code = failureOf(target, &existingFile);
    if (::geteuid() == 0) {
        const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        ::ioctl(fd, FS_IOC_GETFLAGS, &flags);
        flags &= ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        ::close(fd);
    }
    EXPECT_EQ(code, expected);
    EXPECT_TRUE(existingFile);
    EXPECT_EQ(failureOf(dir.path() / "missing" / "x", &existingFile), ENOENT);
    EXPECT_FALSE(existingFile);
}

TEST(OutputFile, DevicesAndPipesAreWrittenDirectlyAndTerminalsNever) {
    for (const std::string path : {"/dev/null", "/dev/full"}) {
        OutputFile file(u16(path));
        EXPECT_TRUE(file.direct()) << path;
        EXPECT_EQ(file.writePath(), u16(path));
        file.commit();  // nothing to do
    }
    test_support::PtyPair terminal;
    EXPECT_TRUE(OutputFile::isTerminal(terminal.slavePath()));
    EXPECT_FALSE(OutputFile::isTerminal("/dev/null"));
    EXPECT_EQ(failureOf(terminal.slavePath()), EINVAL);
    if (fs::exists("/dev/tty")) {
        EXPECT_EQ(failureOf("/dev/tty"), EINVAL);
    }

    // A descriptor of this process is written through itself: here a pipe, by its /dev/fd name.
    int pipeEnds[2] = {-1, -1};
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    const std::string name = "/dev/fd/" + std::to_string(pipeEnds[1]);
    EXPECT_EQ(OutputFile::descriptorNamed(name), pipeEnds[1]);
    {
        OutputFile file(u16(name));
        EXPECT_TRUE(file.direct());
        OutlookCSVWriter writer(file.writePath(), 1);
        writer.writeLine(u"x\n");
    }
    ::close(pipeEnds[1]);
    char bytes[16] = {};
    EXPECT_EQ(::read(pipeEnds[0], bytes, sizeof bytes), 6);
    EXPECT_EQ(std::string(bytes, 6), kUtf8Mark + "x\r\n");
    ::close(pipeEnds[0]);
    EXPECT_EQ(failureOf("/dev/fd/999"), EBADF);
    for (const std::string other : {"/dev/fd/", "/dev/fd/1x", "/dev/fdx/1", "/proc/self/fd/-1"}) {
        EXPECT_FALSE(OutputFile::descriptorNamed(other).has_value()) << other;
    }
}

// A working file whose owner has gone (its lock is free) is cleared away by the next export
// in that folder; one whose owner lives is not, nor a file that only looks alike.
TEST(OutputFile, AbandonedWorkingFilesAreRemovedAndLiveOnesKept) {
    TempDir dir;
    const auto target = dir.file("contacts.csv");
    writeFileBytes(dir.file(".contacts.csv.Ab12Cd.contaxio-tmp"), "left by a killed run");
    writeFileBytes(dir.file("notes.contaxio-tmp"), "not ours");
    fs::create_directory(dir.file(".dir.Ab12Cd.contaxio-tmp"));
    OutputFile live(u16(target));
    const std::string liveName = writePathOf(live).filename().string();
    EXPECT_EQ(namesIn(dir.path()),
              (std::set<std::string>{liveName, "notes.contaxio-tmp", ".dir.Ab12Cd.contaxio-tmp"}));
    {
        OutputFile second(u16(dir.file("other.csv")));
        EXPECT_TRUE(fs::exists(writePathOf(live))) << "the live one is locked";
        second.commit();
    }
    live.commit();
    EXPECT_EQ(namesIn(dir.path()),
              (std::set<std::string>{"contacts.csv", "other.csv", "notes.contaxio-tmp",
                                     ".dir.Ab12Cd.contaxio-tmp"}));
}

TEST(OutputFile, ACommitThatFailsKeepsTheWorkingFileForAnotherTry) {
    TempDir dir;
    const auto target = dir.file("contacts.csv");
    OutputFile file(u16(target));
    writeFileBytes(writePathOf(file), "new");
    fs::create_directory(target);  // something took the name meanwhile
    writeFileBytes(target / "inside", "x");
    try {
        file.commit();
        FAIL() << "committed over a folder";
    } catch (const FileAccessException& failure) {
        EXPECT_TRUE(failure.code() == EISDIR || failure.code() == ENOTEMPTY) << failure.code();
    }
    EXPECT_FALSE(file.committed());
    EXPECT_EQ(readFileBytes(writePathOf(file)), "new");
    fs::remove_all(target);
    file.commit();
    EXPECT_EQ(readFileBytes(target), "new");
}

}  // namespace
