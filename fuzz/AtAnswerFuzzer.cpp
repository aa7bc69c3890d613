// Phone answers through the answer parser and every query command's parser. For any bytes:
// nothing throws or crashes; the parser's calls nest (a line's values between its beginLine and
// endLine, results outside), name only lines with the asked prefix and report exactly the
// answer's "OK" and "ERROR" lines; every command's success flag follows the last of those; the
// command list holds the lines before the first "OK"; what the parsers keep comes from the answer.
// The readers of other makers' answers too: the final result is one of the answer's lines, and
// a search of the text as it grows finds where it ends as a search of the whole text does; the
// identification texts are tidy; the range of a named line equals the plain one without it.
//
// Input: the whole answer, as the modem collected it (echo, blank lines and result included).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "AnswerLines.h"
#include "FuzzCheck.h"
#include "charsets/AsciiCase.h"
#include "charsets/TextCodec.h"
#include "charsets/UCSHexEncoder.h"
#include "serial_comm/CGMMCommand.h"
#include "serial_comm/CGSNCommand.h"
#include "serial_comm/CPBSCommand.h"
#include "serial_comm/CSCSCommand.h"
#include "serial_comm/CommandList.h"
#include "serial_comm/FinalResult.h"
#include "serial_comm/IdentityAnswers.h"
#include "serial_comm/IndexRange.h"
#include "serial_comm/MODECommand.h"
#include "serial_comm/MPBRESupportedRangeCommand.h"
#include "serial_comm/ParseResponseSink.h"
#include "serial_comm/ResponseParser.h"
#include "serial_comm/SimStatus.h"
#include "serial_comm/StorageTable.h"

namespace {

using fuzz_support::check;
using fuzz_support::printable;

// The result lines of the answer in order: true for "ERROR", false for "OK".
std::vector<bool> resultsOf(const std::vector<std::string_view>& lines) {
    std::vector<bool> results;
    for (const std::string_view line : lines) {
        if (line == "OK")
            results.push_back(false);
        else if (line == "ERROR")
            results.push_back(true);
    }
    return results;
}

// The lines whose text before the first ':' is exactly name.
std::size_t linesNamed(const std::vector<std::string_view>& lines, std::string_view name) {
    return static_cast<std::size_t>(
        std::count_if(lines.begin(), lines.end(), [name](std::string_view line) {
            const std::size_t colon = line.find(':');
            return colon != std::string_view::npos && line.substr(0, colon) == name;
        }));
}

// Checks how the parser calls its sink.
class CheckingSink final : public serial_comm::ParseResponseSink {
public:
    CheckingSink(std::string_view answer, std::string_view name) : answer_(answer), name_(name) {}

    void beginLine(const std::string& prefix) override {
        FUZZ_CHECK(!inLine_, "beginLine inside a line", printable(answer_));
        FUZZ_CHECK(prefix == name_, "a line of another prefix", printable(prefix));
        inLine_ = true;
        ++lines;
    }
    void onValue(const std::string& value) override {
        FUZZ_CHECK(inLine_, "a value outside a line", printable(answer_));
        FUZZ_CHECK(value.find_first_of("\r\n") == std::string::npos, "a value holds a line end",
                   printable(value));
        FUZZ_CHECK(answer_.find(value) != std::string_view::npos,
                   "a value that is not in the answer", printable(value));
    }
    void endLine() override {
        FUZZ_CHECK(inLine_, "endLine outside a line", printable(answer_));
        inLine_ = false;
    }
    void onResult(bool failed) override {
        FUZZ_CHECK(!inLine_, "a result inside a line", printable(answer_));
        results.push_back(failed);
    }

    void finish() const { FUZZ_CHECK(!inLine_, "a line never ended", printable(answer_)); }

