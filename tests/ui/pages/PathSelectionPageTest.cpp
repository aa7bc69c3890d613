// The output path page: the first-run proposal, the check with and without questions, Browse.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <vector>

#include "PageTestFixture.h"
#include "charsets/CharsetChoice.h"
#include "export/OutputFormat.h"
#include "ui/CWizardPathSelection.h"
#include "ui/DocumentsFolder.h"

namespace {

using ui_test::PageTest;
using Kind = WizardPage::Transition::Kind;

QString qpath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

class PathSelectionPageTest : public PageTest {
protected:
    PathSelectionPageTest() { std::filesystem::create_directories(documents); }

    // The page as the sheet creates it, with the documents folder given.
    CWizardPathSelection& makePage(const QString& documentsFolder) {
        page = new CWizardPathSelection(app, sheet, dialogs, [this, documentsFolder] {
            ++documentsLookups;
            return documentsFolder;
        });
        sheet.host(page);
        sheet.current = WizardPageId::OutputPath;
        return *page;
    }

    QLineEdit* folderEdit() const { return page->findChild<QLineEdit*>("folderEdit"); }
    QLineEdit* fileNameEdit() const { return page->findChild<QLineEdit*>("fileNameEdit"); }
    QComboBox* formatBox() const { return page->findChild<QComboBox*>("formatBox"); }
    void type(const QString& folder, const QString& fileName) const {
        folderEdit()->setText(folder);
        fileNameEdit()->setText(fileName);
    }

    const std::filesystem::path documents = dir.file("Documents");
    CWizardPathSelection* page = nullptr;
    int documentsLookups = 0;
};

TEST_F(PathSelectionPageTest, TheFirstRunProposesMyContactsInTheDocumentsFolder) {
    makePage(qpath(documents));
    EXPECT_EQ(folderEdit()->text(), qpath(documents) + u'/');
    EXPECT_EQ(fileNameEdit()->text(), QStringLiteral("my_contacts.csv"));
    // The proposal is taken at once.
    EXPECT_EQ(app.outputPath(), pathText(documents / "my_contacts.csv"));

    ASSERT_TRUE(sheet.activate(*page));
    EXPECT_EQ(sheet.captions, std::vector<QString>{tx(10211)});
    EXPECT_EQ(sheet.lastButtons(), IWizardSheet::BackButton | IWizardSheet::NextButton);
    sheet.screenshot("first-run");
    EXPECT_EQ(page->onWizardNext().kind, Kind::Step);
    EXPECT_TRUE(dialogs.questions().empty());
}

TEST_F(PathSelectionPageTest, WithoutADocumentsFolderBothFieldsStayEmptyAndNextWarns) {
    app.setOutputPath(u"contacts.csv");  // no folder: treated as a first run
    makePage(QString());
    EXPECT_TRUE(folderEdit()->text().isEmpty());
    EXPECT_TRUE(fileNameEdit()->text().isEmpty());
    EXPECT_EQ(app.outputPath(), u"contacts.csv");

    sheet.show();
    ASSERT_TRUE(sheet.activate(*page));
    fileNameEdit()->setFocus();
    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(page->onWizardNext().kind, Kind::Stay);
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.questions()[0].message.caption, tx(10226));
    EXPECT_EQ(dialogs.questions()[0].message.text, tx(10227));
    EXPECT_EQ(dialogs.questions()[0].message.icon, MessageIcon::Warning);
    EXPECT_EQ(page->focusWidget(), folderEdit());
    EXPECT_EQ(app.outputPath(), u"contacts.csv");

    // Back checks without questions, but an empty field still gets its warning; the wizard
    // goes back all the same.
    dialogs.answerMessage(MessageAnswer::Ok);
    type(QStringLiteral("/tmp/"), QString());
    const WizardPage::Transition back = page->onWizardBack();
    EXPECT_EQ(back.kind, Kind::JumpTo);
    EXPECT_EQ(back.target, WizardPageId::ContactsSource);
    EXPECT_EQ(dialogs.questions().size(), 2u);
    EXPECT_EQ(app.outputPath(), u"contacts.csv");
}

