#include <gtest/gtest.h>

#include <algorithm>

#include "ProgramView.h"
#include "charsets/TextCodec.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/Phone.h"
#include "phonesim/ScenarioParser.h"

namespace {

using phonesim::Phone;
using phonesim::Reply;
using phonesim::Scenario;

constexpr const char* kPhone = R"(
[phone]
charsets = UCS2, UTF8, ASCII, GSM
charset = GSM
extended = yes

[groups]
1 = Family
2 = Друзья

[storage ME]
range = 1-50

[storage SM]
range = 1-20

[contact ME 3]
given = Zoë 😀
family = 王
additional = Ann
birthday = 12-25-1980
group = 2
postal = Hauptstraße 5 | | Berlin | | 10115 | Deutschland
phone.mobile = +491701234567
email.work = zoë@例え.jp
address.home = Rue de la Paix 1, Paris
web = https://example.org/~zoe

[contact ME 12]
name = Ольга
phone.home = 0301234

[contact SM 1]
name = Voicemail
phone.mobile = 333
)";

Scenario scenario(const std::string& text) {
    auto parsed = phonesim::ScenarioParser::parse(text, "test.scn");
    EXPECT_TRUE(parsed) << parsed.error;
    return parsed ? *parsed.scenario : Scenario{};
}

Scenario withBehaviour(const std::string& behaviour) {
    return scenario(std::string(kPhone) + "\n[behaviour]\n" + behaviour);
}

std::u16string u(const char* utf8) {
    return text_codec::fromUtf8(utf8);
}

TEST(Phone, EchoesTheLineAndFramesTheAnswerSoThatItEndsInTheFinalResult) {
    const Scenario phoneScenario = scenario(kPhone);
    Phone phone(phoneScenario);
    Reply reply = phone.handle("AT+CPBS?");
    EXPECT_EQ(reply.echo, "AT+CPBS?\r");
    EXPECT_EQ(reply.answer, "\r\n+CPBS: \"ME\",2,50\r\n\r\nOK\r\n");
    EXPECT_EQ(phone.handle("AT").answer, "\r\nOK\r\n");
    EXPECT_EQ(phone.handle("AT+NOSUCH").answer, "\r\nERROR\r\n");
    EXPECT_EQ(phone.handle("hello").answer, "\r\nERROR\r\n");

    // ATE0 is still echoed (echo was on when it came); the lines after it are not.
    reply = phone.handle("ATE0");
    EXPECT_EQ(reply.echo, "ATE0\r");
    EXPECT_EQ(phone.handle("AT+CGSN").echo, "");
    phone.handle("ATE1");
    EXPECT_EQ(phone.handle("AT+CGSN").echo, "AT+CGSN\r");
}

TEST(Phone, ValueListsHaveNoSpaceAfterACommaSoTheProgramSeesNoEmptyValues) {
    const Scenario phoneScenario = scenario(kPhone);
    Phone phone(phoneScenario);
    phone.handle("AT+MODE=2");
    const std::pair<const char*, std::vector<std::string>> expected[] = {
        {"AT+CPBS=?", {"(\"ME\",\"SM\")"}},
        {"AT+CPBS?", {"\"ME\"", "2", "50"}},
        {"AT+CSCS=?", {"(\"UCS2\",\"UTF8\",\"ASCII\",\"GSM\")"}},
        {"AT+CGMM", {"\"GSM900\"", "\"GSM1800\"", "\"GSM1900\"", "\"MODEL=Z3\""}},
        {"AT+CGSN", {"351234567890123"}},
        {"AT+MODE?", {"2"}},
        {"AT+CPBR=?", {"(1-50)", "40", "18"}},
        {"AT+MPBRE=?", {"(1-50)", "40", "18"}},
        {"AT+MPGR=?", {"(1-10)", "18"}},
    };
    for (const auto& [command, values] : expected) {
        const std::string answer = phone.handle(command).answer;
        const std::string name =
            std::string(command).substr(2, std::string(command).find_first_of("=?") - 2);
        const auto lines = program_view::linesOf(answer, name);
        ASSERT_EQ(lines.size(), 1u) << command << ": " << answer;
        EXPECT_EQ(program_view::values(lines[0]), values) << command;
    }
}

