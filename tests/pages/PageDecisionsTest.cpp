// What the pages decide without widgets: the completion page's summary lines and shortened
// path, the contacts source page's charset choice, the output path page's file name for each
// format, and the exporting page's file questions.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/AppContext.h"
#include "app/LanguageManager.h"
#include "causes/CauseTable.h"
#include "charsets/CharsetChoice.h"
#include "charsets/TextCodec.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"
#include "pages/CompletionSummary.h"
#include "pages/ContactsChoice.h"
#include "pages/ExportingTexts.h"
#include "pages/OutputChoice.h"
#include "pages/PhoneCauseTexts.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/Simulator.h"
#include "session/ExportOutcome.h"

namespace {

constexpr StorageKind kMemory = StorageKind::Memory;
constexpr StorageKind kSim = StorageKind::Sim;

std::u16string repeated(char16_t unit, std::size_t count) {
    return std::u16string(count, unit);
}

TEST(CompletionPath, NinetyCharactersAreShownAsTheyAreAndLongerOnesLoseTheirMiddle) {
    // "/" + 80 letters + "/file.csv" = 90 characters.
    const std::u16string ninety = u"/" + repeated(u'a', 80) + u"/file.csv";
    ASSERT_EQ(ninety.size(), 90u);
    EXPECT_EQ(CompletionSummary::shortenPath(ninety), ninety);

    const std::u16string ninetyOne = u"/" + repeated(u'a', 81) + u"/file.csv";
    const std::u16string shown = CompletionSummary::shortenPath(ninetyOne);
    // The last "/" is at 82; 82 - (91 - 90) - 3 = 78 characters of the head are kept.
    EXPECT_EQ(shown, u"/" + repeated(u'a', 77) + u".../file.csv");
    EXPECT_EQ(shown.size(), 90u);

    // A file name too long for the head: the end of the path only.
    const std::u16string longName = u"/tmp/" + repeated(u'b', 100) + u".csv";
    EXPECT_EQ(CompletionSummary::shortenPath(longName),
              u"..." + longName.substr(longName.size() - 87));
    // Without any "/".
    const std::u16string bare = repeated(u'c', 95);
    EXPECT_EQ(CompletionSummary::shortenPath(bare), u"..." + repeated(u'c', 87));
    EXPECT_EQ(CompletionSummary::shortenPath(u""), u"");
}

TEST(CompletionPath, ACharacterOfTwoUnitsIsNeverCutInHalf) {
    // Emoji (two UTF-16 units each) throughout the folder; the cut falls inside one.
    std::u16string folder;
    for (int i = 0; i < 45; ++i) {
        folder += u"\U0001F600";
    }
    const std::u16string path = u"/a" + folder + u"/x.csv";  // 98 units, last "/" at 92
    const std::u16string shown = CompletionSummary::shortenPath(path);
    // 92 - 8 - 3 = 81 units of head would end in the middle of an emoji: 80 are kept.
    EXPECT_EQ(shown, u"/a" + folder.substr(0, 78) + u".../x.csv");
    EXPECT_EQ(shown.size(), 89u);
    for (std::size_t i = 0; i + 1 < shown.size(); ++i) {
        const bool high = shown[i] >= 0xD800 && shown[i] <= 0xDBFF;
        const bool low = shown[i + 1] >= 0xDC00 && shown[i + 1] <= 0xDFFF;
        EXPECT_EQ(high, low) << "at " << i;
    }
}

// The shipped English texts.
class CompletionSummaryTest : public ::testing::Test {
protected:
    CompletionSummaryTest() {
        languages.scan({std::filesystem::path(CONTAXIO_DATA_DIR) / "lng"});
        EXPECT_TRUE(languages.load(1033)) << "the English texts in " << CONTAXIO_DATA_DIR;
        languages.setLanguage(1033);
    }

    LanguageManager languages;
    AppContext app{AppEnvironment{}, &languages};
};

TEST_F(CompletionSummaryTest, StorageLinesCarryTheStatusAndTheCounts) {
    struct Case {
        ExportResult result;
        std::uint32_t status;
    };
    const std::vector<Case> cases = {
        {ExportResult::None, 10245},       {ExportResult::Completed, 10243},
        {ExportResult::Failed, 10244},     {ExportResult::Disconnected, 10244},
        {ExportResult::WriteError, 10263}, {ExportResult::Cancelled, 10245},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompletionSummary::statusTextId(c.result), c.status);
    }
    EXPECT_EQ(
        CompletionSummary::storageLine(app, kSim, true, {12, 10, 9, ExportResult::Disconnected}),
        u"SIM: failed (contacts written: 9, entries read: 10 of 12)");
    EXPECT_EQ(
        CompletionSummary::storageLine(app, kMemory, false, {12, 10, 9, ExportResult::Completed}),
        u"Device internal memory: not chosen");
}

