// What phones and modems of other makers answer, in the shapes they send it: final results,
// ranges, command lists, identification and the SIM's state, each read by a pure function.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "serial_comm/CommandList.h"
#include "serial_comm/FinalResult.h"
#include "serial_comm/IdentityAnswers.h"
#include "serial_comm/IndexRange.h"
#include "serial_comm/SimStatus.h"

namespace {

using namespace serial_comm;
using Kind = FinalResult::Kind;
using Strings = std::vector<std::string>;
constexpr auto npos = std::string_view::npos;

TEST(FinalResultTest, NamesTheResultThatEndsEachRealLookingAnswer) {
    struct Case {
        const char* answer;
        Kind kind;
        std::string detail;
        std::optional<int> code;
    };
    const Case cases[] = {
        {"AT+CPBR=11,20\r\r\n+CME ERROR: 22\r\n", Kind::EquipmentError, "22", 22},
        {"\r\n+CME ERROR: 21\r\n", Kind::EquipmentError, "21", 21},
        {"\r\n+CME ERROR: SIM PIN required\r\n", Kind::EquipmentError, "SIM PIN required", {}},
        {"\r\n+CME ERROR:10\r\n", Kind::EquipmentError, "10", 10},
        {"\r\n+CMS ERROR: 500\r\n", Kind::MessageError, "500", 500},
        {"AT+CPROT=?\r\r\nCOMMAND NOT SUPPORT\r\n", Kind::NotSupported, "", {}},
        // Entries first, then the error instead of OK: the first result line decides.
        {"\r\n+CPBR: 9,\"0301\",129,\"Kim\"\r\n+CME ERROR: invalid index\r\n",
         Kind::EquipmentError,
         "invalid index",
         {}},
        {"AT+CPBR=1,10\r\r\n\r\nOK\r\n", Kind::Ok, "", {}},
        {"\r\nERROR\r\n\r\nOK\r\n", Kind::Error, "", {}},
        {"\r\n+CME ERROR: \r\n", Kind::EquipmentError, "", {}},
        {"\r\n+CPBR: 1,\"5\",129,\"OK\"\r\nOK \r\n", Kind::None, "", {}},
        {"\r\n+CPIN: READY\r\n", Kind::None, "", {}},
        {"", Kind::None, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const FinalResult result = finalResultOf(c.answer);
        EXPECT_EQ(result.kind, c.kind);
        EXPECT_EQ(result.detail, c.detail);
        EXPECT_EQ(result.code(), c.code);
        EXPECT_EQ(result.failed(), c.kind != Kind::None && c.kind != Kind::Ok);
    }
}

TEST(FinalResultTest, ReadingEndsWhereTheFirstWholeResultLineEnds) {
    const std::string longError = "\r\n+CME ERROR: " + std::string(300, 'x') + "\r\n";
    std::string entries;
    for (int i = 1; i <= 20; ++i)
        entries += "\r\n+CPBR: " + std::to_string(i) + ",\"0301234\",129,\"Name\"";
    struct Case {
        std::string text;
        std::size_t from;
        std::size_t end;
    };
    const Case cases[] = {
        {"\r\n+CME ERROR: 22\r\n", 0, 18},
        {"AT+CPBR=1,10\r\r\n+CMS ERROR: 321\r\nRING", 0, 32},
        {"\r\nCOMMAND NOT SUPPORT\r\n", 0, 23},
        {"\r\n+CPBR: 1,\"1\",129,\"A\"\r\n\r\nOK\r\n", 0, 30},
        // A line still coming, a near miss, and a line too long to be a result: not yet.
        {"\r\n+CME ERROR: 2", 0, npos},
        {"\r\nCOMMAND NOT SUPPORTED\r\n", 0, npos},
        {"+CME ERROR: 22\r\n", 0, npos},
        {longError, 0, npos},
        // The error line comes first, or the OK does.
        {"\r\n+CME ERROR: 3\r\n\r\nOK\r\n", 0, 17},
        {"\r\nOK\r\n\r\n+CME ERROR: 3\r\n", 0, 6},
        // A reader that searches only the overlap before the new bytes finds the line too.
        {entries + "\r\n+CME ERROR: SIM PIN required\r\n",
         entries.size() + 32 - kFinalSearchOverlap, entries.size() + 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(endOfFinalResult(c.text, c.from), c.end);
    }
}

TEST(IndexRangeReaderTest, ReadsTheRangeShapesOfEveryMaker) {
    struct Case {
        const char* answer;
        bool found;
        IndexRange range;
    };
    const Case cases[] = {
        {"AT+CPBR=?\r\r\n+CPBR: (501-750),40,15\r\n\r\nOK\r\n", true, {501, 750}},
        {"\r\n+CPBR: (1-1),40,20\r\n\r\nOK\r\n", true, {1, 1}},
        {"\r\n+CPBR: (1-200),80,14,20,80,128\r\n\r\nOK\r\n", true, {1, 200}},
        {"\r\n+CPBR: (1-250),50,14,,,,40,20\r\n\r\nOK\r\n", true, {1, 250}},
        {"\r\n+CPBR: 1-250,40,16\r\n\r\nOK\r\n", true, {1, 250}},
        {"\r\n+CPBR:(1-100),20,17\r\n\r\nOK\r\n", true, {1, 100}},
        // Unsolicited codes before the range line are not taken for it.
        {"\r\n+CREG: 1,2\r\nAT+CPBR=?\r\r\n+CPBR: 1-250,40,16\r\n\r\nOK\r\n", true, {1, 250}},
        {"\r\n^RSSI:14\r\n\r\n+CPBR: (10-90),24,20\r\n\r\nOK\r\n", true, {10, 90}},
        {"\r\n+CPBR: (1-500)\r\n+CREG: 1,2\r\n\r\nOK\r\n", false, {0, 0}},
        // Without a line of the command's own the answer is read from its first ':'.
        {"\r\n+XYZ: (3-9),1\r\n", true, {3, 9}},
        {"AT+CPBR=?\r\r\nERROR\r\n", false, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        IndexRange range{77, 88};
        EXPECT_EQ(readIndexRange(c.answer, "+CPBR", range), c.found);
        EXPECT_EQ(range, c.range);
    }
}

TEST(SupportedCommandsTest, ReadsTheListInEveryLayout) {
    struct Case {
        const char* answer;
        std::optional<Strings> commands;
        bool standardRead;
    };
    const Case cases[] = {
        {"AT+CLAC\r\r\n+CLAC:&C,&D,E,+CGMM,+CSCS,+CPBS,+CPBR,+CPBW,^BOOT,\r\n\r\nOK\r\n",
         Strings{"&C", "&D", "E", "+CGMM", "+CSCS", "+CPBS", "+CPBR", "+CPBW", "^BOOT"}, true},
        {"AT+CLAC\r\r\n&C\r\r\nE\r\r\n+CPBR\r\r\n+CSCS\r\r\n\r\nOK\r\n",
         Strings{"&C", "E", "+CPBR", "+CSCS"}, true},
        {"\r\nAT+CGMM\r\nATI\r\nat+cpbr\r\n\r\nOK\r\n", Strings{"+CGMM", "I", "+CPBR"}, true},
        // A list without the read command: this phone's phonebook cannot be read.
        {"\r\n+CLAC: +CGMI,+CGMM,+ZCPBR,^CPBR\r\n\r\nOK\r\n",
         Strings{"+CGMI", "+CGMM", "+ZCPBR", "^CPBR"}, false},
        // Lines after the OK are no longer the list.
        {"\r\n+CGMM\r\n\r\nOK\r\n\r\n+CPBR\r\n", Strings{"+CGMM"}, false},
        // No list at all: the phone did not tell.
        {"AT+CLAC\r\r\nERROR\r\n", std::nullopt, false},
        {"\r\n+CME ERROR: 4\r\n", std::nullopt, false},
        {"AT+CLAC\r\r\n\r\nOK\r\n", std::nullopt, false},
        {"\r\n+CPBR\r\n", std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const auto commands = readSupportedCommands(c.answer);
        EXPECT_EQ(commands, c.commands);
        EXPECT_EQ(commands && listsCommand(*commands, "+cpbr"), c.standardRead);
    }
}

TEST(IdentityAnswersTest, ReadsMakerModelAndSerialInTheShapesPhonesSend) {
    using Reader = std::u16string (*)(std::string_view);
    const Reader maker = readManufacturer;
    const Reader model = readModel;
    const Reader serial = readSerialNumber;
    struct Case {
        Reader read;
        const char* answer;
        std::u16string value;
    };
    const Case cases[] = {
        {maker, "AT+CGMI\r\r\nNordlicht\r\n\r\nOK\r\n", u"Nordlicht"},
        {maker, "\r\n+CGMI: \"Kestrel Mobile, Copyright 2004\"\r\n\r\nOK\r\n", u"Kestrel Mobile"},
        {maker, "\r\n  BRIGHTWAVE   MODEM \r\n\r\nOK\r\n", u"BRIGHTWAVE MODEM"},
        {maker, "\r\n+CREG: 1\r\nRING\r\nAT+CGMI\r\r\nlumo\r\nOK\r\n", u"lumo"},
        {maker, "\r\nM\xC3\xBCller\r\n\r\nOK\r\n", u"M\uFFFD\uFFFDller"},
        {maker, "AT+CGMI\r\r\nERROR\r\n", u""},
        {maker, "\r\nNordlicht\r\n", u""},
        {model, "AT+CGMM\r\r\n+CGMM: \"GSM900\",\"GSM1800\",\"MODEL=K7\"\r\n\r\nOK\r\n", u"K7"},
        {model, "\r\n+CGMM: \"GSM900\",\"GSM1800\",\"WCDMA\",\"model=Q 10\"\r\n\r\nOK\r\n",
         u"Q 10"},
        {model, "AT+CGMM\r\r\nNL-200\r\n\r\nOK\r\n", u"NL-200"},
        {model, "\r\n MULTIBAND  900E  1800 \r\n\r\nOK\r\n", u"MULTIBAND 900E 1800"},
        {model, "\r\nKST-4402817-BV\r\n\r\nOK\r\n", u"KST-4402817-BV"},
        {model, "\r\n+CGMM: \"Lumo 5\"\r\n\r\nOK\r\n", u"Lumo 5"},
        {model, "\r\n+CGMM: Lumo 5\r\n\r\nOK\r\n", u"Lumo 5"},
        {model, "\r\n^RSSI:20\r\n\r\n140\r\n\r\nOK\r\n", u"140"},
        // A list of bands alone names no model.
        {model, "\r\n+CGMM: \"GSM900\",\"GSM1800\"\r\n\r\nOK\r\n", u""},
        {model, "\r\n+CME ERROR: 4\r\n", u""},
        {serial, "\r\n+CGSN: IMEI356789012345671\r\n\r\nOK\r\n", u"356789012345671"},
        {serial, "\r\n+CGSN: \"IMEI: 356789012345689\"\r\n\r\nOK\r\n", u"356789012345689"},
        {serial, "AT+CGSN\r\r\n356789012345697\r\n\r\nOK\r\n", u"356789012345697"},
        {serial, "\r\n+CGSN: <356789012345705>\r\n\r\nOK\r\n", u"356789012345705"},
        {serial, "\r\n 00460102030405 \r\n\r\nOK\r\n", u"00460102030405"},
        {serial, "AT+CGSN\r\r\nERROR\r\n", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        EXPECT_EQ(c.read(c.answer), c.value);
    }
}

TEST(IdentityAnswersTest, ThePhoneIsNamedByMakerAndModelOnce) {
    EXPECT_EQ(phoneName(u"Nordlicht", u"NL-200"), u"Nordlicht NL-200");
    EXPECT_EQ(phoneName(u"Lumo", u"Lumo 5"), u"Lumo 5");
    EXPECT_EQ(phoneName(u"lumo", u"LUMO"), u"LUMO");
    EXPECT_EQ(phoneName(u"Lumo", u"Lumosity 2"), u"Lumo Lumosity 2");
    EXPECT_EQ(phoneName(u"", u"Z3"), u"Z3");
    EXPECT_EQ(phoneName(u"Nordlicht", u""), u"Nordlicht");
}

TEST(SimStatusTest, TellsASimWaitingForItsPinFromEverythingElse) {
    struct Case {
        const char* answer;
        bool waits;
    };
    const Case cases[] = {
        {"AT+CPIN?\r\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n", true},
        {"\r\n+CPIN: \"SIM PUK\"\r\n\r\nOK\r\n", true},
        {"\r\n+CPIN: SIM PIN\r\n", true},  // some modems send no OK after it
        {"\r\n+CPIN: READY\r\n\r\nOK\r\n", false},
        {"\r\n+CPIN: SIM PIN2\r\n\r\nOK\r\n", false},
        {"\r\n+CPIN: SIM PUK2\r\n\r\nOK\r\n", false},
        {"AT+CPIN?\r\r\nERROR\r\n", false},
        {"\r\n+CPIN: SIM PIN\r\n\r\nERROR\r\n", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        EXPECT_EQ(simWaitsForPin(c.answer), c.waits);
    }

    const struct {
        const char* answer;
        bool asks;
    } errors[] = {
        {"\r\n+CME ERROR: 11\r\n", true},
        {"\r\n+CME ERROR: 12\r\n", true},
        {"\r\n+CME ERROR: SIM PIN required\r\n", true},
        {"\r\n+CME ERROR: sim puk REQUIRED\r\n", true},
        {"\r\n+CME ERROR: 10\r\n", false},
        {"\r\n+CME ERROR: SIM PIN2 required\r\n", false},
        {"\r\n+CMS ERROR: 11\r\n", false},
        {"\r\nERROR\r\n", false},
    };
    for (const auto& c : errors) {
        SCOPED_TRACE(c.answer);
        EXPECT_EQ(asksForSimPin(finalResultOf(c.answer)), c.asks);
    }
}

}  // namespace
