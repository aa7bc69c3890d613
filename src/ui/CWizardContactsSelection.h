#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "common/IPHBGetStoragesSink.h"
#include "common/IPhoneGetCharsetsSink.h"
#include "ui/UiDispatcher.h"
#include "ui/WizardPage.h"

class QCheckBox;
class QLabel;

// The contacts source page: which phonebooks to export, the phone's own memory, the SIM or
// both. On the first visit after a phone was selected it asks the phone, once, for its
// character sets and then for its phonebook storages: every storage the phone has starts out
// ticked, one it lacks cannot be ticked, and the character set the phone is read in (with the
// matching output charset) is chosen without asking the user: UCS2, else UTF8, else ASCII
// after a warning. Next is enabled only while a box is ticked.
//
// The two results arrive on the phone's worker thread; both are posted to the UI thread and
// handled there in the order they came.
class CWizardContactsSelection final : public WizardPage,
                                       public IPHBGetStoragesSink,
                                       public IPhoneGetCharsetsSink {
    Q_OBJECT

public:
    CWizardContactsSelection(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                             QWidget* parent = nullptr);
    // A query still running reports to this page: the phone is released first (its worker
    // joined), so that it never reports to a page that has gone.
    ~CWizardContactsSelection() override;

    bool onSetActive() override;
    // Stores the storage choice.
    Transition onWizardNext() override;
    void onDeviceRemoved() override;

    // False from the query of a newly selected phone until its storages have been shown.
    bool storagesKnown() const { return !queryOutstanding_; }

    // --- The page's decisions, in plain C++ ---------------------------------------------

    // Back, and Next only while at least one box is ticked.
    static unsigned wizardButtons(bool memoryTicked, bool simTicked);

    // The phone's answers, on its worker thread: posted to the UI thread.
    void onStorages(const std::vector<StorageKind>& storages) override;
    void onCharsets(const std::vector<std::u16string>& charsets) override;

private:
    // UI thread.
    void showStorages(unsigned bits);
    void useCharsets(const std::vector<std::u16string>& charsets);
    void updateButtons();
    bool isCurrent() const;

    QLabel* instruction_ = nullptr;
    QCheckBox* memoryBox_ = nullptr;
    QCheckBox* simBox_ = nullptr;
    bool queryOutstanding_ = false;
    // Counts the queries, so that a late answer of an earlier phone is not taken for the
    // current one's. Read by the worker thread when it posts.
    std::atomic<unsigned> queryGeneration_{0};
    UiDispatcher dispatcher_;
};