TEST_F(CompletionSummaryTest, TheCharsetLineOfAVCardFileSaysItIsUtf8) {
    ExportOutcome outcome;
    outcome.phoneCharset = u"UCS2";
    outcome.outputCharset = output_charset::Ucs2;
    outcome.layout = OutputFormat::OutlookCsv;
    EXPECT_EQ(CompletionSummary::charsetLine(app, outcome), u"Character set: UCS2");
    outcome.layout = OutputFormat::VCard;
    EXPECT_EQ(CompletionSummary::charsetLine(app, outcome),
              u"Character set: UCS2 (the vCard file is in UTF-8)");
    outcome.phoneCharset = u"ASCII";
    outcome.outputCharset = output_charset::Ascii;
    EXPECT_EQ(CompletionSummary::charsetLine(app, outcome),
              u"Character set: ASCII (the vCard file is in UTF-8)");
}

// Each file failure the exporting page asks about names its cause from the table of causes,
// with the folder of the file, its way out, and what Cancel does at that step.
TEST_F(CompletionSummaryTest, FileQuestionsNameTheCauseItsWayOutAndWhatCancelDoes) {
    using Step = ExportingTexts::FileStep;
    struct Case {
        int code;
        bool existingFile;
        Step step;
        std::u16string path;
        std::u16string expected;
        std::uint32_t captionId;
    };
    const std::u16string start =
        u"\n\nClick Retry to try again, or Cancel to go back to the Output File page.";
    const std::u16string write = u"\n\nClick Retry to try again, or Cancel to stop the export.";
    const std::u16string finish =
        u"\n\nClick Retry to try again, or Cancel to give up: the exported contacts are then not "
        u"saved, and a file that is already there stays as it was.";
    const std::vector<Case> cases = {
        {ENOENT, false, Step::Start, u"/home/anna/Документы/c.vcf",
         u"The folder /home/anna/Документы does not exist. Create the folder, or choose another "
         u"one on the Output File page." +
             start,
         10264},
        {EACCES, false, Step::Start, u"/srv/c.csv",
         u"You may not write in the folder /srv. Choose a folder of your own, such as your "
         u"Documents folder." +
             start,
         10264},
        {EACCES, true, Step::Finish, u"/srv/c.csv",
         u"The output file is read-only. Make the file writable, or choose another file name." +
             finish,
         10264},
        {EROFS, false, Step::Write, u"/media/cd/c.csv",
         u"The folder /media/cd is on a read-only disk or file system. Choose a folder on "
         u"another disk." +
             write,
         10264},
        {ENOSPC, false, Step::Write, u"c.csv",
         u"The disk is full. Free some space on the disk, or choose a folder on another disk." +
             write,
         10269},
        {EDQUOT, false, Step::Finish, u"/home/anna/c.csv",
         u"Your disk quota is used up. Delete some of your files, or choose a folder on another "
         u"disk." +
             finish,
         10264},
    };
    for (const Case& c : cases) {
        const ExportingTexts::Question question =
            ExportingTexts::fileQuestion(app, {c.code, c.existingFile}, c.step, c.path);
        EXPECT_EQ(question.text, c.expected) << c.code;
        EXPECT_EQ(question.caption, app.text(c.captionId)) << c.code;
    }
    // A failed write during the export asks the same.
    const ExportingTexts::Question full =
        ExportingTexts::writeErrorQuestion(app, {false, ENOSPC}, u"c.csv");
    EXPECT_EQ(full.caption, u"Disk Full");
    EXPECT_EQ(full.text, cases[4].expected);
}

// The file name follows the format chosen unless it is one of the user's own.
TEST(OutputChoice, TheProposedNameFollowsTheFormatAndATypedOneKeepsItsStem) {
    const std::vector<std::tuple<std::u16string, OutputFormat, std::u16string>> cases = {
        {u"", OutputFormat::VCard, u"my_contacts.vcf"},
        {u"my_contacts.csv", OutputFormat::VCard, u"my_contacts.vcf"},
        {u"my_contacts.vcf", OutputFormat::OutlookCsv, u"my_contacts.csv"},
        {u"my_contacts.csv", OutputFormat::OutlookCsv, u"my_contacts.csv"},
        {u"family.csv", OutputFormat::VCard, u"family.vcf"},
        {u"Family.CSV", OutputFormat::VCard, u"Family.VCF"},
        {u"Family.Csv", OutputFormat::VCard, u"Family.vcf"},
        {u"Контакты.vcf", OutputFormat::GoogleCsv, u"Контакты.csv"},
        {u"a.vcf.bak", OutputFormat::GoogleCsv, u"a.vcf.bak"},
        {u"notes.txt", OutputFormat::VCard, u"notes.txt"},
        {u"archive", OutputFormat::VCard, u"archive"},
        {u".csv", OutputFormat::VCard, u".csv"},  // a hidden file's name, not an extension
        {u"phone.vcf", OutputFormat::VCard, u"phone.vcf"},
    };
    for (const auto& [typed, format, expected] : cases) {
        EXPECT_EQ(OutputChoice::fileNameFor(typed, format), expected) << text_codec::toUtf8(typed);
    }
    EXPECT_EQ(OutputChoice::patternOf(OutputFormat::VCard), u"*.vcf");
    EXPECT_EQ(OutputChoice::patternOf(OutputFormat::OutlookCsv), u"*.csv");
    EXPECT_EQ(OutputChoice::positionOf(OutputFormat::VCard), 2u);
    EXPECT_EQ(OutputChoice::positionOf(static_cast<OutputFormat>(9)), 0u);
}

