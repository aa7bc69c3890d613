#include "AnswerLines.h"

namespace fuzz_support {

std::vector<std::string_view> answerLines(std::string_view answer) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= answer.size(); ++i) {
        if (i == answer.size() || answer[i] == '\r' || answer[i] == '\n') {
            if (i > start)
                lines.push_back(answer.substr(start, i - start));
            start = i + 1;
        }
    }
    return lines;
}

bool lineNamed(std::string_view line, std::string_view name, std::string_view& rest) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || line.substr(0, colon) != name)
        return false;
    rest = line.substr(colon + 1);
    return true;
}

std::vector<std::string_view> nulSeparated(std::string_view input) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t nul = input.find('\0');
        parts.push_back(input.substr(0, nul));
        if (nul == std::string_view::npos)
            return parts;
        input.remove_prefix(nul + 1);
    }
}

}  // namespace fuzz_support
