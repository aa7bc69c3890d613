#include "serial_comm/SimStatus.h"

#include <array>

#include "charsets/AsciiCase.h"
#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/CommandResponseSink.h"
#include "serial_comm/ResponseParser.h"

namespace serial_comm {

namespace {

constexpr std::string_view kName = "+CPIN";
constexpr std::array<std::string_view, 2> kWaitingCodes{"SIM PIN", "SIM PUK"};
constexpr std::array<std::string_view, 2> kWaitingErrors{"SIM PIN REQUIRED", "SIM PUK REQUIRED"};
constexpr int kPinRequired = 11;
constexpr int kPukRequired = 12;

// The "+CPIN:" line's code: the values of the line joined again, since the code holds a blank
// that the value separators cut.
class CpinSink final : public CommandResponseSink {
public:
    void beginLine(const std::string& /*prefix*/) override { code_.clear(); }
    void onValue(const std::string& value) override {
        if (value.empty())
            return;
        if (!code_.empty())
            code_ += ' ';
        code_ += unquote(value);
    }
    const std::string& code() const { return code_; }

private:
    std::string code_;
};

bool isOneOf(std::string_view text, const auto& candidates) {
    for (const std::string_view candidate : candidates) {
        if (ascii_case::equalIgnoringCase(text, candidate))
            return true;
    }
    return false;
}

}  // namespace

std::string simStatusCommand() {
    return makeCommand(kName, at::kQueryMark);
}

bool simWaitsForPin(std::string_view answer) {
    CpinSink sink;
    parseResponse(sink, answer, kName);
    return !finalResultOf(answer).failed() && isOneOf(sink.code(), kWaitingCodes);
}

bool asksForSimPin(const FinalResult& result) {
    if (result.kind != FinalResult::Kind::EquipmentError)
        return false;
    if (const auto code = result.code())
        return *code == kPinRequired || *code == kPukRequired;
    return isOneOf(result.detail, kWaitingErrors);
}

}  // namespace serial_comm