TEST(Phone, ModeTwoIsFollowedByExactlyTheTwoLinesTheReaderCollects) {
    const Scenario phoneScenario = scenario(kPhone);
    Phone phone(phoneScenario);
    EXPECT_EQ(phone.handle("AT+MODE?").answer, "\r\n+MODE: 0\r\n\r\nOK\r\n");
    EXPECT_EQ(phone.handle("AT+MODE=0").answer, "\r\nOK\r\n");

    const Reply reply = phone.handle("AT+MODE=2");
    const std::string answer = reply.echo + reply.answer;
    ASSERT_EQ(answer.substr(0, 9), "AT+MODE=2");
    // The reader looks for two more line ends after the first final OK; nothing may be left
    // over for the next answer.
    const auto ok = answer.find("\r\nOK\r\n");
    ASSERT_NE(ok, std::string::npos);
    const auto first = answer.find("\r\n", ok + 6);
    ASSERT_NE(first, std::string::npos);
    const auto second = answer.find("\r\n", first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(second + 2, answer.size());
    EXPECT_EQ(phone.mode(), 2);
    EXPECT_EQ(phone.handle("AT+MODE?").answer, "\r\n+MODE: 2\r\n\r\nOK\r\n");
}

TEST(Phone, StandardLinesRenderTheNameInTheSelectedCharset) {
    const Scenario phoneScenario = scenario(kPhone);
    Phone phone(phoneScenario);
    // "Zoë 😀 王": the emoji is one surrogate pair, D83D DE00.
    phone.handle("AT+CSCS=\"UCS2\"");
    EXPECT_EQ(program_view::linesOf(phone.handle("AT+CPBR=1,10").answer, "+CPBR"),
              std::vector<std::string>{
                  "+CPBR: 3,\"+491701234567\",145,\"005A006F00EB0020D83DDE000020738B\""});
    phone.handle("AT+CSCS=\"UTF8\"");
    EXPECT_EQ(program_view::linesOf(phone.handle("AT+CPBR=1,10").answer, "+CPBR"),
              std::vector<std::string>{"+CPBR: 3,\"+491701234567\",145,\"Zoë 😀 王\""});
    phone.handle("AT+CSCS=\"ASCII\"");
    EXPECT_EQ(program_view::linesOf(phone.handle("AT+CPBR=1,10").answer, "+CPBR"),
              std::vector<std::string>{"+CPBR: 3,\"+491701234567\",145,\"Zo? ? ?\""});
    // An e-mail address in the number field is marked with type 128; other numbers are 129.
    EXPECT_EQ(program_view::linesOf(phone.handle("AT+CPBR=11,20").answer, "+CPBR"),
              std::vector<std::string>{"+CPBR: 12,\"0301234\",129,\"?????\""});
}

TEST(Phone, StandardLinesRenderGsmAndLatin1Names) {
    const Scenario phoneScenario = scenario(
        "[phone]\ncharsets = GSM, 8859-1\n[storage SM]\nrange = 1-10\n[contact SM 2]\n"
        "name = J\u00FCrgen @Caf\u00E9 \u20AC5 [x]\nphone.mobile = +3361234\n");
    Phone phone(phoneScenario);
    phone.handle("AT+CSCS=\"GSM\"");
    using std::string_literals::operator""s;
    EXPECT_EQ(program_view::linesOf(phone.handle("AT+CPBR=1,10").answer, "+CPBR"),
              std::vector<std::string>{"+CPBR: 2,\"+3361234\",145,\"J\x7Ergen \0Caf\x05 \x1B\x65"
                                       "5 \x1B<x\x1B>\""s});
    phone.handle("AT+CSCS=\"8859-1\"");
    EXPECT_EQ(program_view::linesOf(phone.handle("AT+CPBR=1,10").answer, "+CPBR"),
              std::vector<std::string>{"+CPBR: 2,\"+3361234\",145,\"J\xFCrgen @Caf\xE9 ?5 [x]\""});
}

TEST(Phone, ExtendedLinesReadBackAsTheContactInEveryCharset) {
    const Scenario phoneScenario = scenario(kPhone);
    const phonesim::Contact& contact = phoneScenario.storage("ME")->contacts.at(3);
    for (const std::u16string charset : {u"UCS2", u"UTF8", u"ASCII"}) {
        SCOPED_TRACE(text_codec::toUtf8(charset));
        Phone phone(phoneScenario);
        phone.handle("AT+CSCS=\"" + text_codec::toUtf8(charset) + "\"");
        const auto lines = program_view::linesOf(phone.handle("AT+MPBRE=1,10").answer, "+MPBRE");
        ASSERT_EQ(lines.size(), contact.items.size());

        // What the reader should get: the text itself, or in ASCII '?' for each character
        // ASCII cannot hold (a surrogate pair is one character).
        const auto expect = [&charset](const std::u16string& text) {
            if (charset != u"ASCII") {
                return text;
            }
            std::string ascii;
            for (std::size_t i = 0; i < text.size(); ++i) {
                ascii.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
                i += (text[i] >= 0xD800 && text[i] <= 0xDBFF) ? 1u : 0u;
            }
            return text_codec::fromUtf8(ascii);
        };
        for (std::size_t n = 0; n < lines.size(); ++n) {
            const auto values = program_view::values(lines[n]);
            ASSERT_EQ(values.size(), 25u) << lines[n];
            EXPECT_EQ(values[0], "3");
            EXPECT_EQ(program_view::decodeExtendedNumber(values[2], charset),
                      expect(contact.items[n].value));
            EXPECT_EQ(values[5], std::to_string(contact.items[n].type));
            EXPECT_EQ(values[10], "2");
            const std::u16string name = program_view::decodeText(values[4], charset);
            const auto givenLength = static_cast<std::size_t>(std::stoi(values[13]));
            EXPECT_EQ(name.substr(0, givenLength), expect(u("Zoë 😀")));
            EXPECT_EQ(name.substr(givenLength), expect(u("王")));
            const char* postal[] = {"Hauptstraße 5", "", "Berlin", "", "10115", "Deutschland"};
            for (int part = 0; part < 6; ++part) {
                EXPECT_EQ(
                    program_view::decodeText(values[static_cast<std::size_t>(17 + part)], charset),
                    expect(u(postal[part])));
            }
            EXPECT_EQ(program_view::decodeText(values[23], charset), u"Ann");
            EXPECT_EQ(program_view::decodePlain(values[24]), u"12-25-1980");
        }
    }
}

TEST(Phone, GroupNamesComeInTheSelectedCharset) {
    const Scenario phoneScenario = scenario(kPhone);
    Phone phone(phoneScenario);
    phone.handle("AT+CSCS=\"UCS2\"");
    EXPECT_EQ(phone.handle("AT+MPGR=1,10").answer,
              "\r\n+MPGR: 1,\"00460061006D0069006C0079\"\r\n"
              "+MPGR: 2,\"0414044004430437044C044F\"\r\n\r\nOK\r\n");
    EXPECT_EQ(phone.handle("AT+MPGR=5,11").answer, "\r\nERROR\r\n");
}

TEST(Phone, CommandListOffersWhatThePhoneCanBeReadWith) {
    const auto listOf = [](const Scenario& each) {
        Phone phone(each);
        return program_view::lines(phone.handle("AT+CLAC").answer);
    };
    const auto extended = listOf(scenario(kPhone));
    for (const char* needed :
         {"AT+CGMM", "AT+CGSN", "AT+CPBS", "AT+CSCS", "AT+CPBR", "AT+MPBRE", "OK"}) {
        EXPECT_NE(std::find(extended.begin(), extended.end(), needed), extended.end()) << needed;
    }
    const Scenario standard = phonesim::BuiltInScenarios::load("standard-ucs2");
    const auto standardList = listOf(standard);
    EXPECT_EQ(std::find(standardList.begin(), standardList.end(), "AT+MPBRE"), standardList.end());
    Phone standardPhone(standard);
    EXPECT_EQ(standardPhone.handle("AT+MPBRE=?").answer, "\r\nERROR\r\n");
    const auto unsupported = listOf(phonesim::BuiltInScenarios::load("unsupported"));
    EXPECT_EQ(std::find(unsupported.begin(), unsupported.end(), "AT+CSCS"), unsupported.end());
}

TEST(Phone, CharsetSelectionAcceptsOnlyWhatIsOffered) {
    const Scenario phoneScenario = scenario(kPhone);
    Phone phone(phoneScenario);
    EXPECT_EQ(phone.handle("AT+CSCS?").answer, "\r\n+CSCS: \"GSM\"\r\n\r\nOK\r\n");
    EXPECT_EQ(phone.handle("AT+CSCS=\"utf8\"").answer, "\r\nOK\r\n");
    EXPECT_EQ(phone.charset(), "UTF8");
    EXPECT_EQ(phone.handle("AT+CSCS=\"KOI8-R\"").answer, "\r\nERROR\r\n");
    EXPECT_EQ(phone.charset(), "UTF8");
    phone.handle("ATZ");
    EXPECT_EQ(phone.charset(), "GSM");
}

TEST(Phone, ReadsAnswerOnlyTheIndexesAskedForAndRefuseIndexesOutsideTheRange) {
    const Scenario phoneScenario = scenario(kPhone);
    Phone phone(phoneScenario);
    phone.handle("AT+CSCS=\"UTF8\"");
    EXPECT_EQ(program_view::linesOf(phone.handle("AT+CPBR=11,20").answer, "+CPBR").size(), 1u);
    EXPECT_EQ(phone.handle("AT+CPBR=21,30").answer, "\r\nOK\r\n");
    EXPECT_EQ(phone.handle("AT+CPBR=45,60").answer, "\r\nERROR\r\n");
    EXPECT_EQ(phone.handle("AT+CPBR=10,1").answer, "\r\nERROR\r\n");
    EXPECT_EQ(phone.handle("AT+CPBR=12").answer,
              "\r\n+CPBR: 12,\"0301234\",129,\"Ольга\"\r\n\r\nOK\r\n");
    phone.handle("AT+CMEE=1");
    EXPECT_EQ(phone.handle("AT+CPBR=0,5").answer, "\r\n+CME ERROR: 21\r\n");
    phone.handle("AT+CMEE=2");
    EXPECT_EQ(phone.handle("AT+CPBR=0,5").answer, "\r\n+CME ERROR: invalid index\r\n");

    EXPECT_EQ(phone.handle("AT+CPBS=\"SM\"").answer, "\r\nOK\r\n");
    EXPECT_EQ(phone.handle("AT+CPBS?").answer, "\r\n+CPBS: \"SM\",1,20\r\n\r\nOK\r\n");
    EXPECT_EQ(phone.handle("AT+CPBR=?").answer, "\r\n+CPBR: (1-20),40,18\r\n\r\nOK\r\n");
    EXPECT_EQ(phone.handle("AT+CPBS=\"XX\"").answer, "\r\n+CME ERROR: operation not allowed\r\n");
    EXPECT_EQ(phone.selectedStorage(), "SM");

    const Scenario strict = withBehaviour("empty-read = error\n");
    Phone strictPhone(strict);
    EXPECT_EQ(strictPhone.handle("AT+CPBR=21,30").answer, "\r\nERROR\r\n");
}

TEST(Phone, StorageSelectionIsRefusedAsOftenAsTheScenarioSays) {
    const Scenario refusing = withBehaviour("refuse-select = 2\nrefuse-select = SM 1\n");
    Phone phone(refusing);
    EXPECT_EQ(phone.handle("AT+CPBS=\"ME\"").answer, "\r\nERROR\r\n");
    EXPECT_EQ(phone.handle("AT+CPBS=\"ME\"").answer, "\r\nERROR\r\n");
    EXPECT_EQ(phone.handle("AT+CPBS=\"ME\"").answer, "\r\nOK\r\n");
    EXPECT_EQ(phone.handle("AT+CPBS=\"SM\"").answer, "\r\nERROR\r\n");
    EXPECT_EQ(phone.handle("AT+CPBS=\"SM\"").answer, "\r\nOK\r\n");
}

TEST(Phone, PhonebookCommandsCanRequireModeTwo) {
    const Scenario strict = withBehaviour("require-mode = 2\n");
    Phone phone(strict);
    EXPECT_EQ(phone.handle("AT+CPBS=?").answer, "\r\nERROR\r\n");
    EXPECT_EQ(phone.handle("AT+CPBR=1,10").answer, "\r\nERROR\r\n");
    EXPECT_EQ(phone.handle("AT+CGMM").answer.substr(0, 8), "\r\n+CGMM:");
    phone.handle("AT+MODE=2");
    EXPECT_EQ(phone.handle("AT+CPBS=?").answer, "\r\n+CPBS: (\"ME\",\"SM\")\r\n\r\nOK\r\n");
}

TEST(Phone, TheOtherMakersProfileAnswersAsSuchPhonesDo) {
    Scenario other = phonesim::BuiltInScenarios::load("other-maker");
    other.behaviour.unsolicited.clear();
    {
        Phone phone(other);
        EXPECT_EQ(phone.handle("AT+MODE?").answer, "\r\nERROR\r\n");
        EXPECT_EQ(phone.handle("AT+MODE=2").answer, "\r\nERROR\r\n");
        EXPECT_EQ(phone.handle("AT+CLAC").answer, "\r\nERROR\r\n");
        EXPECT_EQ(phone.handle("AT+CPIN?").answer, "\r\n+CPIN: READY\r\n\r\nOK\r\n");
        EXPECT_EQ(phone.handle("AT+CGMM").answer, "\r\nNL-200\r\n\r\nOK\r\n");
        EXPECT_EQ(phone.handle("AT+CGSN").answer, "\r\n356789012345671\r\n\r\nOK\r\n");
        EXPECT_EQ(phone.handle("AT+CPBS=?").answer,
                  "\r\n+CPBS: (\"SM\",\"ME\",\"EN\",\"ON\")\r\n\r\nOK\r\n");
        // An empty window of ten, as +CME ERROR: 22; then names bare in UCS2, padded with
        // blanks to the storage's 14 characters.
        EXPECT_EQ(phone.handle("AT+CPBR=11,20").answer, "\r\n+CME ERROR: 22\r\n");
        phone.handle("AT+CSCS=\"UCS2\"");
        const std::string mailbox =
            "+CPBR: 1,\"+4917010\",145,004D00610069006C0062006F0078"
            "0020002000200020002000200020";
        EXPECT_EQ(phone.handle("AT+CPBR=1,1").answer, "\r\n" + mailbox + "\r\n\r\nOK\r\n");
        EXPECT_EQ(phone.handle("AT+CPBR=251,251").answer, "\r\n+CME ERROR: 21\r\n");
    }

    // A SIM that waits for its PIN: told by AT+CPIN?, and every read or selection refused with
    // the number, or the words after AT+CMEE=2.
    other.phone.sim = "pin";
    Phone locked(other);
    EXPECT_EQ(locked.handle("AT+CPIN?").answer, "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
    EXPECT_EQ(locked.handle("AT+CPBS=\"SM\"").answer, "\r\n+CME ERROR: 11\r\n");
    EXPECT_EQ(locked.handle("AT+CPBR=?").answer, "\r\n+CME ERROR: 11\r\n");
    EXPECT_EQ(locked.handle("AT+CPBS=?").answer,
              "\r\n+CPBS: (\"SM\",\"ME\",\"EN\",\"ON\")\r\n\r\nOK\r\n");
    locked.handle("AT+CMEE=2");
    EXPECT_EQ(locked.handle("AT+CPBR=1,10").answer, "\r\n+CME ERROR: SIM PIN required\r\n");
    EXPECT_EQ(locked.handle("AT+CPIN=\"1234\"").answer,
              "\r\n+CME ERROR: operation not allowed\r\n");
    const std::vector<std::string> commands = other.commandList();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT+MODE"), 0);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT+CPIN"), 1);
}

