#pragma once

#include <gtest/gtest.h>

#include <QString>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ScriptedUserDialogs.h"
#include "TempDir.h"
#include "TestWizardSheet.h"
#include "app/AppContext.h"
#include "app/LanguageManager.h"
#include "phonesim/Scenario.h"
#include "phonesim/Simulator.h"
#include "ui/IUserDialogs.h"

namespace ui_test {

// Answers from a ScriptedUserDialogs, with a hook that runs when a question is asked and
// before it is answered: the moment a test changes the world the answer is about (creates the
// missing folder, lifts the file size limit, ...).
class HookedUserDialogs final : public IUserDialogs {
public:
    explicit HookedUserDialogs(ScriptedUserDialogs& answers) : answers_(answers) {}

    std::function<void(const MessageRequest&)> beforeAnswer;

    MessageAnswer showMessage(QWidget* owner, const MessageRequest& request) override;
    std::optional<SaveFileAnswer> askSaveFile(QWidget* owner,
                                              const SaveFileRequest& request) override;

private:
    ScriptedUserDialogs& answers_;
};

// What the page tests share: the shipped English texts, an application object, scripted
// answers to the pages' questions, the recording sheet, a temporary folder and, once
// selected, a simulated phone.
class PageTest : public ::testing::Test {
protected:
    static constexpr auto kWait = std::chrono::seconds(30);

    PageTest();

    // Starts a simulated phone and selects it as the device list page would (which takes a
    // second or more: the phone's mode is switched).
    void selectPhone(phonesim::Scenario scenario, bool extended,
                     const std::u16string& displayName = u"Korvanta Z1");

    // The English text of an id.
    QString tx(std::uint32_t id) const { return QString::fromStdU16String(app.text(id)); }

    // Processes events until the condition holds; false when the time ran out first.
    static bool waitFor(const std::function<bool()>& condition);

    std::u16string pathText(const std::filesystem::path& path) const;

    std::unique_ptr<phonesim::Simulator> phone;  // first: the last to go
    test_support::TempDir dir;
    LanguageManager languages;
    AppContext app{AppEnvironment{}, &languages};
    ScriptedUserDialogs dialogs;
    HookedUserDialogs hookedDialogs{dialogs};
    TestWizardSheet sheet;  // holds the pages: they go before the application object
};

}  // namespace ui_test
