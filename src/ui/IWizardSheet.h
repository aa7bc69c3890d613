#pragma once

#include <QString>

#include "ui/WizardPageId.h"

// What a wizard page may ask of the sheet that holds it. Implemented by the wizard sheet;
// tests of a single page supply a recording fake.
class IWizardSheet {
public:
    // The wizard buttons a page enables, as bits.
    enum Button : unsigned {
        NoButton = 0,
        BackButton = 1,
        NextButton = 2,
    };

    virtual ~IWizardSheet() = default;

    // The window caption while the page is current. Pages need not set their own caption: the
    // sheet shows each page's caption (fetched from the language file on its first visit, then
    // kept for the run) whenever it shows the page, after the page's onSetActive.
    virtual void setCaption(const QString& caption) = 0;
    // Enables exactly the given buttons (Back, Next, both or none); the others are disabled.
    virtual void setWizardButtons(unsigned buttons) = 0;
    // Presses Next as if the user had, once the current event has been handled.
    virtual void pressNext() = 0;
    // Makes the page with the given id current, as a jump (not a step of Next or Back). A page
    // may call it from onSetActive (to be shown elsewhere instead) or from onWizardNext /
    // onWizardBack; the sheet then goes there and ignores what that call returns.
    virtual void switchToPage(WizardPageId page) = 0;
    // The page shown; while a page's onSetActive runs, that page (so that its requests, such
    // as refreshButtonLabels on the completion page, apply to it).
    virtual WizardPageId currentPageId() const = 0;
    // Sets the sheet's button labels and tooltips again for the current page (the Cancel
    // button reads "Close" on the completion page).
    virtual void refreshButtonLabels() = 0;
    // Tells the current page, without waiting, that the selected phone was unplugged.
    virtual void notifyDeviceRemoved() = 0;
    // Ends the wizard at once, without asking whether to quit: for an error after which the
    // program cannot go on (no language can be loaded any more). A sheet that is not running
    // a wizard (a test's fake) may do nothing.
    virtual void endWizard() {}
};