TEST(Phone, UnsolicitedCodesComeInsideTheAnswersTheyAreToldTo) {
    const Scenario phoneScenario = withBehaviour(
        "unsolicited = within AT+CPBR=1,20 -> +CREG: 1\n"
        "unsolicited = within AT+CPBS=\"SM\" -> ^RSSI:9\n");
    Phone phone(phoneScenario);
    // After the first of the two entries, before the second.
    const std::string read = phone.handle("AT+CPBR=1,20").answer;
    const std::size_t firstLineEnd = read.find("\r\n", 2);
    EXPECT_TRUE(read.substr(0, firstLineEnd).starts_with("\r\n+CPBR: 3,")) << read;
    EXPECT_EQ(read.substr(firstLineEnd, 14), "\r\n+CREG: 1\r\n+C") << read;
    EXPECT_TRUE(read.ends_with("\r\n\r\nOK\r\n")) << read;
    EXPECT_EQ(phone.handle("AT+CPBS=\"SM\"").answer, "\r\n^RSSI:9\r\n\r\nOK\r\n");
}

TEST(Phone, FaultKnobsApplyToTheCommandsTheyName) {
    const Scenario faulty = withBehaviour(
        "fail = AT+CPBR=11,20\n"
        "silent = AT+CGSN\n"
        "unplug-at = AT+CGMR\n"
        "unplug-after-reads = 3\n"
        "answer = AT+CPBR=1,10 -> \"\\r\\n+CPBR: 1,,129\\r\\n\\r\\nOK\\r\\n\"\n"
        "unsolicited = every 2 -> RING\n"
        "unsolicited = after AT+CPBS? -> +CREG: 1\n");
    {
        Phone phone(faulty);
        EXPECT_EQ(phone.handle("AT+CPBR=1,10").answer, "\r\n+CPBR: 1,,129\r\n\r\nOK\r\n");
        const Reply failed = phone.handle("AT+CPBR=11,20");
        EXPECT_EQ(failed.echo, "AT+CPBR=11,20\r");
        EXPECT_EQ(failed.answer, "\r\nERROR\r\n");
        EXPECT_EQ(failed.unsolicited, "\r\nRING\r\n");  // the second answer
        EXPECT_EQ(phone.handle("AT+CPBS?").unsolicited, "\r\n+CREG: 1\r\n");
        const Reply silent = phone.handle("AT+CGSN");
        EXPECT_EQ(silent.kind, Reply::Kind::Silence);
        EXPECT_EQ(silent.echo + silent.answer + silent.unsolicited, "");
        EXPECT_EQ(phone.handle("AT+CPBR=21,30").kind, Reply::Kind::Answer);  // the third read
        EXPECT_EQ(phone.handle("AT+CPBR=31,40").kind, Reply::Kind::Unplug);
    }
    Phone phone(faulty);
    EXPECT_EQ(phone.handle("AT+CGMR").kind, Reply::Kind::Unplug);
}

}  // namespace
