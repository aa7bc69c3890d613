// Decoding phone values in the locale's charset (code page 0): with the locale set up once per
// converter, as the converters do, against setting it up again for every value. Run in the
// user's locale (LC_ALL, LC_CTYPE, LANG) and, through iconv, in ISO-8859-1.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "CpuTime.h"
#include "charsets/CodePages.h"
#include "charsets/LocaleCharset.h"
#include "charsets/MbsToUcsDefaultConverter.h"
#include "charsets/TextCodec.h"

namespace {

constexpr int kValues = 20000;

// Values per CPU second for decoding kValues short names.
double valuesPerSecond(const std::function<std::u16string(const std::string&)>& decode) {
    const std::vector<std::string> names = {"Anna Schmidt", "Jos\xE9 N\xFA\xF1\x65z", "Bob (Work",
                                            "+4917012345678"};
    std::size_t units = 0;
    const double before = bench::processCpuSeconds();
    for (int i = 0; i < kValues; ++i)
        units += decode(names[static_cast<std::size_t>(i) % names.size()]).size();
    const double seconds = bench::processCpuSeconds() - before;
    if (units == 0)
        std::printf("  (nothing decoded)\n");
    return seconds > 0 ? kValues / seconds : 0;
}

}  // namespace

int main() {
    std::printf("Locale charset: decoding %d values\n", kValues);

    const MbsToUcsDefaultConverter converter(code_page::SystemDefault);
    std::printf("  user's locale (%s)\n", converter.localeCharset()->codeset().c_str());
    std::printf("    set up once per converter:  %10.0f values/s\n",
                valuesPerSecond([&](const std::string& v) { return converter.convert(v); }));
    std::printf("    set up for every value:     %10.0f values/s\n",
                valuesPerSecond([](const std::string& v) {
                    return text_codec::decode(code_page::SystemDefault, v);
                }));

    LocaleCharset latin1("ISO-8859-1");
    std::printf("  ISO-8859-1 through iconv\n");
    std::printf("    set up once per converter:  %10.0f values/s\n",
                valuesPerSecond([&](const std::string& v) { return latin1.decode(v); }));
    std::printf("    set up for every value:     %10.0f values/s\n",
                valuesPerSecond(
                    [](const std::string& v) { return LocaleCharset("ISO-8859-1").decode(v); }));
    return 0;
}
