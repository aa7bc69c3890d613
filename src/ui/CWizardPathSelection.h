#pragma once

#include <QString>

#include <functional>

#include "export/OutputFormat.h"
#include "ui/WizardPage.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The output path page: the folder and the name of the file, and its format (Google CSV,
// Outlook CSV or vCard, kept in the application object at once). It proposes the path used
// last or, the first time, "my_contacts.csv" (".vcf" for vCard) in the user's documents folder;
// a change of format changes the file name as OutputChoice::fileNameFor says. Browse opens a
// save-file dialog offering the one type of the format chosen. Next checks the path with
// questions (empty field, missing folder, existing file); Back and Cancel take the typed path
// as it is. The full path is the folder, a "/" where the folder lacks one, and the file name.
class CWizardPathSelection final : public WizardPage {
    Q_OBJECT

public:
    CWizardPathSelection(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                         QWidget* parent = nullptr);
    // With the given way to find the documents folder (the tests' own); see DocumentsFolder.
    CWizardPathSelection(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                         const std::function<QString()>& documentsFolder,
                         QWidget* parent = nullptr);

    bool onSetActive() override;
    // Checks the path with questions; stays on the page when it is refused.
    Transition onWizardNext() override;
    // Takes the typed path without questions, then goes to the contacts source page.
    Transition onWizardBack() override;
    // Takes the typed path without questions; the sheet then asks whether to quit.
    bool onQueryCancel() override;
    void onDeviceRemoved() override;

    // Checks the typed path and stores it in the application object when it is accepted.
    // Both fields must be filled (else a warning, the focus goes to the folder field, and the
    // path is refused). Without questions that is all. With questions, a missing folder is
    // refused with a warning, and an existing file is accepted only when the user agrees to
    // replace it.
    bool checkPath(bool withQuestions);
    // The Browse button: the save-file dialog, whose choice fills the two fields; nothing is
    // stored as the output path until the path is checked.
    void browse();

    // --- The page's decisions, in plain C++ ---------------------------------------------

    // The folder and the file name joined by one "/", added only where the folder does not end
    // with one; a folder "~" or starting with "~/" is taken from the home folder, as a shell
    // would.
    static QString joinPath(const QString& folder, const QString& fileName);
    struct SplitPath {
        QString folder;  // up to and with the last "/"; empty when there is none
        QString fileName;
    };
    // A stored path split at its last "/".
    static SplitPath splitPath(const QString& path);

    // The format chosen in the box.
    OutputFormat format() const;

private:
    void warn(std::uint32_t captionId, std::uint32_t textId);
    // The box's choice changed: it is kept, and the file name follows it.
    void formatChosen();
    void storeFormat(OutputFormat chosen);

    QLabel* instruction_ = nullptr;
    QLineEdit* folderEdit_ = nullptr;
    QLineEdit* fileNameEdit_ = nullptr;
    QComboBox* formatBox_ = nullptr;
    QPushButton* browseButton_ = nullptr;
};
