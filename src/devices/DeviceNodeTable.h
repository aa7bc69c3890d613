#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Gives each sysfs device folder (by its path relative to the tree's root) a 32-bit device node
// number, 1 and up, that stays the same for the life of the table: the same folder seen again,
// also after it went away and came back, gets the same number. 0 is never given. Safe to use
// from several threads.
class DeviceNodeTable {
public:
    // The folder's number, given now when the folder has none yet.
    std::uint32_t nodeOf(std::string_view relativePath);

    // The folder a number was given to; nothing for a number never given.
    std::optional<std::string> pathOf(std::uint32_t node) const;

    std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::unordered_map<std::string, std::uint32_t> numbers_;
    std::vector<std::string> paths_;  // paths_[node - 1]
};
