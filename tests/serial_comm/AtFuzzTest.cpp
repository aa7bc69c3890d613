// Random and mutated phone answers through every function that reads phone bytes: the
// tokenizer, the answer parser, the value helpers and the charset converters. None may throw,
// crash or read out of bounds (the sanitizer build checks the latter), and each keeps the
// properties checked below.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "charsets/CodePages.h"
#include "charsets/ConverterFactory.h"
#include "charsets/MbsToUcsDefaultConverter.h"
#include "charsets/UcsToMbsConverter.h"
#include "serial_comm/AtTokenizer.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/CommandList.h"
#include "serial_comm/FinalResult.h"
#include "serial_comm/IdentityAnswers.h"
#include "serial_comm/IndexRange.h"
#include "serial_comm/ParseResponseSink.h"
#include "serial_comm/ResponseParser.h"
#include "serial_comm/SimStatus.h"

namespace {

constexpr std::uint64_t kSeed = 0x5EED'C0DE'2024ULL;
constexpr int kInputs = 100'000;

const std::vector<std::string> kRealisticAnswers = {
    "AT+CPBS?\r\r\n+CPBS: \"ME\",12,500\r\n\r\nOK\r\n",
    "AT+CPBS=?\r\r\n+CPBS: (\"ME\",\"SM\")\r\n\r\nOK\r\n",
    "\r\n+CPBR: (1-250),40,14\r\n\r\nOK\r\n",
    "\r\n+CPBR: 1,\"+4930123456\",145,\"0041006E006E0061\"\r\n+CPBR: 2,,129,\"\"\r\n\r\nOK\r\n",
    "\r\n+MPBRE: 3,\"Jos\xC3\xA9\",\"030123\",129,1,\"<a@b.c>\",\"19800101\"\r\n\r\nOK\r\n",
    "\r\n+CSCS: (\"UCS2\",\"UTF8\",\"ASCII\",\"GSM\")\r\n\r\nOK\r\n",
    "\r\n+CGMM: \"GSM900\",\"GSM1800\",\"MODEL=V3\"\r\n\r\nOK\r\n",
    "\r\n+CGSN: <356938035643809>\r\n\r\nOK\r\n",
    "AT+MODE=2\r\r\nOK\r\n\r\n+MODE: 2\r\n",
    "\r\n+CME ERROR: 10\r\n",
    "\r\nERROR\r\n",
    "AT+CLAC\r\r\nAT+CGMM\r\nAT+CGSN\r\nAT+CPBS\r\nAT+CSCS\r\nAT+MPBRE\r\n\r\nOK\r\n",
    "\r\n+MPGR: 1,\"D83DDE00\"\r\n\r\nOK\r\n",
    "AT+CPBR=21,30\r\r\n+CME ERROR: 22\r\n",
    "\r\n+CLAC:&C,E,+CGMM,+CPBS,+CPBR,+CSCS,^BOOT,\r\n\r\nOK\r\n",
    "AT+CGMI\r\r\n+CGMI: \"Kestrel Mobile, Copyright 2004\"\r\n\r\nOK\r\n",
    "\r\n  NL-200 \r\n\r\nOK\r\n",
    "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n",
    "\r\n+CREG: 1,2\r\n+CPBR: 1-250,40,16\r\n\r\nOK\r\n",
};

const std::vector<std::string> kNames = {"+CPBS", "+CPBR", "+MPBRE", "+CSCS",
                                         "+CGMM", "+CGSN", "+MPGR",  ""};

// Bytes that matter to the parsers come up more often than the rest.
const std::string kInteresting = "\"(),: <>\r\n\0-=+0123456789abcdefABCDEFOKERRz\xC3\xA9\xFF\x80";

class Fuzzer {
public:
    explicit Fuzzer(std::uint64_t seed) : random_(seed) {}

    std::size_t below(std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
    }

    char byte() {
        if (below(3) == 0)
            return static_cast<char>(below(256));
        return kInteresting[below(kInteresting.size())];
    }

    std::string randomBytes(std::size_t maxLength) {
        std::string text(below(maxLength + 1), '\0');
        for (char& c : text)
            c = byte();
        return text;
    }

