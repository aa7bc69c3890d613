#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TempDir.h"
#include "charsets/TextCodec.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/ScenarioGenerator.h"
#include "phonesim/ScenarioParser.h"
#include "phonesim/ScenarioWriter.h"

namespace {

using phonesim::ParsedScenario;
using phonesim::ScenarioParser;

TEST(ScenarioFiles, EveryShippedScenarioLoadsAndIsBuiltInAsWritten) {
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PHONESIM_SCENARIO_DIR)) {
        if (entry.path().extension() != ".scn") {
            continue;
        }
        ++files;
        const ParsedScenario parsed = ScenarioParser::load(entry.path());
        ASSERT_TRUE(parsed) << parsed.error;
        EXPECT_EQ(phonesim::BuiltInScenarios::load(entry.path().stem().string()), *parsed.scenario)
            << entry.path();
    }
    EXPECT_EQ(files, phonesim::BuiltInScenarios::names().size());
    EXPECT_THROW(phonesim::BuiltInScenarios::load("no-such-phone"), std::invalid_argument);
}

TEST(ScenarioFiles, TheDemoPhoneHasRealisticContactsInBothStorages) {
    const phonesim::Scenario demo = phonesim::BuiltInScenarios::demo();
    EXPECT_TRUE(demo.phone.extended);
    ASSERT_NE(demo.storage("ME"), nullptr);
    ASSERT_NE(demo.storage("SM"), nullptr);
    EXPECT_FALSE(demo.storage("SM")->contacts.empty());
    EXPECT_GE(demo.contactCount(), 55u);
    EXPECT_LE(demo.contactCount(), 70u);
    EXPECT_FALSE(demo.groups.names.empty());

    // Scripts and kinds of values the demo must show off.
    bool cyrillic = false, greek = false, cjk = false, emoji = false, accent = false;
    bool several = false, email = false, postal = false, web = false, birthday = false;
    for (const auto& storage : demo.storages) {
        for (const auto& [index, contact] : storage.contacts) {
            for (const char16_t unit : contact.displayName()) {
                cyrillic = cyrillic || (unit >= 0x0400 && unit <= 0x04FF);
                greek = greek || (unit >= 0x0370 && unit <= 0x03FF);
                cjk = cjk || (unit >= 0x4E00 && unit <= 0x9FFF);
                emoji = emoji || (unit >= 0xD800 && unit <= 0xDBFF);
                accent = accent || (unit >= 0x00C0 && unit <= 0x017F);
            }
            int phones = 0;
            for (const auto& item : contact.items) {
                const auto itemClass = phonesim::classOfType(item.type);
                phones += itemClass == phonesim::ItemClass::Phone ? 1 : 0;
                email = email || itemClass == phonesim::ItemClass::Email;
                web = web || itemClass == phonesim::ItemClass::Website;
            }
            several = several || phones > 1;
            postal = postal || contact.hasPostalAddress();
            birthday = birthday || !contact.birthday.empty();
        }
    }
    EXPECT_TRUE(cyrillic && greek && cjk && emoji && accent);
    EXPECT_TRUE(several && email && postal && web && birthday);
}

TEST(ScenarioFiles, TheExamplesOfTheReadmeMakeOneValidScenario) {
    const std::string readme =
        test_support::readFileBytes(std::string(PHONESIM_SCENARIO_DIR) + "/../README.md");
    std::string examples;
    std::size_t blocks = 0;
    for (auto start = readme.find("```ini\n"); start != std::string::npos;
         start = readme.find("```ini\n", start)) {
        start += 7;
        const auto end = readme.find("```", start);
        ASSERT_NE(end, std::string::npos);
        examples += readme.substr(start, end - start);
        ++blocks;
    }
    EXPECT_GE(blocks, 5u);
    const ParsedScenario parsed = ScenarioParser::parse(examples, "README.md");
    ASSERT_TRUE(parsed) << parsed.error;
    const phonesim::Contact& contact = parsed.scenario->storage("ME")->contacts.at(7);
    EXPECT_EQ(contact.postal[5], text_codec::fromUtf8("España"));
    EXPECT_EQ(parsed.scenario->behaviour.unsolicited.size(), 3u);
}

struct BadFile {
    const char* text;
    int line;
    const char* problem;
};

