#include "devices/DeviceNodeTable.h"

#include <limits>
#include <stdexcept>

std::uint32_t DeviceNodeTable::nodeOf(std::string_view relativePath) {
    std::lock_guard lock(mutex_);
    const std::string key(relativePath);
    const auto known = numbers_.find(key);
    if (known != numbers_.end())
        return known->second;
    if (paths_.size() >= std::numeric_limits<std::uint32_t>::max() - 1)
        throw std::length_error("no device node numbers left");
    paths_.push_back(key);
    const auto node = static_cast<std::uint32_t>(paths_.size());
    numbers_.emplace(key, node);
    return node;
}

std::optional<std::string> DeviceNodeTable::pathOf(std::uint32_t node) const {
    std::lock_guard lock(mutex_);
    if (node == 0 || node > paths_.size())
        return std::nullopt;
    return paths_[node - 1];
}

std::size_t DeviceNodeTable::size() const {
    std::lock_guard lock(mutex_);
    return paths_.size();
}