    std::string mutated(std::string text) {
        const std::size_t edits = 1 + below(4);
        for (std::size_t i = 0; i < edits; ++i) {
            const std::size_t at = below(text.size() + 1);
            switch (below(5)) {
                case 0:
                    text.insert(at, 1, byte());
                    break;
                case 1:
                    if (at < text.size())
                        text.erase(at, 1 + below(4));
                    break;
                case 2:
                    if (at < text.size())
                        text[at] = byte();
                    break;
                case 3:
                    text.insert(at, text.substr(below(text.size() + 1), below(20)));
                    break;
                default:
                    text.resize(at);
                    break;
            }
        }
        return text;
    }

    // A single line of about 100 kB: realistic values, repeated, with random damage.
    std::string hugeLine() {
        std::string line = "+CPBR: ";
        while (line.size() < 100'000)
            line += mutated("1,\"+4930123456\",145,\"0041006E006E0061\",(1-250),");
        return line;
    }

    std::u16string randomWide(std::size_t maxLength) {
        std::u16string text(below(maxLength + 1), u'\0');
        for (char16_t& unit : text) {
            switch (below(4)) {
                case 0:
                    unit = static_cast<char16_t>(0xD800 + below(0x800));  // surrogates
                    break;
                case 1:
                    unit = static_cast<char16_t>(below(0x80));
                    break;
                default:
                    unit = static_cast<char16_t>(below(0x10000));
                    break;
            }
        }
        return text;
    }

    std::string next(int index) {
        if (index % 10'000 == 9'999)
            return hugeLine();
        if (below(2) == 0)
            return randomBytes(200);
        std::string text = kRealisticAnswers[below(kRealisticAnswers.size())];
        if (below(4) == 0)
            text += kRealisticAnswers[below(kRealisticAnswers.size())];
        return mutated(std::move(text));
    }

private:
    std::mt19937_64 random_;
};

bool inside(std::string_view part, std::string_view whole) {
    if (part.empty())
        return true;
    const char* begin = whole.data();
    return part.data() >= begin && part.data() + part.size() <= begin + whole.size();
}

bool isEnclosedPart(std::string_view result, std::string_view value) {
    return result == value || (value.size() >= 2 && result == value.substr(1, value.size() - 2)) ||
           (value.size() == 1 && result.empty());
}

// Checks that the calls come in the documented order and that values fit their line.
class OrderCheckingSink : public serial_comm::ParseResponseSink {
public:
    explicit OrderCheckingSink(std::string_view name, std::size_t answerSize)
        : name_(name), answerSize_(answerSize) {}

    void beginLine(const std::string& prefix) override {
        if (inLine_ || prefix != name_)
            ++faults;
        inLine_ = true;
    }
    void onValue(const std::string& value) override {
        if (!inLine_ || value.size() > answerSize_ || value.find_first_of("\r\n") != value.npos)
            ++faults;
        valueBytes_ += value.size();
        if (valueBytes_ > answerSize_)
            ++faults;
    }
    void endLine() override {
        if (!inLine_)
            ++faults;
        inLine_ = false;
    }
    void onResult(bool) override {
        if (inLine_)
            ++faults;
    }
    bool finished() const { return !inLine_; }

