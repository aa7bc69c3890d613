#include "ScratchFolder.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "FuzzCheck.h"

namespace fuzz_support {

const ScratchFolder& ScratchFolder::instance() {
    static const ScratchFolder folder;
    return folder;
}

ScratchFolder::ScratchFolder() {
    // A file system in memory when there is one: the targets write and read files per input.
    std::string pattern = "/dev/shm/contaxio-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::error_code error;
        pattern = (std::filesystem::temp_directory_path(error) / "contaxio-fuzz-XXXXXX").string();
        FUZZ_CHECK(!error && mkdtemp(pattern.data()) != nullptr, "cannot make a scratch folder",
                   pattern);
    }
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace fuzz_support
