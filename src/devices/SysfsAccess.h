#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading a sysfs tree: attribute files, folder listings and the relative links between
// folders. Paths given to these functions are absolute (the tree's root joined with a relative
// path); none of them throws.
namespace sysfs {

// The longest attribute read; anything beyond is ignored (attributes are short texts).
inline constexpr std::size_t kMaxAttributeSize = 4096;

// An attribute's text without the newline the kernel ends it with and without the blanks that
// pad fixed-width values (SCSI vendor and model strings); nothing when the file is missing or
// cannot be read.
std::optional<std::string> readAttribute(const std::string& path);

// True when something (a file, a folder, a link) exists at path, without following a link.
bool exists(const std::string& path);

// True when a folder exists at path, following links.
bool isFolder(const std::string& path);

// The names in a folder, sorted, without "." and ".."; error is the errno when the folder
// cannot be listed (names then empty).
struct Listing {
    std::vector<std::string> names;
    int error = 0;
};
Listing listFolder(const std::string& path);

// Where the link at root + "/" + relative points to, as a path relative to root: the link's
// folder joined with its target and normalised. Empty when there is no link there or its
// target leaves the tree.
std::string resolveLink(const std::string& root, std::string_view relative);

// relative without its last component ("a/b/c" -> "a/b"; "a" -> "").
std::string_view parentOf(std::string_view relative);

// The last component of relative ("a/b/c" -> "c").
std::string_view nameOf(std::string_view relative);

// folder joined with a relative link target ("../x" climbs), normalised; empty when the target
// climbs above the tree's root or is absolute.
std::string joinRelative(std::string_view folder, std::string_view target);

// True for a device name (DEVNAME) that a device path may be built from: one name, or names
// with "/" between them, that stays below the dev root ("..", "." and empty names refused).
bool isSafeDeviceName(std::string_view name);

}  // namespace sysfs