    int faults = 0;

private:
    std::string_view name_;
    std::size_t answerSize_;
    std::size_t valueBytes_ = 0;
    bool inLine_ = false;
};

struct Decoders {
    std::unique_ptr<IMbsToUcsConvertImpl> text;
    std::unique_ptr<IMbsToUcsConvertImpl> hex;
};

TEST(AtFuzz, ArbitraryAnswersNeverBreakTheParsersOrTheConverters) {
    Fuzzer fuzzer(kSeed);
    std::vector<Decoders> decoders;
    for (const std::uint32_t page :
         {code_page::Utf16, code_page::Utf8, code_page::Ascii, code_page::SystemDefault})
        decoders.push_back({makeTextConverter(page), makeHexTextConverter(page)});
    const MbsToUcsDefaultConverter utf16Bytes(code_page::Utf16);
    const MbsToUcsDefaultConverter unknownPage(437);
    const MbsToUcsDefaultConverter utf8(code_page::Utf8);
    const UcsToMbsConverter toUtf8(code_page::Utf8);
    const UcsToMbsConverter toAscii(code_page::Ascii);

    int faults = 0;
    const auto expect = [&](bool ok, const char* what, int index) {
        if (!ok && ++faults <= 10)
            ADD_FAILURE() << what << " failed for input " << index << " (seed " << kSeed << ")";
    };

    for (int index = 0; index < kInputs; ++index) {
        const std::string input = fuzzer.next(index);

        for (const std::string_view line : serial_comm::splitLines(input)) {
            expect(!line.empty() && inside(line, input) &&
                       line.find_first_of("\r\n") == std::string_view::npos,
                   "splitLines", index);
        }
        const auto values = serial_comm::splitValues(input, ", ", "\"()");
        expect(values.size() <= input.size(), "splitValues count", index);
        for (const std::string_view value : values)
            expect(inside(value, input), "splitValues bounds", index);

        OrderCheckingSink sink(kNames[static_cast<std::size_t>(index) % kNames.size()],
                               input.size());
        serial_comm::parseResponse(sink, input,
                                   kNames[static_cast<std::size_t>(index) % kNames.size()]);
        expect(sink.faults == 0 && sink.finished(), "parseResponse order", index);

        // The value helpers and decoders on a few values of the input and on the whole.
        std::vector<std::string_view> samples = {input};
        for (std::size_t i = 0; i < values.size() && i < 2; ++i)
            samples.push_back(values[i]);
        for (const std::string_view value : samples) {
            expect(isEnclosedPart(serial_comm::unquote(value), value), "unquote", index);
            expect(isEnclosedPart(serial_comm::stripParentheses(value), value), "parens", index);
            expect(isEnclosedPart(serial_comm::stripAngleBrackets(value), value), "angles", index);
            for (const std::string& item : serial_comm::splitList(value))
                expect(item.size() <= value.size(), "splitList", index);

            // The locale-dependent code page is slow to set up; it gets a share of the inputs.
            const Decoders& pair =
                decoders[index % 50 == 0 ? 3u : static_cast<std::size_t>(index % 3)];
            const std::u16string text = serial_comm::decodeText(value, *pair.text, *pair.hex);
            expect(text.size() <= value.size(), "decodeText length", index);
        }

        // The readers of other makers' answers: a result is one of the answer's own, and
        // identification texts come out without control characters.
        const serial_comm::FinalResult result = serial_comm::finalResultOf(input);
        expect(result.detail.size() <= input.size(), "finalResultOf", index);
        const std::size_t end = serial_comm::endOfFinalResult(input);
        expect(end == std::string::npos || end <= input.size(), "endOfFinalResult", index);
        if (const auto commands = serial_comm::readSupportedCommands(input))
            expect(result.succeeded() && !commands->empty(), "readSupportedCommands", index);
        for (const std::u16string& text :
             {serial_comm::readManufacturer(input), serial_comm::readModel(input),
              serial_comm::readSerialNumber(input)}) {
            expect(text.size() <= input.size(), "identification length", index);
            for (const char16_t unit : text)
                expect(unit >= 0x20 && unit != 0x7F, "identification controls", index);
        }
        serial_comm::IndexRange range;
        expect(serial_comm::readIndexRange(input, "+CPBR", range) ||
                   range == serial_comm::IndexRange{},
               "readIndexRange by name", index);
        serial_comm::simWaitsForPin(input);

        const std::string bytes(input);
        expect(utf16Bytes.convert(bytes).size() == bytes.size() / 2, "UTF-16LE", index);
        expect(unknownPage.convert(bytes).empty(), "unknown code page", index);

        // UTF-8 decoding gives well-formed text, which encodes back to the same text.
        const std::u16string wide = utf8.convert(bytes);
        expect(wide.size() <= bytes.size(), "UTF-8 length", index);
        expect(utf8.convert(toUtf8.convert(wide)) == wide, "UTF-8 round trip", index);

        // Encoders take any UTF-16, lone surrogates included.
        const std::u16string randomWide = fuzzer.randomWide(32);
        const std::string ascii = toAscii.convert(randomWide);
        expect(ascii.size() <= randomWide.size(), "ASCII length", index);
        for (const char c : ascii)
            expect(static_cast<unsigned char>(c) < 0x80, "ASCII range", index);
        expect(toUtf8.convert(randomWide).size() <= randomWide.size() * 3, "UTF-8 out", index);
    }
    EXPECT_EQ(faults, 0);
}

}  // namespace
