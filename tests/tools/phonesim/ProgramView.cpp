#include "ProgramView.h"

#include "charsets/CharsetMap.h"
#include "charsets/CodePages.h"
#include "charsets/ConverterFactory.h"

namespace program_view {
namespace {

std::string unquote(const std::string& value) {
    if (!value.empty() && value.front() == '"' && value.back() == '"') {
        return value.size() == 1 ? std::string() : value.substr(1, value.size() - 2);
    }
    return value;
}

std::uint32_t codePageOf(const std::u16string& charset) {
    return AvailableMbsToUcsCharsets::instance().codePageOf(charset);
}

}  // namespace

std::vector<std::string> lines(const std::string& answer) {
    std::vector<std::string> result;
    std::string current;
    for (const char c : answer) {
        if (c == '\r' || c == '\n') {
            if (!current.empty()) {
                result.push_back(current);
            }
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) {
        result.push_back(current);
    }
    return result;
}

std::vector<std::string> linesOf(const std::string& answer, const std::string& name) {
    std::vector<std::string> result;
    for (const std::string& line : lines(answer)) {
        const auto colon = line.find(':');
        if (colon != std::string::npos && line.substr(0, colon) == name) {
            result.push_back(line);
        }
    }
    return result;
}

std::vector<std::string> values(const std::string& line) {
    const auto colon = line.find(':');
    const std::string text = colon == std::string::npos ? line : line.substr(colon + 1);
    std::vector<std::string> result;
    bool afterSeparator = false;
    std::size_t i = 0;
    while (i < text.size()) {
        bool atStart = true;
        bool quoted = false;
        std::string value;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '"' || c == '(' || c == ')') {
                quoted = !quoted;
            }
            if (!quoted && (c == ',' || c == ' ')) {
                if (atStart) {
                    ++i;
                }
                break;
            }
            value.push_back(c);
            atStart = false;
        }
        if (atStart) {
            if (afterSeparator) {
                result.emplace_back();
            }
            afterSeparator = true;
        } else {
            result.push_back(value);
            afterSeparator = false;
        }
    }
    return result;
}

std::u16string decodeText(const std::string& value, const std::u16string& charset) {
    if (!value.empty() && value.front() == '"') {
        return makeTextConverter(codePageOf(charset))->convert(unquote(value));
    }
    return makeHexTextConverter(codePageOf(charset))->convert(value);
}

std::u16string decodePlain(const std::string& value) {
    return makeTextConverter(code_page::Ascii)->convert(unquote(value));
}

std::u16string decodeExtendedNumber(const std::string& value, const std::u16string& charset) {
    if (codePageOf(charset) == code_page::Utf16) {
        if (!value.empty() && value.front() == '"') {
            return decodePlain(value);
        }
        return makeHexTextConverter(code_page::Utf16)->convert(value);
    }
    return decodeText(value, charset);
}

}  // namespace program_view