TEST(ScenarioParser, RefusesABadFileNamingTheLineAndTheProblem) {
    const BadFile cases[] = {
        {"[phone]\nmodel = Z3\nmodle = Z4\n", 3, "unknown key \"modle\""},
        {"[phone]\n\n[telephone]\n", 3, "unknown section [telephone]"},
        {"model = Z3\n", 1, "comes before any [section]"},
        {"[phone]\nmodel Z3\n", 2, "expected \"key = value\""},
        {"[phone]\nmode = 7\n", 2, "mode must be a whole number from 0 to 2"},
        {"[phone]\nextended = maybe\n", 2, "extended must be on or off"},
        {"[phone]\ncharset = UCS2\ncharsets = UTF8, ASCII\n", 2, "UCS2 is not among"},
        {"[phone]\ncharsets = UTF8,, ASCII\n", 2, "empty item"},
        {"[phone]\nmodel = Z3\nmodel = Z4\n", 3, "given twice"},
        {"[storage ME]\nrange = 1 to 10\n", 2, "first-last"},
        {"[storage ME]\nrange = 1-10\n\n[contact ME 11]\nname = A\n", 4, "outside the range 1-10"},
        {"[storage ME]\nrange = 1-10\ncapacity = 1\n[contact ME 1]\nname = A\n[contact ME 2]\n"
         "name = B\n",
         1, "more than its capacity 1"},
        {"[storage ME]\n[contact ME 1]\nname = A\n[contact ME 1]\nname = B\n", 4,
         "described twice"},
        {"[contact XY 1]\nname = A\n", 1, "no [storage XY] section"},
        {"[storage ME]\n[contact ME 1]\nname = A\ngiven = B\n", 4, "either a name or a given"},
        {"[storage ME]\n[contact ME 1]\nphone.mobile = +49 ☎ 123\n", 3, "printable ASCII"},
        {"[storage ME]\n[contact ME 1]\nphon.mobile = 123\n", 3, "unknown key \"phon.mobile\""},
        {"[storage ME]\n[contact ME 1]\npostal = a|b|c|d|e|f|g\n", 3, "at most six parts"},
        {"[storage ME]\n[contact ME 1]\nname = \"Anna\n", 3, "must end with a double quote"},
        {"[storage ME]\n[contact ME 1]\nname = \"A\\q\"\n", 3, "unknown escape \\q"},
        {"[storage ME]\n[contact ME 1]\nname = \"A\\nB\"\n", 3, "control characters"},
        {"[storage ME]\n[contact ME 1]\nname = J\xC3\n", 3, "not valid UTF-8"},
        {"[behaviour]\nline-rate = fast\n", 2, "line-rate (bit/s) must be a whole number"},
        {"[behaviour]\nanswer = AT+CGMM\n", 2, "expected answer = COMMAND -> TEXT"},
        {"[behaviour]\nunsolicited = sometimes -> RING\n", 2, "every N -> TEXT"},
        {"[behaviour]\nunsolicited = within -> RING\n", 2, "within COMMAND -> TEXT"},
        {"[behaviour]\nerror-mode = 3\n", 2, "error-mode must be a whole number from 0 to 2"},
        {"[behaviour]\npad-names = wide\n", 2, "pad-names must be on or off"},
        {"[phone]\nsim = locked\n", 2, "sim must be ready, pin or puk"},
        {"[phone]\nidentification = bare\n", 2, "identification must be plain or prefixed"},
        {"[phone]\nmode-command = none\n", 2, "mode-command must be on or off"},
        {"[behaviour]\nrefuse-select = ME SM 3\n", 2, "COUNT or STORAGE COUNT"},
        {"[behaviour]\nfail =\n", 2, "must not be empty"},
        {"[groups]\n1 = A\n1 = B\n", 3, "named twice"},
    };
    for (const BadFile& bad : cases) {
        const ParsedScenario parsed = ScenarioParser::parse(bad.text, "bad.scn");
        EXPECT_FALSE(parsed) << bad.text;
        EXPECT_EQ(parsed.line, bad.line) << bad.text;
        const std::string prefix = "bad.scn:" + std::to_string(bad.line) + ": ";
        EXPECT_EQ(parsed.error.substr(0, prefix.size()), prefix) << parsed.error;
        EXPECT_NE(parsed.error.find(bad.problem), std::string::npos) << parsed.error;
    }
    const ParsedScenario missing = ScenarioParser::load("/nonexistent/phone.scn");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.error, "/nonexistent/phone.scn: cannot be read");
}

