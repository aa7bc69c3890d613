#include "serial_comm/FinalResult.h"

#include <algorithm>

#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtTokenizer.h"
#include "serial_comm/AtValues.h"

namespace serial_comm {

namespace {

FinalResult classify(std::string_view line) {
    FinalResult result;
    if (line == at::kResultOk) {
        result.kind = FinalResult::Kind::Ok;
    } else if (line == at::kResultError) {
        result.kind = FinalResult::Kind::Error;
    } else if (line == at::kResultNotSupported) {
        result.kind = FinalResult::Kind::NotSupported;
    } else if (line.starts_with(at::kEquipmentErrorPrefix)) {
        result.kind = FinalResult::Kind::EquipmentError;
        result.detail = trimBlanks(line.substr(at::kEquipmentErrorPrefix.size()));
    } else if (line.starts_with(at::kMessageErrorPrefix)) {
        result.kind = FinalResult::Kind::MessageError;
        result.detail = trimBlanks(line.substr(at::kMessageErrorPrefix.size()));
    }
    return result;
}

// Whether the line that starts at start is one of the error lines that end an answer.
bool startsErrorLine(std::string_view text, std::size_t start) {
    const std::string_view rest = text.substr(start);
    return rest.starts_with(at::kEquipmentErrorPrefix) ||
           rest.starts_with(at::kMessageErrorPrefix) ||
           (rest.starts_with(at::kResultNotSupported) &&
            rest.substr(at::kResultNotSupported.size()).starts_with(at::kLineTerminator));
}

}  // namespace

std::optional<int> FinalResult::code() const {
    if (kind != Kind::EquipmentError && kind != Kind::MessageError)
        return std::nullopt;
    if (detail.empty() || detail.size() > 9 ||
        !std::all_of(detail.begin(), detail.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(detail);
}

FinalResult finalResultOf(std::string_view answer) {
    for (const std::string_view line : splitLines(answer)) {
        FinalResult result = classify(line);
        if (result.kind != FinalResult::Kind::None)
            return result;
    }
    return {};
}

std::size_t endOfFinalResult(std::string_view text, std::size_t from) {
    std::size_t end = std::string_view::npos;
    if (from > text.size())
        return end;
    const std::size_t ok = text.find(at::kFinalOk, from);
    if (ok != std::string_view::npos)
        end = ok + at::kFinalOk.size();
    const std::size_t error = text.find(at::kFinalError, from);
    if (error != std::string_view::npos)
        end = std::min(end, error + at::kFinalError.size());
    // An error line starts after a line end that comes before any OK or ERROR found.
    for (std::size_t lineEnd = text.find(at::kLineTerminator, from);
         lineEnd != std::string_view::npos && lineEnd < end;
         lineEnd = text.find(at::kLineTerminator, lineEnd + 1)) {
        const std::size_t start = lineEnd + at::kLineTerminator.size();
        if (!startsErrorLine(text, start))
            continue;
        const std::size_t close = text.find(at::kLineTerminator, start);
        if (close == std::string_view::npos)
            break;  // the rest of the line is still to come
        if (close - start <= kMaxErrorLine) {
            end = std::min(end, close + at::kLineTerminator.size());
            break;
        }
    }
    return end;
}

}  // namespace serial_comm