TEST_F(PathSelectionPageTest, AStoredPathIsShownAsFolderAndFileName) {
    app.setOutputPath(u"/home/ann/Exports/phone.csv");
    makePage(qpath(documents));
    EXPECT_EQ(documentsLookups, 0);
    EXPECT_EQ(folderEdit()->text(), QStringLiteral("/home/ann/Exports/"));
    EXPECT_EQ(fileNameEdit()->text(), QStringLiteral("phone.csv"));
    EXPECT_EQ(app.outputPath(), u"/home/ann/Exports/phone.csv");
}

TEST_F(PathSelectionPageTest, AnExistingFileIsReplacedOnlyWhenTheUserAgrees) {
    std::ofstream(documents / "old.csv") << "old";
    makePage(qpath(documents));
    type(qpath(documents), QStringLiteral("old.csv"));  // no trailing "/": one is added

    dialogs.answerMessage(MessageAnswer::Cancel);
    EXPECT_EQ(page->onWizardNext().kind, Kind::Stay);
    EXPECT_EQ(app.outputPath(), pathText(documents / "my_contacts.csv"));

    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(page->onWizardNext().kind, Kind::Step);
    EXPECT_EQ(app.outputPath(), pathText(documents / "old.csv"));

    ASSERT_EQ(dialogs.questions().size(), 2u);
    for (const auto& question : dialogs.questions()) {
        EXPECT_EQ(question.message.caption, tx(10264));
        EXPECT_EQ(question.message.text, tx(10292));
        EXPECT_EQ(question.message.buttons, MessageButtons::OkCancel);
        EXPECT_EQ(question.message.icon, MessageIcon::Warning);
    }
}

TEST_F(PathSelectionPageTest, AMissingFolderIsRefusedOnNextButBackAndCancelStoreIt) {
    makePage(qpath(documents));
    const std::filesystem::path missing = dir.file("missing");
    type(qpath(missing) + u'/', QStringLiteral("a.csv"));

    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(page->onWizardNext().kind, Kind::Stay);
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.questions()[0].message.caption, tx(10264));
    EXPECT_EQ(dialogs.questions()[0].message.text, tx(10293));
    EXPECT_EQ(app.outputPath(), pathText(documents / "my_contacts.csv"));

    // A file name naming a missing subfolder of an existing folder is refused as well.
    type(qpath(documents), QStringLiteral("sub/a.csv"));
    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(page->onWizardNext().kind, Kind::Stay);
    EXPECT_EQ(dialogs.questions().size(), 2u);

    type(qpath(missing) + u'/', QStringLiteral("a.csv"));
    const WizardPage::Transition back = page->onWizardBack();
    EXPECT_EQ(back.kind, Kind::JumpTo);
    EXPECT_EQ(back.target, WizardPageId::ContactsSource);
    EXPECT_EQ(app.outputPath(), pathText(missing / "a.csv"));

    type(qpath(missing), QStringLiteral("b.csv"));
    EXPECT_TRUE(page->onQueryCancel());
    EXPECT_EQ(app.outputPath(), pathText(missing / "b.csv"));
    EXPECT_EQ(dialogs.questions().size(), 2u);
}

