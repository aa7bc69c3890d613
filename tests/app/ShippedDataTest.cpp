#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "TempDir.h"
#include "app/AppContext.h"
#include "app/LanguageFile.h"
#include "app/LanguageManager.h"
#include "app/UiTextIds.h"
#include "causes/CauseTable.h"
#include "charsets/TextCodec.h"

// The language files and help pages shipped in data/, as the program reads them. (gettext's
// own checks of the files are in tests/data.)
namespace {

const std::filesystem::path kData = CONTAXIO_DATA_DIR;
const std::vector<std::uint16_t> kShippedLanguages = {1031, 1033, 1036, 1049, 3082};

// The placeholders a text uses, each once.
std::set<char16_t> placeholders(const std::u16string& text) {
    std::set<char16_t> found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'%' && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            found.insert(text[i + 1]);
        }
    }
    return found;
}

TEST(ShippedDataTest, FiveLanguagesLoadWithExactlyTheEnglishIdsAndPlaceholders) {
    LanguageManager languages;
    languages.scan({kData / "lng"});
    ASSERT_EQ(languages.languages(), kShippedLanguages) << "in " << (kData / "lng");

    const auto english = LanguageFile::fromFile(languages.libraryPath(1033));
    ASSERT_TRUE(english.has_value());
    for (const std::uint32_t id : {ui_text::HelpFolder, ui_text::HelpUnavailable,
                                   ui_text::ErrorCaption, ui_text::OtherInstanceUnreachable}) {
        EXPECT_EQ(english->texts().count(id), 1u) << "English lacks text " << id;
    }
    for (const auto& [id, text] : english->texts()) {
        EXPECT_TRUE((id >= 10201u && id <= 10299u) || (id >= 10301u && id <= 10399u)) << id;
        EXPECT_EQ(text, english->sourceTexts().at(id)) << "English text " << id;
    }
    // Every cause the wizard tells, what is wrong and the way out, with the placeholders the
    // front ends fill in (the program and process holding a port, a file's folder).
    const auto expectCause = [&](const causes::CauseEntry& entry, std::set<char16_t> arguments) {
        for (const std::uint32_t id : {entry.whatTextId, entry.wayOutTextId}) {
            const auto found = english->texts().find(id);
            ASSERT_NE(found, english->texts().end()) << "English lacks text " << id;
            EXPECT_FALSE(found->second.empty()) << id;
            for (const char16_t used : placeholders(found->second))
                EXPECT_TRUE(arguments.contains(used)) << "text " << id;
        }
    };
    for (const causes::Cause cause : causes::allCauses()) {
        if (cause != causes::Cause::None)
            expectCause(causes::entryOf(cause), {u'1', u'2'});
    }
    for (const causes::FileCause cause : causes::allFileCauses())
        expectCause(causes::entryOf(cause), {u'1'});

    for (const std::uint16_t language : kShippedLanguages) {
        const auto file = LanguageFile::fromFile(languages.libraryPath(language));
        ASSERT_TRUE(file.has_value()) << language;
        for (const auto& [id, source] : english->sourceTexts()) {
            const auto found = file->texts().find(id);
            if (found == file->texts().end()) {
                ADD_FAILURE() << "language " << language << " lacks text " << id;
                continue;
            }
            // The translation of the current English text, with its placeholders.
            EXPECT_EQ(file->sourceTexts().at(id), source)
                << "language " << language << ", text " << id;
            EXPECT_FALSE(found->second.empty()) << "language " << language << ", text " << id;
            EXPECT_EQ(placeholders(found->second), placeholders(source))
                << "language " << language << ", text " << id << ": "
                << text_codec::toUtf8(found->second);
        }
        for (const auto& entry : file->texts()) {
            EXPECT_EQ(english->texts().count(entry.first), 1u)
                << "language " << language << " has text " << entry.first << ", English has not";
        }
    }
}

// Each language's help in its own folder, which its text 10278 names after the language file
// ("de" for de.po), with the page and anchor of every topic the program opens: each page's
// topic and every cause's section. (That the pages are well-formed, in their folder's language,
// and link what the English ones link is checked by tests/data/check-help-pages.py.)
TEST(ShippedDataTest, EveryLanguageHasItsOwnHelpWithEveryTopic) {
    LanguageManager languages;
    languages.scan({kData / "lng"});
    ASSERT_EQ(languages.languages(), kShippedLanguages);

    std::set<std::int32_t> topics;
    std::string file;
    std::string anchor;
    for (std::int32_t topic = 0; AppContext::helpPage(topic, file, anchor); ++topic)
        topics.insert(topic);
    ASSERT_GE(topics.size(), 9u);
    std::set<std::int32_t> causeTopics;
    for (const causes::Cause cause : causes::allCauses()) {
        if (cause != causes::Cause::None)
            causeTopics.insert(causes::entryOf(cause).helpTopic);
    }
    for (const causes::FileCause cause : causes::allFileCauses())
        causeTopics.insert(causes::entryOf(cause).helpTopic);
    for (const std::int32_t topic : causeTopics) {
        ASSERT_TRUE(AppContext::helpPage(topic, file, anchor)) << "a cause's topic " << topic;
        EXPECT_FALSE(anchor.empty()) << "topic " << topic << " opens no section of " << file;
    }

    for (const std::uint16_t language : kShippedLanguages) {
        ASSERT_TRUE(languages.load(language));
        const std::string folder = text_codec::toUtf8(languages.text(ui_text::HelpFolder));
        EXPECT_EQ(folder, languages.libraryPath(language).stem().string()) << language;
        ASSERT_FALSE(folder.empty()) << language;
        for (const std::int32_t topic : topics) {
            ASSERT_TRUE(AppContext::helpPage(topic, file, anchor)) << topic;
            const auto page = kData / "help" / folder / file;
            ASSERT_TRUE(std::filesystem::is_regular_file(page)) << page;
            if (!anchor.empty()) {
                EXPECT_NE(test_support::readFileBytes(page).find("id=\"" + anchor + "\""),
                          std::string::npos)
                    << page << " lacks the anchor " << anchor;
            }
        }
    }
}

}  // namespace
