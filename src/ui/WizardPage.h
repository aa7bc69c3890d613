#pragma once

#include <QWizardPage>

#include <cstdint>
#include <optional>

#include "ui/WizardPageId.h"

class AppContext;
class IUserDialogs;
class IWizardSheet;

// The base of the wizard's six pages. The sheet calls the hooks below; a page does its work
// through the AppContext, asks its questions through IUserDialogs (so that tests can answer
// them) and asks the sheet for captions, buttons and jumps through IWizardSheet.
//
// What a page decides (captions, buttons, skip, stay or jump, which message with which buttons)
// is kept in plain C++ where it is more than a line, so that tests reach it without pixels.
class WizardPage : public QWizardPage {
    Q_OBJECT

public:
    // Where the wizard goes after Next or Back.
    struct Transition {
        enum class Kind {
            Stay,    // the page is not left
            Step,    // the next (Next) or previous (Back) page in order
            JumpTo,  // the page given
        };
        Kind kind = Kind::Step;
        WizardPageId target = WizardPageId::Welcome;

        static Transition stay() { return {Kind::Stay, WizardPageId::Welcome}; }
        static Transition step() { return {Kind::Step, WizardPageId::Welcome}; }
        static Transition jumpTo(WizardPageId page) { return {Kind::JumpTo, page}; }
    };

    WizardPage(WizardPageId id, std::int32_t helpTopic, AppContext& app, IWizardSheet& sheet,
               IUserDialogs& dialogs, QWidget* parent = nullptr);

    WizardPageId pageId() const { return id_; }
    std::int32_t helpTopic() const { return helpTopic_; }

    // The page is becoming current. Returns false when it refuses (the sheet then moves on in
    // the direction of travel: the page is skipped).
    virtual bool onSetActive() = 0;
    // Next was pressed (by the user, or by the page through the sheet).
    virtual Transition onWizardNext() { return Transition::step(); }
    // Back was pressed.
    virtual Transition onWizardBack() { return Transition::step(); }
    // Cancel was pressed. True lets the sheet ask whether to quit (caption 10229, text 10230,
    // Yes/No) and close on Yes; false keeps the wizard open without a question.
    virtual bool onQueryCancel() { return true; }
    // The selected phone was unplugged while this page is current.
    virtual void onDeviceRemoved() {}

protected:
    AppContext& app() const { return app_; }
    IWizardSheet& sheet() const { return sheet_; }
    IUserDialogs& dialogs() const { return dialogs_; }
    // The UI text with the given id in the current language.
    QString text(std::uint32_t id) const;

private:
    WizardPageId id_;
    std::int32_t helpTopic_;
    AppContext& app_;
    IWizardSheet& sheet_;
    IUserDialogs& dialogs_;
};
