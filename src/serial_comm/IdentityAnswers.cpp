#include "serial_comm/IdentityAnswers.h"

#include "charsets/AsciiCase.h"
#include "charsets/CodePages.h"
#include "charsets/TextCodec.h"
#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtTokenizer.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/CGMMCommand.h"
#include "serial_comm/CGSNCommand.h"
#include "serial_comm/FinalResult.h"

namespace serial_comm {

namespace {

constexpr std::string_view kManufacturerName = "+CGMI";
constexpr std::string_view kModelKey = "MODEL=";
constexpr std::string_view kSerialKey = "IMEI";
constexpr std::string_view kCopyright = "COPYRIGHT";
constexpr std::string_view kRing = "RING";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Control bytes dropped, blanks trimmed and each run of them inside made one blank.
std::string tidied(std::string_view text) {
    std::string out;
    bool blank = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (isBlank(c)) {
            blank = !out.empty();
            continue;
        }
        if (byte < 0x20 || byte == 0x7F)
            continue;
        if (blank)
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

// Where key stands in text, letter case aside; npos when it does not.
std::size_t findIgnoringCase(std::string_view text, std::string_view key) {
    return ascii_case::upperCased(text).find(ascii_case::upperCased(key));
}

bool isUnsolicited(std::string_view line) {
    return line.starts_with('+') || line.starts_with('^') || line.starts_with('$') || line == kRing;
}

std::u16string ascii(std::string_view text) {
    return text_codec::decode(code_page::Ascii, tidied(text));
}

}  // namespace

std::string manufacturerCommand() {
    return makeCommand(kManufacturerName);
}

std::string identificationText(std::string_view answer, std::string_view command,
                               std::string_view name) {
    if (!finalResultOf(answer).succeeded())
        return {};
    std::string_view bare;
    bool haveBare = false;
    for (const std::string_view raw : splitLines(answer)) {
        const std::string tidy = tidied(raw);
        const std::string_view line = tidy;
        if (line.size() > name.size() && line.starts_with(name) &&
            line[name.size()] == at::kPrefixEnd)
            return tidied(raw.substr(raw.find(at::kPrefixEnd) + 1));
        if (haveBare || line.empty() || line == at::kResultOk || isUnsolicited(line) ||
            ascii_case::equalIgnoringCase(line, command))
            continue;
        bare = raw;
        haveBare = true;
    }
    return haveBare ? tidied(bare) : std::string();
}

std::u16string readManufacturer(std::string_view answer) {
    std::string text =
        unquote(identificationText(answer, manufacturerCommand(), kManufacturerName));
    const std::size_t notice = findIgnoringCase(text, kCopyright);
    if (notice != std::string::npos) {
        text.erase(notice);
        while (!text.empty() && (isBlank(text.back()) || text.back() == ','))
            text.pop_back();
    }
    return ascii(text);
}

std::u16string readModel(std::string_view answer) {
    const std::string text =
        identificationText(answer, CGMMCommand::actionCommand(), CGMMCommand::kName);
    const std::size_t key = findIgnoringCase(text, kModelKey);
    if (key != std::string::npos) {
        const std::size_t start = key + kModelKey.size();
        return ascii(
            std::string_view(text).substr(start, text.find_first_of("\",>", start) - start));
    }
    if (!text.starts_with('"'))
        return ascii(text);
    const std::vector<std::string> items = splitList(text);
    return items.size() == 1 ? ascii(unquote(items.front())) : std::u16string();
}

std::u16string readSerialNumber(std::string_view answer) {
    const std::string text = stripAngleBrackets(
        unquote(identificationText(answer, CGSNCommand::actionCommand(), CGSNCommand::kName)));
    std::string_view serial = text;
    if (serial.size() > kSerialKey.size() &&
        ascii_case::equalIgnoringCase(serial.substr(0, kSerialKey.size()), kSerialKey)) {
        serial.remove_prefix(kSerialKey.size());
        while (!serial.empty() && (isBlank(serial.front()) || serial.front() == ':'))
            serial.remove_prefix(1);
    }
    return ascii(serial);
}

std::u16string phoneName(std::u16string_view manufacturer, std::u16string_view model) {
    if (manufacturer.empty())
        return std::u16string(model);
    if (model.empty())
        return std::u16string(manufacturer);
    const bool named = model.size() >= manufacturer.size() &&
                       ascii_case::upperCased(model.substr(0, manufacturer.size())) ==
                           ascii_case::upperCased(manufacturer) &&
                       (model.size() == manufacturer.size() || model[manufacturer.size()] == u' ');
    if (named)
        return std::u16string(model);
    std::u16string name(manufacturer);
    name += u' ';
    name += model;
    return name;
}

}  // namespace serial_comm
