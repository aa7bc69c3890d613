#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstdint>

namespace test_support {

// Limits the size of files this process may write (RLIMIT_FSIZE), so that a write beyond the
// limit fails with EFBIG after writing what fits. SIGXFSZ is ignored meanwhile, so the process
// survives. The limit and the signal's disposition are restored on destruction. The limit holds
// for every thread of the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit previousLimit_ {};
    struct sigaction previousAction_ {};
};

}  // namespace test_support
