#include "FileSizeLimit.h"

#include <stdexcept>

namespace test_support {

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    if (getrlimit(RLIMIT_FSIZE, &previousLimit_) != 0 ||
        sigaction(SIGXFSZ, &ignore, &previousAction_) != 0) {
        throw std::runtime_error("cannot prepare a file size limit");
    }
    struct rlimit limit = previousLimit_;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        sigaction(SIGXFSZ, &previousAction_, nullptr);
        throw std::runtime_error("cannot set a file size limit");
    }
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previousLimit_);
    sigaction(SIGXFSZ, &previousAction_, nullptr);
}

}  // namespace test_support
