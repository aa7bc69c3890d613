#pragma once

#include <string>

namespace test_support {

// Tells whether anybody opened a file since the watch began (inotify reports every open), so
// that a test can show that a device node was left alone.
class OpenWatch {
public:
    // Throws std::runtime_error when the file cannot be watched.
    explicit OpenWatch(const std::string& path);
    ~OpenWatch();
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    bool opened() const;

private:
    int fd_;
};

}  // namespace test_support
