#include "PageTestFixture.h"

#include <QTest>

#include "charsets/TextCodec.h"

namespace ui_test {

MessageAnswer HookedUserDialogs::showMessage(QWidget* owner, const MessageRequest& request) {
    if (beforeAnswer) {
        beforeAnswer(request);
    }
    return answers_.showMessage(owner, request);
}

std::optional<SaveFileAnswer> HookedUserDialogs::askSaveFile(QWidget* owner,
                                                             const SaveFileRequest& request) {
    return answers_.askSaveFile(owner, request);
}

PageTest::PageTest() {
    // A first run: no settings file yet, so every setting has its default.
    app.loadSettings(dir.file("settings.ini"));
    languages.scan({std::filesystem::path(CONTAXIO_DATA_DIR) / "lng"});
    const bool loaded = languages.load(1033);
    EXPECT_TRUE(loaded) << "the English texts in " << CONTAXIO_DATA_DIR;
    languages.setLanguage(1033);
}

void PageTest::selectPhone(phonesim::Scenario scenario, bool extended,
                           const std::u16string& displayName) {
    phone = std::make_unique<phonesim::Simulator>(std::move(scenario));
    app.selectDevice(text_codec::fromUtf8(phone->portPath()), displayName, extended);
}

bool PageTest::waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, static_cast<int>(kWait.count() * 1000));
}

std::u16string PageTest::pathText(const std::filesystem::path& path) const {
    return text_codec::fromUtf8(path.string());
}

}  // namespace ui_test