    std::size_t lines = 0;
    std::vector<bool> results;

private:
    std::string_view answer_;
    std::string_view name_;
    bool inLine_ = false;
};

bool succeededBy(const std::vector<bool>& results) {
    return !results.empty() && !results.back();
}

bool inAnswer(std::string_view answer, std::string_view part) {
    return answer.find(part) != std::string_view::npos;
}

// Text read as ASCII by a parser: every unit below 0x80 or the replacement character, and the
// ASCII units in the answer.
void checkAsciiText(std::string_view answer, const std::u16string& text, const char* what) {
    std::string ascii;
    for (const char16_t unit : text) {
        FUZZ_CHECK(unit < 0x80 || unit == 0xFFFD, what, printable(text));
        ascii += unit < 0x80 ? static_cast<char>(unit) : '\x80';
    }
    // Each run of ASCII bytes of the text comes from the answer.
    std::size_t start = 0;
    while (start < ascii.size()) {
        std::size_t end = ascii.find('\x80', start);
        if (end == std::string::npos)
            end = ascii.size();
        FUZZ_CHECK(inAnswer(answer, std::string_view(ascii).substr(start, end - start)), what,
                   printable(text));
        start = end + 1;
    }
}

void checkParser(std::string_view answer, const std::vector<std::string_view>& lines,
                 std::string_view name) {
    CheckingSink sink(answer, name);
    serial_comm::parseResponse(sink, answer, name);
    sink.finish();
    FUZZ_CHECK(sink.results == resultsOf(lines), "the results are not the answer's result lines",
               printable(answer));
    FUZZ_CHECK(sink.lines == linesNamed(lines, name), "not every line of the name was reported",
               std::string(name) + " in " + printable(answer));
}

void checkCommands(std::string_view answer, const std::vector<std::string_view>& lines) {
    const bool succeeded = succeededBy(resultsOf(lines));

    serial_comm::CPBSCommand storages;
    storages.parse(answer);
    check(storages.succeeded() == succeeded, "CPBS success differs from the last result");
    for (const std::string& item : storages.items())
        FUZZ_CHECK(inAnswer(answer, item), "a CPBS item not in the answer", printable(item));
    const serial_comm::StorageFill fill = serial_comm::storageFill(storages.items());
    check(storages.items().size() >= 3 || (fill.used == 0 && fill.total == 0 && fill.name.empty()),
          "a fill from fewer than three items");
    const std::vector<StorageKind> kinds = serial_comm::storageKindsOf(storages.items());
    check(kinds.size() <= storages.items().size(), "more storage kinds than names");

    serial_comm::CSCSCommand charsets;
    charsets.parse(answer);
    check(charsets.succeeded() == succeeded, "CSCS success differs from the last result");
    // Names listed in the UCS2 form stand in the answer as their hex digits.
    const std::string upperAnswer = ascii_case::upperCased(answer);
    for (const std::u16string& charset : charsets.charsets()) {
        if (charsets.listedInHex()) {
            FUZZ_CHECK(inAnswer(upperAnswer, UCSHexEncoder().convert(charset)),
                       "a charset name listed in hex not in the answer", printable(charset));
        } else {
            checkAsciiText(answer, charset, "a charset name not read as ASCII from the answer");
        }
    }

    serial_comm::CGMMCommand model;
    model.parse(answer);
    check(model.succeeded() == succeeded, "CGMM success differs from the last result");
    checkAsciiText(answer, model.model(), "a model not read as ASCII from the answer");
    check(model.model().empty() || inAnswer(answer, "MODEL="), "a model without MODEL=");

    serial_comm::CGSNCommand serial;
    serial.parse(answer);
    check(serial.succeeded() == succeeded, "CGSN success differs from the last result");
    checkAsciiText(answer, serial.serialNumber(), "a serial number not read from the answer");

    serial_comm::MODECommand mode;
    mode.parse(answer);
    check(mode.succeeded() == succeeded, "MODE success differs from the last result");
    FUZZ_CHECK(inAnswer(answer, mode.mode()), "a mode not in the answer", printable(mode.mode()));

    serial_comm::MPBRESupportedRangeCommand extendedRange;
    extendedRange.parse(answer);
    check(extendedRange.succeeded() == succeeded, "MPBRE success differs from the last result");
    check(!extendedRange.found() || linesNamed(lines, "+MPBRE") > 0,
          "an MPBRE range without an MPBRE line");

    serial_comm::IndexRange range;
    const bool found = serial_comm::readIndexRange(answer, range);
    check(found || range == serial_comm::IndexRange{}, "a range that was not found is not 0-0");
    check(!found || inAnswer(answer, ":"), "a range found without a ':'");

    std::vector<std::string> commands;
    const bool listed = serial_comm::readCommandList(answer, commands);
    const auto ok = std::find(lines.begin(), lines.end(), "OK");
    check(listed == (ok != lines.end()), "the command list ends without its OK line");
    FUZZ_CHECK(std::equal(commands.begin(), commands.end(), lines.begin(), ok),
               "the command list is not the lines before OK", printable(answer));
}

// What a line of the answer says as a final result, by the rules FinalResult.h gives.
bool isResultLine(std::string_view line) {
    return line == "OK" || line == "ERROR" || line == "COMMAND NOT SUPPORT" ||
           line.starts_with("+CME ERROR:") || line.starts_with("+CMS ERROR:");
}

void checkTidy(const std::u16string& text, const char* what) {
    FUZZ_CHECK(text.empty() || (text.front() != u' ' && text.back() != u' '), what,
               printable(text));
    FUZZ_CHECK(text.find(u"  ") == std::u16string::npos, what, printable(text));
    for (const char16_t unit : text)
        FUZZ_CHECK(unit >= 0x20 && unit != 0x7F && (unit < 0x80 || unit == 0xFFFD), what,
                   printable(text));
}

void checkOtherMakersReaders(std::string_view answer, const std::vector<std::string_view>& lines) {
    using serial_comm::FinalResult;
    const FinalResult result = serial_comm::finalResultOf(answer);
    const auto first = std::find_if(lines.begin(), lines.end(), isResultLine);
    check((result.kind == FinalResult::Kind::None) == (first == lines.end()),
          "a final result that is no result line of the answer");
    FUZZ_CHECK(inAnswer(answer, result.detail), "an error detail not in the answer",
               printable(result.detail));
    check(!result.code() || *result.code() >= 0, "a negative error number");
    check(!serial_comm::asksForSimPin(result) || result.kind == FinalResult::Kind::EquipmentError,
          "a PIN request that is no equipment error");

    // Reading an answer searches only what came since the last search, and the overlap before
    // it: for every length at which the text held no final result yet, that search finds the
    // same end as a search of the whole text.
    const std::size_t whole = serial_comm::endOfFinalResult(answer);
    FUZZ_CHECK(whole == std::string_view::npos ||
                   (whole <= answer.size() && answer.substr(0, whole).ends_with("\r\n")),
               "a final result that does not end a line", printable(answer));
    if (answer.size() <= 4096) {
        const std::size_t step = std::max<std::size_t>(1, answer.size() / 64);
        for (std::size_t length = 0; length <= answer.size(); length += step) {
            if (serial_comm::endOfFinalResult(answer.substr(0, length)) != std::string_view::npos)
                break;
            const std::size_t from = length - std::min(length, serial_comm::kFinalSearchOverlap);
            FUZZ_CHECK(serial_comm::endOfFinalResult(answer, from) == whole,
                       "a search from the overlap missed the final result", printable(answer));
        }
    }

    if (const auto commands = serial_comm::readSupportedCommands(answer)) {
        check(result.succeeded(), "a command list from an answer that did not end in OK");
        check(!commands->empty(), "an empty command list");
        for (const std::string& name : *commands) {
            FUZZ_CHECK(!name.empty() && name.find_first_of("\r\n,") == std::string::npos &&
                           name == ascii_case::upperCased(name),
                       "a command name that is not one upper-case name", printable(name));
        }
    }

    const std::u16string maker = serial_comm::readManufacturer(answer);
    const std::u16string model = serial_comm::readModel(answer);
    const std::u16string serialNumber = serial_comm::readSerialNumber(answer);
    checkTidy(maker, "an untidy manufacturer");
    checkTidy(model, "an untidy model");
    checkTidy(serialNumber, "an untidy serial number");
    check(result.succeeded() || (maker.empty() && model.empty() && serialNumber.empty()),
          "an identification from an answer that did not end in OK");
    checkTidy(serial_comm::phoneName(maker, model), "an untidy phone name");
    check(!serial_comm::simWaitsForPin(answer) || inAnswer(answer, "+CPIN"),
          "a locked SIM without a +CPIN line");

    serial_comm::IndexRange named;
    const bool foundNamed = serial_comm::readIndexRange(answer, "+CPBR", named);
    check(foundNamed || named == serial_comm::IndexRange{}, "a named range not found is not 0-0");
    if (linesNamed(lines, "+CPBR") == 0) {
        serial_comm::IndexRange plain;
        const bool foundPlain = serial_comm::readIndexRange(answer, plain);
        check(foundPlain == foundNamed && plain == named,
              "without a +CPBR line the named range differs from the plain one");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> lines = fuzz_support::answerLines(answer);
    for (const std::string_view name : {"+CPBS", "+CPBR", "+MPBRE", "+MPGR", "+CSCS", "+CGMM",
                                        "+CGSN", "+MODE", "+CME ERROR", ""})
        checkParser(answer, lines, name);
    checkCommands(answer, lines);
    checkOtherMakersReaders(answer, lines);
    return 0;
}
