#include "ui/WizardPage.h"

#include "app/AppContext.h"

WizardPage::WizardPage(WizardPageId id, std::int32_t helpTopic, AppContext& app,
                       IWizardSheet& sheet, IUserDialogs& dialogs, QWidget* parent)
    : QWizardPage(parent),
      id_(id),
      helpTopic_(helpTopic),
      app_(app),
      sheet_(sheet),
      dialogs_(dialogs) {}

QString WizardPage::text(std::uint32_t id) const {
    return QString::fromStdU16String(app_.text(id));
}
