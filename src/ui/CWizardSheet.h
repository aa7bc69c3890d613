#pragma once

#include <QString>
#include <QWizard>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "ui/IWizardSheet.h"
#include "ui/WizardPage.h"
#include "ui/WizardPageId.h"

class AppContext;
class IUserDialogs;
class IWizardPageFactory;
class QAbstractButton;

// The wizard: a modal QWizard holding the six pages in their fixed order, with the header band
// (the header picture; the program icon as the window's icon), the buttons Back, Next, Cancel
// and Help, and the About button while the welcome page is current.
//
// The sheet, not QWizard, decides where Next and Back lead: it asks the current page
// (onWizardNext / onWizardBack: stay, step or jump), lets each page it comes to refuse to be
// entered (onSetActive false: skipped in the direction of travel; when no page in that
// direction accepts, the wizard stays where it was), and asks the current page before it
// closes (Cancel, Escape or the window's close button: onQueryCancel, then "quit?" Yes/No).
// QWizard only shows the page the sheet chose, so its own Back and Next buttons are replaced
// by buttons whose enabled state the pages set.
//
// A page's window caption is fetched from the language file the first time the page becomes
// active and kept for the rest of the run; the button labels are fetched each time the sheet
// is shown and whenever a page asks (refreshButtonLabels).
class CWizardSheet final : public QWizard, public IWizardSheet {
    Q_OBJECT

public:
    // The sheet's buttons, for tests and for keyboard access.
    enum class SheetButton { Back, Next, Cancel, Help, About };

    // Makes the six pages through the factory. app, dialogs and pages must outlive the sheet.
    CWizardSheet(AppContext& app, IUserDialogs& dialogs, IWizardPageFactory& pages,
                 QWidget* parent = nullptr);
    ~CWizardSheet() override;

    // --- IWizardSheet -----------------------------------------------------------------------
    void setCaption(const QString& caption) override;
    void setWizardButtons(unsigned buttons) override;
    void pressNext() override;
    void switchToPage(WizardPageId page) override;
    WizardPageId currentPageId() const override;
    void refreshButtonLabels() override;
    void notifyDeviceRemoved() override;
    void endWizard() override;

    // Makes the first page that accepts current (the welcome page, or the device list when
    // the welcome page is switched off). Done once, when the sheet is first shown; tests may
    // call it earlier.
    void start();

    // The user's actions, as the buttons (and their keys) trigger them.
    void goNext();
    void goBack();
    void showHelp();
    void showAbout();

    WizardPage* wizardPage(WizardPageId id) const;
    WizardPage* currentWizardPage() const;
    QAbstractButton* sheetButton(SheetButton which) const;

    void setVisible(bool visible) override;
    // Cancel, Escape and the window's close button: the current page decides whether the
    // question to quit is asked (onQueryCancel); the sheet closes when it is answered Yes.
    void reject() override;

signals:
    // The welcome page loaded another UI language.
    void languageChanged(std::uint16_t languageId);

protected:
    // The pages do their per-visit work in onSetActive; QWizard's own hooks stay unused.
    void initializePage(int id) override;
    void cleanupPage(int id) override;

private:
    static constexpr std::size_t kPageCount = kWizardPageOrder.size();

    // Offers the pages from index on, one after another in the direction (+1 or -1), until
    // one accepts; false (nothing changed) when none does.
    bool activate(std::ptrdiff_t index, int direction);
    void follow(const WizardPage::Transition& transition, int direction);
    void showPageAt(std::size_t index);
    std::size_t indexOf(WizardPageId id) const;
    QString text(std::uint32_t id) const;

    AppContext& app_;
    IUserDialogs& dialogs_;
    std::array<WizardPage*, kPageCount> pages_{};
    std::array<std::optional<QString>, kPageCount> captions_;
    std::size_t current_ = 0;
    // The page whose onSetActive runs; it counts as current meanwhile.
    std::optional<WizardPageId> activating_;
    // Counts the pages shown, so that a move made by a page itself (switchToPage from within
    // one of its hooks) is noticed by the move that called the hook.
    unsigned long shown_ = 0;
    unsigned enabledButtons_ = IWizardSheet::NoButton;
    bool started_ = false;
    bool askingToQuit_ = false;
};