TEST_F(PathSelectionPageTest, BrowseOffersTheChosenFormatsTypeAndFillsTheFields) {
    app.setOutputFormatAndCharset(OutputFormat::OutlookCsv, output_charset::Utf8);
    makePage(qpath(documents));
    EXPECT_EQ(formatBox()->currentText(), tx(10247));
    const std::filesystem::path chosen = dir.file("chosen.csv");
    dialogs.answerSaveFile(SaveFileAnswer{qpath(chosen), 0});
    page->findChild<QPushButton*>("browseButton")->click();

    ASSERT_EQ(dialogs.questions().size(), 1u);
    const SaveFileRequest& request = dialogs.questions()[0].saveFile;
    EXPECT_EQ(request.title, tx(10228));
    EXPECT_EQ(request.folder, qpath(documents) + u'/');
    EXPECT_EQ(request.fileName, QStringLiteral("my_contacts.csv"));
    ASSERT_EQ(request.filters.size(), 1u);
    EXPECT_EQ(request.filters[0].label, QStringLiteral("Outlook CSV"));
    EXPECT_EQ(request.filters[0].pattern, QStringLiteral("*.csv"));
    EXPECT_EQ(request.selectedFilter, 0);
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("csv"));

    EXPECT_EQ(app.outputFormatAndCharset(),
              std::make_pair(OutputFormat::OutlookCsv, output_charset::Utf8));
    EXPECT_EQ(folderEdit()->text(), qpath(dir.path()) + u'/');
    EXPECT_EQ(fileNameEdit()->text(), QStringLiteral("chosen.csv"));
    // Nothing is stored before the path is checked.
    EXPECT_EQ(app.outputPath(), pathText(documents / "my_contacts.csv"));

    // Cancelled: nothing changes. A missing folder is not offered to the dialog.
    type(QStringLiteral("/no/such/folder/"), QStringLiteral("x.csv"));
    dialogs.answerSaveFile(std::nullopt);
    page->browse();
    ASSERT_EQ(dialogs.questions().size(), 2u);
    EXPECT_TRUE(dialogs.questions()[1].saveFile.folder.isEmpty());
    EXPECT_EQ(folderEdit()->text(), QStringLiteral("/no/such/folder/"));
    EXPECT_EQ(fileNameEdit()->text(), QStringLiteral("x.csv"));
    EXPECT_EQ(app.outputFormatAndCharset().first, OutputFormat::OutlookCsv);
}

// The format box: the proposed name, the dialog's type and the stored layout follow it; a name
// of the user's own keeps its stem.
TEST_F(PathSelectionPageTest, ChoosingVCardRenamesTheProposalAndOffersVcfFiles) {
    makePage(qpath(documents));
    ASSERT_EQ(formatBox()->count(), 3);
    EXPECT_EQ(formatBox()->currentText(), tx(10237));
    formatBox()->setCurrentIndex(2);
    EXPECT_EQ(formatBox()->currentText(), tx(10248));
    EXPECT_EQ(fileNameEdit()->text(), QStringLiteral("my_contacts.vcf"));
    EXPECT_EQ(app.outputFormatAndCharset().first, OutputFormat::VCard);
    ASSERT_TRUE(sheet.activate(*page));
    sheet.screenshot("vcard-chosen");

    dialogs.answerSaveFile(std::nullopt);
    page->browse();
    ASSERT_EQ(dialogs.questions().size(), 1u);
    const SaveFileRequest& request = dialogs.questions()[0].saveFile;
    EXPECT_EQ(request.fileName, QStringLiteral("my_contacts.vcf"));
    ASSERT_EQ(request.filters.size(), 1u);
    EXPECT_EQ(request.filters[0].label, QStringLiteral("vCard"));
    EXPECT_EQ(request.filters[0].pattern, QStringLiteral("*.vcf"));
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("vcf"));

    fileNameEdit()->setText(QStringLiteral("Family.VCF"));
    formatBox()->setCurrentIndex(0);
    EXPECT_EQ(fileNameEdit()->text(), QStringLiteral("Family.CSV"));
    fileNameEdit()->setText(QStringLiteral("notes.txt"));
    formatBox()->setCurrentIndex(2);
    EXPECT_EQ(fileNameEdit()->text(), QStringLiteral("notes.txt"));

    // Next keeps the path typed, in the format chosen.
    fileNameEdit()->setText(QStringLiteral("phone.vcf"));
    EXPECT_EQ(page->onWizardNext().kind, Kind::Step);
    EXPECT_EQ(app.outputPath(), pathText(documents / "phone.vcf"));
    EXPECT_EQ(app.outputFormatAndCharset().first, OutputFormat::VCard);
}

