#include "serial_comm/IndexRange.h"

#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtTokenizer.h"
#include "serial_comm/AtValues.h"

namespace serial_comm {

IndexRange splitIndexRange(std::string_view text) {
    IndexRange range;
    const std::size_t dash = text.find('-');
    if (dash != std::string_view::npos && dash > 0) {
        range.first = atoi32(text.substr(0, dash));
        range.last = atoi32(text.substr(dash + 1));
    } else {
        range.last = atoi32(text);
    }
    return range;
}

std::string indexRangeCommand(std::string_view name) {
    return makeCommand(name, at::kQueryMark, at::kSetSeparator);
}

bool readIndexRange(std::string_view answer, IndexRange& range) {
    range = IndexRange{};
    const std::size_t colon = answer.find(at::kPrefixEnd);
    if (colon == std::string_view::npos)
        return false;
    std::size_t start = answer.find('(', colon);
    if (start == std::string_view::npos)
        start = colon + 1;
    const std::size_t comma = answer.find(',', start);
    if (comma == std::string_view::npos)
        return false;
    range = splitIndexRange(stripParentheses(answer.substr(start, comma - start)));
    return true;
}

bool readIndexRange(std::string_view answer, std::string_view name, IndexRange& range) {
    for (const std::string_view line : splitLines(answer)) {
        if (line.size() > name.size() && line.starts_with(name) &&
            line[name.size()] == at::kPrefixEnd)
            return readIndexRange(line, range);
    }
    return readIndexRange(answer, range);
}

}  // namespace serial_comm
