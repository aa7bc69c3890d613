#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

// The file an export writes, arranged so that an export that fails, or a process that is
// killed, never costs the file that was there before.
//
// A target that is absent or a regular file (also behind symbolic links) is not touched while
// the export runs: the rows go into a working file in the same folder, hidden and named
// ".<name>.<random>.contaxio-tmp". commit() then puts it in place of the target in one step
// (rename), with the permissions and, where allowed, the owner of the file it replaces;
// discard() removes it and leaves the target as it was. The working file is locked (flock)
// for as long as its OutputFile lives; one whose lock is free was left by a process that
// ended without cleaning up, and is removed when the next OutputFile is made in that folder.
//
// Targets that hold nothing to lose are written directly: devices such as /dev/null, FIFOs,
// sockets, and the names of this process's own descriptors (/dev/stdout, /dev/stderr,
// /dev/fd/N, /proc/self/fd/N), which the CSV writer writes through the descriptor itself.
// Terminals (a phone's port, /dev/tty, a console) are never written.
//
// Failures throw FileAccessException with the errno of the call that failed: ENOENT (the
// folder does not exist), ENOTDIR, EACCES or EPERM (existingFile() then tells whether the
// file already there may not be written, or the folder), EROFS, EISDIR (the target is a
// folder), ENAMETOOLONG, ENOSPC, EDQUOT, ELOOP, and EINVAL for a terminal.
//
// Used by one thread at a time.
class OutputFile {
public:
    // Prepares the target and creates the working file. Throws FileAccessException.
    explicit OutputFile(const std::u16string& target);
    // Removes the working file unless it was committed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::u16string& target() const { return target_; }
    // Where the rows are to be written: the working file, or the target itself when it is
    // written directly.
    const std::u16string& writePath() const { return writePath_; }
    // The target is written directly: commit() and discard() have nothing to do.
    bool direct() const { return direct_; }

    // Puts the working file in place of the target (after flushing it to the disk). Throws
    // FileAccessException when that fails; the working file then stays, and commit() may be
    // called again. Nothing happens after a commit that succeeded. Not after discard().
    void commit();
    // Removes the working file; the target stays as it was.
    void discard();
    bool committed() const { return committed_; }

    // The descriptor that a path names when it is one of this process's own (/dev/stdin,
    // /dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N); nothing for any other path.
    static std::optional<int> descriptorNamed(const std::string& path);
    // Whether the path names a terminal device, found from its device number without opening
    // it (opening a serial port can reset what is attached to it).
    static bool isTerminal(const std::string& path);

private:
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        bool operator==(const Identity&) const = default;
    };

    // Creates and locks the working file in folder_; false with the errno when it cannot.
    bool createWorkingFile(const std::string& name, int& error);
    // Whether the working file's name still leads to the file this object created.
    bool workingFileIsOurs() const;

    std::u16string target_;
    std::u16string writePath_;
    bool direct_ = false;
    bool committed_ = false;
    bool discarded_ = false;

    // Replacing a target: where it is, and what the working file takes over from it.
    std::string targetPath_;   // the target with symbolic links resolved
    std::string folder_;       // the folder of targetPath_
    std::string workingName_;  // the working file's name in folder_
    std::string workingPath_;  // folder_ + "/" + workingName_
    int anchor_ = -1;          // the working file, open and locked for this object's life
    Identity working_;         // the working file's identity
    bool replacing_ = false;   // a file was there to be replaced
    mode_t targetMode_ = 0;    // its permissions
    uid_t targetOwner_ = 0;    // and its owner
    gid_t targetGroup_ = 0;
};
