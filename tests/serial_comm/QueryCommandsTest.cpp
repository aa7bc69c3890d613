#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "serial_comm/AtValues.h"
#include "serial_comm/CGMMCommand.h"
#include "serial_comm/CGSNCommand.h"
#include "serial_comm/CPBSCommand.h"
#include "serial_comm/CSCSCommand.h"
#include "serial_comm/CommandList.h"
#include "serial_comm/IndexRange.h"
#include "serial_comm/MODECommand.h"
#include "serial_comm/MPBRESupportedRangeCommand.h"
#include "serial_comm/StorageTable.h"

namespace {

using namespace serial_comm;
using Strings = std::vector<std::string>;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(QueryCommandLines, AreComposedByteForByte) {
    EXPECT_EQ(MODECommand::readCommand(), "AT+MODE?");
    EXPECT_EQ(MODECommand::setCommand("0"), "AT+MODE=0");
    EXPECT_EQ(MODECommand::setCommand("2"), "AT+MODE=2");
    EXPECT_EQ(CGMMCommand::actionCommand(), "AT+CGMM");
    EXPECT_EQ(CGSNCommand::actionCommand(), "AT+CGSN");
    EXPECT_EQ(CSCSCommand::testCommand(), "AT+CSCS=?");
    EXPECT_EQ(CSCSCommand::setCommand(u"UCS2"), "AT+CSCS=\"UCS2\"");
    // The name travels as ASCII; what ASCII cannot hold cannot sneak other bytes onto the line.
    EXPECT_EQ(CSCSCommand::setCommand(u"UTF\u00e98"), "AT+CSCS=\"UTF?8\"");
    EXPECT_EQ(CSCSCommand::setCommandInHex(u"UCS2"), "AT+CSCS=\"0055004300530032\"");
    EXPECT_EQ(CSCSCommand::setCommandInHex(u"8859-1"), "AT+CSCS=\"0038003800350039002D0031\"");
    EXPECT_EQ(CPBSCommand::testCommand(), "AT+CPBS=?");
    EXPECT_EQ(CPBSCommand::readCommand(), "AT+CPBS?");
    EXPECT_EQ(CPBSCommand::setCommand("ME"), "AT+CPBS=\"ME\"");
    EXPECT_EQ(MPBRESupportedRangeCommand::testCommand(), "AT+MPBRE=?");
    EXPECT_EQ(indexRangeCommand("+CPBR"), "AT+CPBR=?");
    EXPECT_EQ(indexRangeCommand("+MPGR"), "AT+MPGR=?");
    EXPECT_EQ(commandListCommand(), "AT+CLAC");
}

TEST(QueryCommandParsers, SuccessStartsFalseAndFollowsTheLastResultLine) {
    struct Case {
        const char* answer;
        bool succeeded;
    };
    const Case cases[] = {
        {"", false},
        {"AT+CPBS?\r\r\n+CPBS: \"ME\",1,2\r\n", false},  // cut off before the result
        {"\r\nOK\r\n", true},
        {"\r\nERROR\r\n", false},
        {"\r\nOK\r\n\r\nERROR\r\n", false},
        {"\r\nERROR\r\n\r\nOK\r\n", true},
        {"\r\n+CME ERROR: 21\r\n", false},
        {"\r\nOK \r\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        MODECommand mode;
        CGMMCommand model;
        CGSNCommand serial;
        CSCSCommand charsets;
        CPBSCommand storages;
        MPBRESupportedRangeCommand range;
        mode.parse(c.answer);
        model.parse(c.answer);
        serial.parse(c.answer);
        charsets.parse(c.answer);
        storages.parse(c.answer);
        range.parse(c.answer);
        EXPECT_EQ(mode.succeeded(), c.succeeded);
        EXPECT_EQ(model.succeeded(), c.succeeded);
        EXPECT_EQ(serial.succeeded(), c.succeeded);
        EXPECT_EQ(charsets.succeeded(), c.succeeded);
        EXPECT_EQ(storages.succeeded(), c.succeeded);
        EXPECT_EQ(range.succeeded(), c.succeeded);
    }
}

TEST(CPBSCommandTest, ReadsStorageListsAndFill) {
    struct Case {
        const char* answer;
        Strings items;
        StorageFill fill;
    };
    const Case cases[] = {
        {"AT+CPBS?\r\r\n+CPBS: \"ME\",12,500\r\n\r\nOK\r\n", {"ME", "12", "500"}, {"ME", 12, 500}},
        {"\r\n+CPBS: \"SM\"\r\n\r\nOK\r\n", {"SM"}, {"", 0, 0}},
        {"\r\n+CPBS: (\"ME\",\"SM\")\r\n\r\nOK\r\n", {"ME", "SM"}, {"", 0, 0}},
        {"\r\n+CPBS: (\"ME\",\"SM\",\"FD\")\r\n\r\nOK\r\n", {"ME", "SM", "FD"}, {"ME", 0, 0}},
        {"\r\n+CPBS: \"ME\",many,-3\r\n\r\nOK\r\n", {"ME", "many", "-3"}, {"ME", 0, -3}},
        {"\r\n+CPBS: \"ME\",1,99999999999\r\n", {"ME", "1", "99999999999"}, {"ME", 1, kMax}},
        // Each line starts afresh; other prefixes and the echo are not storage lists.
        {"\r\n+CPBS: \"ME\",1,2\r\n+CPBS: \"SM\",3,4\r\n+CPBR: \"XX\",5,6\r\n",
         {"SM", "3", "4"},
         {"SM", 3, 4}},
        {"AT+CPBS=\"ME\"\r\r\nOK\r\n", {}, {"", 0, 0}},
        {"\r\n+CPBS: ()\r\n\r\nOK\r\n", {}, {"", 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        CPBSCommand command;
        command.parse(c.answer);
        EXPECT_EQ(command.items(), c.items);
        const StorageFill fill = storageFill(command.items());
        EXPECT_EQ(fill.name, c.fill.name);
        EXPECT_EQ(fill.used, c.fill.used);
        EXPECT_EQ(fill.total, c.fill.total);
    }
}

TEST(MPBRESupportedRangeCommandTest, OnlyTheFirstValueOfTheFirstLineCounts) {
    struct Case {
        const char* answer;
        bool found;
        IndexRange range;
    };
    const Case cases[] = {
        {"AT+MPBRE=?\r\r\n+MPBRE: (1-1000),40,30\r\n\r\nOK\r\n", true, {1, 1000}},
        {"\r\n+MPBRE: 500,40,30\r\n\r\nOK\r\n", true, {0, 500}},
        {"\r\n+MPBRE: (-5),40\r\n", true, {0, -5}},
        {"\r\n+MPBRE: (7-x)\r\n", true, {7, 0}},
        {"\r\n+MPBRE: (1-10),40\r\n+MPBRE: (20-30),40\r\n", true, {1, 10}},
        {"\r\n+MPBRE: (1-99999999999)\r\n", true, {1, kMax}},
        {"\r\n+MPBRE: (-99999999999)\r\n", true, {0, kMin}},
        // A first value that holds nothing is no range, and the values after it do not stand in.
        {"\r\n+MPBRE: ,40\r\n", false, {0, 0}},
        {"\r\n+CPBR: (1-100),40\r\n\r\nOK\r\n", false, {0, 0}},
        {"\r\nERROR\r\n", false, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        MPBRESupportedRangeCommand command;
        command.parse(c.answer);
        EXPECT_EQ(command.found(), c.found);
        EXPECT_EQ(command.range(), c.range);
    }
}

TEST(IndexRangeReader, FindsTheRangeBeforeTheFirstCommaAfterTheColon) {
    struct Case {
        const char* answer;
        bool found;
        IndexRange range;
    };
    const Case cases[] = {
        {"AT+CPBR=?\r\r\n+CPBR: (1-500),40,30\r\n\r\nOK\r\n", true, {1, 500}},
        {"AT+MPGR=?\r\r\n+MPGR: (1-10),30\r\n\r\nOK\r\n", true, {1, 10}},
        {"\r\n+CPBR: 250,40,30\r\n\r\nOK\r\n", true, {0, 250}},
        {"\r\n+CPBR: 2-250,40,30\r\n\r\nOK\r\n", true, {2, 250}},
        // Whatever the prefix: the first ':' of the answer decides.
        {"\r\n+XYZ: (3-9),1\r\n", true, {3, 9}},
        {"\r\n+CPBR: (1-500)\r\n\r\nOK\r\n", false, {0, 0}},
        {"AT+CPBR=?\r\r\nERROR\r\n", false, {0, 0}},
        {"", false, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        IndexRange range{77, 88};
        EXPECT_EQ(readIndexRange(c.answer, range), c.found);
        EXPECT_EQ(range, c.range);
    }
}

TEST(CGMMCommandTest, TakesTheModelFromTheFirstModelItem) {
    struct Case {
        const char* answer;
        std::u16string model;
    };
    const Case cases[] = {
        {"AT+CGMM\r\r\n+CGMM: \"GSM900\",\"GSM1800\",\"MODEL=V3\"\r\n\r\nOK\r\n", u"V3"},
        {"\r\n+CGMM: \"GSM900\",\"GSM1800\"\r\n\r\nOK\r\n", u""},
        {"\r\n+CGMM: \"MODEL=\"\r\n\r\nOK\r\n", u""},
        // A bare MODEL= leaves the model as it was; it does not clear it.
        {"\r\n+CGMM: \"MODEL=A1\",\"MODEL=\"\r\n\r\nOK\r\n", u"A1"},
        {"\r\n+CGMM: <\"MODEL=Z3\">\r\n\r\nOK\r\n", u"Z3"},
        {"\r\n+CGMM: MODEL=Z 3\r\n\r\nOK\r\n", u"Z"},
        {"\r\n+CGMM: \"model=V3\"\r\n\r\nOK\r\n", u""},
        // Each +CGMM line starts with an empty model.
        {"\r\n+CGMM: \"MODEL=V3\"\r\n+CGMM: \"GSM900\"\r\n", u""},
        {"\r\n+CGMM: \"MODEL=\xE9\"\r\n", u"\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        CGMMCommand command;
        command.parse(c.answer);
        EXPECT_EQ(command.model(), c.model);
    }
}

TEST(CGSNCommandTest, KeepsTheLastValueWithoutAngleBrackets) {
    struct Case {
        const char* answer;
        std::u16string serial;
    };
    const Case cases[] = {
        {"AT+CGSN\r\r\n+CGSN: 351234567890123\r\n\r\nOK\r\n", u"351234567890123"},
        {"\r\n+CGSN: <351234567890123>\r\n\r\nOK\r\n", u"351234567890123"},
        {"\r\n+CGSN: \"351234567890123\"\r\n\r\nOK\r\n", u"\"351234567890123\""},
        {"\r\n+CGSN: 111,222\r\n\r\nOK\r\n", u"222"},
        {"\r\n+CGSN: 111\r\n+CGSN: 333\r\n\r\nOK\r\n", u"333"},
        {"\r\n351234567890123\r\n\r\nOK\r\n", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        CGSNCommand command;
        command.parse(c.answer);
        EXPECT_EQ(command.serialNumber(), c.serial);
    }
}

TEST(CSCSAndMODECommandTest, ReadCharsetListsAndModes) {
    CSCSCommand charsets;
    charsets.parse("AT+CSCS=?\r\r\n+CSCS: (\"UCS2\",\"UTF8\",\"ASCII\",\"GSM\")\r\n\r\nOK\r\n");
    EXPECT_TRUE(charsets.succeeded());
    EXPECT_EQ(charsets.charsets(),
              (std::vector<std::u16string>{u"UCS2", u"UTF8", u"ASCII", u"GSM"}));

    CSCSCommand relisted;
    relisted.parse("\r\n+CSCS: (\"GSM\")\r\n+CSCS: (\"UTF8\",\"IRA\")\r\n");
    EXPECT_EQ(relisted.charsets(), (std::vector<std::u16string>{u"UTF8", u"IRA"}));
    EXPECT_FALSE(relisted.listedInHex());

    // Lists in the shapes other makers' phones send them: bare, without brackets, and in the
    // UCS2 form once UCS2 is their charset.
    const struct {
        const char* answer;
        std::vector<std::u16string> names;
        bool inHex;
    } lists[] = {
        {"\r\n+CSCS: \"IRA\"\r\n\r\nOK\r\n", {u"IRA"}, false},
        {"\r\n+CSCS: \"IRA\",\"GSM\"\r\n\r\nOK\r\n", {u"IRA", u"GSM"}, false},
        {"AT+CSCS=?\r\r\n+CSCS: (\"004900520041\",\"00470053004D\")\r\n\r\nOK\r\n",
         {u"IRA", u"GSM"},
         true},
        {"\r\n+CSCS: (\"00470053004D\",\"004900520041\",\"0038003800350039002D0031\","
         "\"005500540046002D0038\",\"0055004300530032\")\r\n\r\nOK\r\n",
         {u"GSM", u"IRA", u"8859-1", u"UTF-8", u"UCS2"},
         true},
        // One name that is not ASCII in UCS2 leaves the whole list as sent.
        {"\r\n+CSCS: (\"00470053004D\",\"8859\")\r\n\r\nOK\r\n", {u"00470053004D", u"8859"}, false},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.answer);
        CSCSCommand command;
        command.parse(list.answer);
        EXPECT_TRUE(command.succeeded());
        EXPECT_EQ(command.charsets(), list.names);
        EXPECT_EQ(command.listedInHex(), list.inHex);
    }

    struct Case {
        const char* answer;
        std::string mode;
        bool hasMode;
    };
    const Case modes[] = {
        {"AT+MODE?\r\r\n+MODE: 2\r\n\r\nOK\r\n", "2", true},
        {"\r\n+MODE: \"2\"\r\n\r\nOK\r\n", "\"2\"", true},
        {"\r\n+MODE: (0-2)\r\n\r\nOK\r\n", "(0-2)", true},
        {"\r\n+MODE: 1,0\r\n\r\nOK\r\n", "0", true},
        {"\r\n+MODE: 1\r\n+MODE:\r\n\r\nOK\r\n", "", false},
        {"\r\nOK\r\n", "", false},
    };
    for (const Case& c : modes) {
        SCOPED_TRACE(c.answer);
        MODECommand command;
        command.parse(c.answer);
        EXPECT_EQ(command.mode(), c.mode);
        EXPECT_EQ(command.hasMode(), c.hasMode);
    }
}

TEST(CommandListReader, CollectsEveryLineUpToTheOkLine) {
    Strings commands;
    EXPECT_TRUE(
        readCommandList("AT+CLAC\r\r\nAT+CGMM\r\nAT+CGSN\r\n\r\nOK\r\n\r\n+PBREADY\r\n", commands));
    EXPECT_EQ(commands, (Strings{"AT+CLAC", "AT+CGMM", "AT+CGSN"}));

    Strings cut;
    EXPECT_FALSE(readCommandList("\r\nAT+CGMM\r\nOK \r\nERROR\r\n", cut));
    EXPECT_EQ(cut, (Strings{"AT+CGMM", "OK ", "ERROR"}));

    Strings none;
    EXPECT_FALSE(readCommandList("", none));
    EXPECT_TRUE(none.empty());
}

TEST(StorageTableTest, MapsExactNamesAndKindsBothWays) {
    EXPECT_EQ(storageKindOf("ME"), std::optional(StorageKind::Memory));
    EXPECT_EQ(storageKindOf("SM"), std::optional(StorageKind::Sim));
    EXPECT_EQ(storageKindOf("me"), std::nullopt);
    EXPECT_EQ(storageKindOf("\"ME\""), std::nullopt);
    EXPECT_EQ(storageKindOf("FD"), std::nullopt);
    EXPECT_EQ(storageNameOf(StorageKind::Memory), std::optional<std::string>("ME"));
    EXPECT_EQ(storageNameOf(StorageKind::Sim), std::optional<std::string>("SM"));
    EXPECT_EQ(storageNameOf(StorageKind::Unknown), std::nullopt);
    EXPECT_EQ(storageNameOf(StorageKind{3}), std::nullopt);
    EXPECT_EQ(storageKindsOf({"SM", "FD", "ME", "sm", "SM"}),
              (std::vector<StorageKind>{StorageKind::Sim, StorageKind::Memory, StorageKind::Sim}));
}

TEST(AtNumbers, ReadAsAtoiWithoutOverflow) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"12", 12},
        {" \t-7x", -7},
        {"+5", 5},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"1 2", 1},
        {"2147483647", kMax},
        {"2147483648", kMax},
        {"-2147483648", kMin},
        {"-2147483649", kMin},
        {"99999999999999999999999999", kMax},
        {"-00000000000000000000000042", -42},
        {"18abc", 18},
        {"\"128\"", 0},
        {"- 5", 0},
        {"--5", 0},
        {" \r\n\v\f9", 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(atoi32(c.text), c.value);
    }
    EXPECT_TRUE(holdsOk("AT+CPBS=\"ME\"\r\r\nOK\r\n"));
    EXPECT_TRUE(holdsOk("+MODE: 2 OK?"));
    EXPECT_FALSE(holdsOk("\r\nERROR\r\n"));
    EXPECT_FALSE(holdsOk("O\r\nK"));
}

}  // namespace