// Every cause the wizard tells, in the shipped English texts: the tooltip (what, the way out,
// and the help line where "?" offers help), and the box on Next with its caption.
class PhoneCauseTextsTest : public CompletionSummaryTest {};

TEST_F(PhoneCauseTextsTest, EveryPhoneCauseHasItsTooltipAndBox) {
    using causes::Cause;
    const std::u16string cannotOpen = app.text(10267);
    const std::u16string cannotRead = app.text(10374);
    for (const Cause kind : causes::allCauses()) {
        SCOPED_TRACE(static_cast<int>(kind));
        const causes::PhoneCause cause{kind, 16, "serialmon", 4242};
        const std::vector<std::u16string> tip = PhoneCauseTexts::tooltip(app, cause, true);
        if (kind == Cause::None) {
            EXPECT_TRUE(tip.empty());
            continue;
        }
        const causes::CauseEntry& entry = causes::entryOf(kind);
        std::u16string what = app.text(entry.whatTextId);
        if (kind == Cause::BusyNamed) {
            EXPECT_EQ(what, u"The program %1 (process %2) is using the phone's modem port.");
            what = u"The program serialmon (process 4242) is using the phone's modem port.";
        }
        ASSERT_FALSE(what.empty());
        EXPECT_EQ(tip, (std::vector<std::u16string>{what, app.text(entry.wayOutTextId),
                                                    app.text(10373)}));
        EXPECT_EQ(PhoneCauseTexts::tooltip(app, cause, false).size(), 2u);
        const PhoneCauseTexts::Box box = PhoneCauseTexts::failure(app, cause);
        EXPECT_EQ(box.text, what + u"\n\n" + app.text(entry.wayOutTextId));
        const bool ofThePort = kind >= Cause::Permission && kind <= Cause::PortFailed;
        EXPECT_EQ(app.text(box.captionId), ofThePort ? cannotOpen : cannotRead);
    }
}

TEST(ContactsChoice, TheCharsetIsUcs2ThenUtf8ThenAscii) {
    struct Case {
        std::vector<std::u16string> offered;
        std::u16string name;
        std::int32_t code;
        bool warned;
    };
    const std::vector<Case> cases = {
        {{u"UTF8", u"UCS2"}, u"UCS2", output_charset::Ucs2, false},
        {{u"GSM", u"IRA", u"UCS2"}, u"UCS2", output_charset::Ucs2, false},
        {{u"ASCII", u"UTF8"}, u"UTF8", output_charset::Utf8, false},
        {{u"ASCII"}, u"ASCII", output_charset::Ascii, true},
        {{}, u"ASCII", output_charset::Ascii, true},
        // Names are compared exactly.
        {{u"ucs2", u"utf-8"}, u"ASCII", output_charset::Ascii, true},
    };
    LanguageManager languages;
    AppContext app(AppEnvironment{}, &languages);
    for (const Case& c : cases) {
        app.setOutputFormatAndCharset(OutputFormat::OutlookCsv, -1);
        EXPECT_EQ(ContactsChoice::applyCharsets(app, c.offered), c.warned);
        EXPECT_EQ(app.charsetName(), c.name);
        EXPECT_EQ(app.outputFormatAndCharset(), std::make_pair(OutputFormat::OutlookCsv, c.code));
    }
}

// The charset follows whose phone is selected: another maker's phone that offers GSM and IRA is
// read in GSM into a UTF-8 file; the maker's phones keep their order and fall back to ASCII.
TEST(ContactsChoice, AnotherMakersPhoneIsReadInTheRichestCharsetOfOtherMakers) {
    phonesim::Simulator phone(phonesim::BuiltInScenarios::load("other-maker-gsm"));
    LanguageManager languages;
    AppContext app(AppEnvironment{}, &languages);
    app.selectDevice(text_codec::fromUtf8(phone.portPath()), u"Nordlicht NL-100", false, true);
    EXPECT_EQ(app.phoneMaker(), PhoneMaker::Other);
    EXPECT_FALSE(ContactsChoice::applyCharsets(app, {u"GSM", u"IRA"}));
    EXPECT_EQ(app.charsetName(), u"GSM");
    EXPECT_EQ(app.outputFormatAndCharset().second, output_charset::Utf8);
    app.releaseDevice();
    EXPECT_EQ(app.phoneMaker(), PhoneMaker::Own);
    EXPECT_TRUE(ContactsChoice::applyCharsets(app, {u"GSM", u"IRA"}));
    EXPECT_EQ(app.charsetName(), u"ASCII");
    EXPECT_TRUE(phone.transcript().empty()) << "opening it sends nothing";
}

}  // namespace