TEST_F(PathSelectionPageTest, AnUnpluggedPhoneIsNamedAndTheDeviceListFollows) {
    makePage(qpath(documents));
    dialogs.answerMessage(MessageAnswer::Ok);
    page->onDeviceRemoved();
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.questions()[0].message.caption, tx(10262));
    EXPECT_EQ(sheet.jumps, std::vector<WizardPageId>{WizardPageId::DeviceList});
}

TEST(PathSelectionJoin, OneSlashBetweenFolderAndFileName) {
    const QString home = QDir::homePath();
    struct Case {
        QString folder;
        QString fileName;
        QString path;
    };
    const std::vector<Case> cases = {
        {"/a/b", "c.csv", "/a/b/c.csv"},
        {"/a/b/", "c.csv", "/a/b/c.csv"},
        {"/", "c.csv", "/c.csv"},
        {"relative", "c.csv", "relative/c.csv"},
        {"~", "c.csv", home + "/c.csv"},
        {"~/Exports/", "c.csv", home + "/Exports/c.csv"},
        {"~ann/x", "c.csv", "~ann/x/c.csv"},
        {"/a/~/b", "c.csv", "/a/~/b/c.csv"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CWizardPathSelection::joinPath(c.folder, c.fileName), c.path)
            << c.folder.toStdString();
    }
    const auto split = CWizardPathSelection::splitPath(QStringLiteral("/a/b/c.csv"));
    EXPECT_EQ(split.folder, QStringLiteral("/a/b/"));
    EXPECT_EQ(split.fileName, QStringLiteral("c.csv"));
    EXPECT_EQ(CWizardPathSelection::splitPath(QStringLiteral("/c.csv")).folder,
              QStringLiteral("/"));
}

TEST(DocumentsFolderTest, EnvironmentThenXdgUserDirThenDocumentsThenHome) {
    test_support::TempDir dir;
    const QString home = qpath(dir.file("home"));
    const QString documents = home + QStringLiteral("/Documents");
    const QString configured = home + QStringLiteral("/Dokumente");
    const QString elsewhere = qpath(dir.file("elsewhere"));
    for (const QString& folder : {documents, configured, elsewhere}) {
        ASSERT_TRUE(QDir().mkpath(folder));
    }
    const auto answering = [](QString answer) { return [answer] { return answer; }; };
    using Sources = DocumentsFolder::Sources;

    EXPECT_EQ(DocumentsFolder::find(Sources{elsewhere + u'/', answering(configured), home}),
              elsewhere);
    // A variable naming no folder, or a relative one, is passed over.
    EXPECT_EQ(DocumentsFolder::find(Sources{home + "/nope", answering(configured), home}),
              configured);
    EXPECT_EQ(DocumentsFolder::find(Sources{"Documents", answering(configured), home}), configured);
    // xdg-user-dir answers the home folder when no documents folder is configured.
    EXPECT_EQ(DocumentsFolder::find(Sources{{}, answering(home), home}), documents);
    EXPECT_EQ(DocumentsFolder::find(Sources{{}, answering({}), home}), documents);
    EXPECT_EQ(DocumentsFolder::find(Sources{{}, nullptr, home}), documents);
    ASSERT_TRUE(QDir(documents).removeRecursively());
    EXPECT_EQ(DocumentsFolder::find(Sources{{}, answering(home), home}), home);
    EXPECT_EQ(DocumentsFolder::find(Sources{{}, nullptr, {}}), QString());
    EXPECT_EQ(DocumentsFolder::find(Sources{{}, nullptr, home + "/gone"}), QString());
}

}  // namespace
