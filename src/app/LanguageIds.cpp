#include "app/LanguageIds.h"

#include <array>
#include <cctype>

namespace language_ids {
namespace {

struct Entry {
    std::string_view locale;
    std::uint16_t id;
};

// The first entry of each language is its main locale, the one a bare language code means.
constexpr std::array kTable{
    Entry{"en_US", 0x0409}, Entry{"en_GB", 0x0809}, Entry{"en_AU", 0x0C09}, Entry{"en_CA", 0x1009},
    Entry{"en_NZ", 0x1409}, Entry{"en_IE", 0x1809}, Entry{"en_ZA", 0x1C09}, Entry{"en_IN", 0x4009},
    Entry{"de_DE", 0x0407}, Entry{"de_CH", 0x0807}, Entry{"de_AT", 0x0C07}, Entry{"de_LU", 0x1007},
    Entry{"de_LI", 0x1407}, Entry{"fr_FR", 0x040C}, Entry{"fr_BE", 0x080C}, Entry{"fr_CA", 0x0C0C},
    Entry{"fr_CH", 0x100C}, Entry{"fr_LU", 0x140C}, Entry{"es_ES", 0x0C0A}, Entry{"es_MX", 0x080A},
    Entry{"es_AR", 0x2C0A}, Entry{"es_CO", 0x240A}, Entry{"es_CL", 0x340A}, Entry{"es_US", 0x540A},
    Entry{"ru_RU", 0x0419}, Entry{"uk_UA", 0x0422}, Entry{"be_BY", 0x0423}, Entry{"it_IT", 0x0410},
    Entry{"it_CH", 0x0810}, Entry{"pt_PT", 0x0816}, Entry{"pt_BR", 0x0416}, Entry{"nl_NL", 0x0413},
    Entry{"nl_BE", 0x0813}, Entry{"pl_PL", 0x0415}, Entry{"cs_CZ", 0x0405}, Entry{"sk_SK", 0x041B},
    Entry{"hu_HU", 0x040E}, Entry{"ro_RO", 0x0418}, Entry{"bg_BG", 0x0402}, Entry{"hr_HR", 0x041A},
    Entry{"sl_SI", 0x0424}, Entry{"et_EE", 0x0425}, Entry{"lv_LV", 0x0426}, Entry{"lt_LT", 0x0427},
    Entry{"fi_FI", 0x040B}, Entry{"sv_SE", 0x041D}, Entry{"sv_FI", 0x081D}, Entry{"da_DK", 0x0406},
    Entry{"nb_NO", 0x0414}, Entry{"nn_NO", 0x0814}, Entry{"is_IS", 0x040F}, Entry{"el_GR", 0x0408},
    Entry{"tr_TR", 0x041F}, Entry{"he_IL", 0x040D}, Entry{"ar_SA", 0x0401}, Entry{"ar_EG", 0x0C01},
    Entry{"fa_IR", 0x0429}, Entry{"hi_IN", 0x0439}, Entry{"th_TH", 0x041E}, Entry{"vi_VN", 0x042A},
    Entry{"id_ID", 0x0421}, Entry{"ms_MY", 0x043E}, Entry{"ja_JP", 0x0411}, Entry{"ko_KR", 0x0412},
    Entry{"zh_CN", 0x0804}, Entry{"zh_TW", 0x0404}, Entry{"zh_HK", 0x0C04}, Entry{"zh_SG", 0x1004},
    Entry{"ca_ES", 0x0403}, Entry{"eu_ES", 0x042D}, Entry{"gl_ES", 0x0456}, Entry{"ka_GE", 0x0437},
    Entry{"hy_AM", 0x042B}, Entry{"kk_KZ", 0x043F},
};

std::string normalised(std::string_view language, std::string_view territory) {
    std::string name;
    for (const char c : language) {
        name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    if (!territory.empty()) {
        name.push_back('_');
        for (const char c : territory) {
            name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        }
    }
    return name;
}

}  // namespace

std::uint16_t fromLocaleName(std::string_view name) {
    // language[_territory][.codeset][@modifier], or language-territory.
    const std::size_t end = name.find_first_of(".@");
    if (end != std::string_view::npos) {
        name = name.substr(0, end);
    }
    const std::size_t separator = name.find_first_of("_-");
    const std::string_view language = name.substr(0, separator);
    const std::string_view territory =
        separator == std::string_view::npos ? std::string_view{} : name.substr(separator + 1);
    if (language.empty()) {
        return 0;
    }
    const std::string wanted = normalised(language, territory);
    for (const Entry& entry : kTable) {
        const bool matches = territory.empty()
                                 ? entry.locale.substr(0, entry.locale.find('_')) == wanted
                                 : entry.locale == wanted;
        if (matches) {
            return entry.id;
        }
    }
    return 0;
}

std::string localeName(std::uint16_t id) {
    for (const Entry& entry : kTable) {
        if (entry.id == id) {
            return std::string(entry.locale);
        }
    }
    return {};
}

}  // namespace language_ids