TEST(ScenarioParser, ReadsQuotedValuesWithEscapesAndKeepsTheOrderOfItems) {
    const ParsedScenario parsed = ScenarioParser::parse(
        "\xEF\xBB\xBF# a comment\r\n"
        "[behaviour]\r\n"
        "answer = AT+CPBR=1,10 -> \"\\r\\n+CPBR: 1,,129\\r\\n\\r\\nOK\\r\\n\"\r\n"
        "mode2-tail = \"\\x41\\tB\\r\\n\"\r\n"
        "chunk-pause = 5 ms\r\n"
        "[storage SM]\r\n"
        "[contact SM 7]\r\n"
        "given = \" Ann \\u{1F600}\"\r\n"
        "phone.home = 030\r\n"
        "item.25 = odd\r\n"
        "phone.mobile = 017\r\n",
        "ok.scn");
    ASSERT_TRUE(parsed) << parsed.error;
    const phonesim::Scenario& scenario = *parsed.scenario;
    ASSERT_EQ(scenario.behaviour.cannedAnswers.size(), 1u);
    EXPECT_TRUE(scenario.behaviour.cannedAnswers[0].pattern.matches("AT+CPBR=1,10"));
    EXPECT_EQ(scenario.behaviour.cannedAnswers[0].bytes, "\r\n+CPBR: 1,,129\r\n\r\nOK\r\n");
    EXPECT_EQ(scenario.behaviour.mode2Tail, "A\tB\r\n");
    EXPECT_EQ(scenario.behaviour.chunkPause, std::chrono::milliseconds(5));
    const phonesim::Contact& contact = scenario.storage("SM")->contacts.at(7);
    EXPECT_EQ(contact.givenName, text_codec::fromUtf8(" Ann 😀"));
    ASSERT_EQ(contact.items.size(), 3u);
    EXPECT_EQ(contact.items[0], (phonesim::Item{1, u"030"}));
    EXPECT_EQ(contact.items[1], (phonesim::Item{25, u"odd"}));
    EXPECT_EQ(contact.items[2], (phonesim::Item{3, u"017"}));
    EXPECT_EQ(scenario.storage("SM")->capacity, 100);  // the size of the default range 1-100
}

TEST(ScenarioWriter, WritesWhatTheParserReadsBack) {
    phonesim::Scenario demo = phonesim::BuiltInScenarios::demo();
    demo.behaviour.unsolicited.push_back({0, phonesim::CommandPattern("AT+CPBS?"), "+CREG: 1"});
    demo.behaviour.cannedAnswers.push_back(
        {phonesim::CommandPattern("AT+CGMR"), "\r\n\"odd\" \\ text\x01\r\n"});
    demo.behaviour.selectRefusals.push_back({"SM", 3});
    demo.behaviour.lineRate = 115200;
    const ParsedScenario again =
        ScenarioParser::parse(phonesim::ScenarioWriter::write(demo, "round trip"), "again.scn");
    ASSERT_TRUE(again) << again.error;
    EXPECT_EQ(*again.scenario, demo);

    // Another maker's phone, with every knob of its profile.
    phonesim::Scenario other = phonesim::BuiltInScenarios::load("other-maker");
    other.phone.sim = "puk";
    const ParsedScenario otherAgain =
        ScenarioParser::parse(phonesim::ScenarioWriter::write(other), "other.scn");
    ASSERT_TRUE(otherAgain) << otherAgain.error;
    EXPECT_EQ(*otherAgain.scenario, other);
}

TEST(ScenarioGenerator, MakesTenThousandEntriesThatLoadBackTheSameEveryTime) {
    phonesim::ScenarioGenerator::Options options;
    options.contacts = 10000;
    options.simContacts = 300;
    options.extended = true;
    const phonesim::Scenario generated = phonesim::ScenarioGenerator::generate(options);
    ASSERT_EQ(generated.storage("ME")->contacts.size(), 10000u);
    EXPECT_EQ(generated.storage("ME")->last, 10000);
    EXPECT_EQ(generated.storage("SM")->contacts.size(), 300u);
    EXPECT_EQ(generated, phonesim::ScenarioGenerator::generate(options));
    options.seed = 2;
    EXPECT_NE(generated, phonesim::ScenarioGenerator::generate(options));

    test_support::TempDir dir;
    const auto file = dir.file("big.scn");
    {
        std::ofstream out(file, std::ios::binary);
        out << phonesim::ScenarioWriter::write(generated);
    }
    const ParsedScenario loaded = ScenarioParser::load(file);
    ASSERT_TRUE(loaded) << loaded.error;
    EXPECT_EQ(*loaded.scenario, generated);
}

}  // namespace
