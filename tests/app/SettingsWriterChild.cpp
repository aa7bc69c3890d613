// A process that sets one phone alias in a settings file, for the tests that kill a process
// in the middle of a write or right after it:
//   contaxio-test-settings-writer <settings file> <IMEI> <alias> [--alias-size N]
// --alias-size repeats the alias until it is N bytes long. After the write it says "written" on
// standard error and waits for a signal.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/AliasStore.h"
#include "charsets/TextCodec.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 6) {
        std::fputs("usage: settings-writer FILE IMEI ALIAS [--alias-size N]\n", stderr);
        return 2;
    }
    std::string alias = argv[3];
    if (argc == 6 && !alias.empty()) {
        const auto size = static_cast<std::size_t>(std::strtoul(argv[5], nullptr, 10));
        while (alias.size() < size) {
            alias += argv[3];
        }
    }
    AliasStore store;
    store.setSettingsFile(argv[1]);
    store.setAlias(text_codec::fromUtf8(argv[2]), text_codec::fromUtf8(alias));
    std::fputs("written\n", stderr);
    std::fflush(stderr);
    for (;;) {
        ::pause();
    }
}
