#include "app/CommonSettings.h"

#include <string>

#include "app/ProfileFile.h"
#include "charsets/TextCodec.h"

namespace {

constexpr std::u16string_view kSection = u"Common";

std::u16string decimal(std::int64_t value) {
    return text_codec::fromUtf8(std::to_string(value));
}

}  // namespace

CommonSettings CommonSettings::read(const std::filesystem::path& file) {
    const ProfileFile profile(file);
    CommonSettings settings;
    settings.path = profile.readString(kSection, u"path", u"");
    settings.showWelcome = profile.readString(kSection, u"showWelcome", u"1") == u"1";
    settings.language = static_cast<std::uint16_t>(profile.readInt(kSection, u"language", 0));
    // A code of no layout (a file edited by hand, or written by a later version) would write
    // no file at all: the default layout is taken instead.
    settings.outputFormat =
        outputFormatOf(profile.readInt(kSection, u"outputFormat",
                                       static_cast<std::int32_t>(OutputFormat::GoogleCsv)))
            .value_or(OutputFormat::GoogleCsv);
    settings.charset = profile.readInt(kSection, u"charset", 1);
    return settings;
}

bool CommonSettings::write(const std::filesystem::path& file) const {
    return ProfileFile(file).writeStrings(
        kSection, {
                      {u"showWelcome", showWelcome ? u"1" : u"0"},
                      {u"path", path},
                      {u"outputFormat", decimal(static_cast<std::int32_t>(outputFormat))},
                      {u"charset", decimal(charset)},
                      {u"language", decimal(language)},
                  });
}
