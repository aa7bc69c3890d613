#include "pages/OutputChoice.h"

#include "app/UiTextIds.h"
#include "charsets/AsciiCase.h"

namespace {

constexpr std::u16string_view kProposedStem = u"my_contacts.";

}  // namespace

const std::array<OutputChoice::Format, 3>& OutputChoice::formats() {
    static constexpr std::array<Format, 3> kFormats{{
        {OutputFormat::GoogleCsv, ui_text::GoogleCsvName},
        {OutputFormat::OutlookCsv, ui_text::OutlookCsvName},
        {OutputFormat::VCard, ui_text::VCardName},
    }};
    return kFormats;
}

std::size_t OutputChoice::positionOf(OutputFormat format) {
    for (std::size_t i = 0; i < formats().size(); ++i) {
        if (formats()[i].format == format) {
            return i;
        }
    }
    return 0;
}

std::u16string_view OutputChoice::extensionOf(OutputFormat format) {
    return format == OutputFormat::VCard ? u"vcf" : u"csv";
}

std::u16string OutputChoice::proposedFileName(OutputFormat format) {
    return std::u16string(kProposedStem) + std::u16string(extensionOf(format));
}

std::u16string OutputChoice::patternOf(OutputFormat format) {
    return u"*." + std::u16string(extensionOf(format));
}

std::u16string OutputChoice::fileNameFor(const std::u16string& fileName, OutputFormat format) {
    if (fileName.empty()) {
        return proposedFileName(format);
    }
    for (const Format& offered : formats()) {
        if (fileName == proposedFileName(offered.format)) {
            return proposedFileName(format);
        }
    }
    // A dot at the start begins a hidden file's name, not an extension.
    const std::size_t dot = fileName.rfind(u'.');
    if (dot == std::u16string::npos || dot == 0) {
        return fileName;
    }
    const std::u16string_view typed = std::u16string_view(fileName).substr(dot + 1);
    const std::u16string_view wanted = extensionOf(format);
    const std::u16string typedLower = ascii_case::lowerCased(typed);
    bool ofAnotherFormat = false;
    for (const Format& offered : formats()) {
        const std::u16string_view extension = extensionOf(offered.format);
        ofAnotherFormat = ofAnotherFormat || (extension != wanted && typedLower == extension);
    }
    if (!ofAnotherFormat) {
        return fileName;
    }
    const bool upper = ascii_case::upperCased(typed) == typed;
    return fileName.substr(0, dot + 1) +
           (upper ? ascii_case::upperCased(wanted) : std::u16string(wanted));
}
