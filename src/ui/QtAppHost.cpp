#include "ui/QtAppHost.h"

#include <QEvent>
#include <QObject>
#include <QWindow>

#include <cstdio>

#include "app/AppContext.h"
#include "ui/CWizardSheet.h"
#include "ui/IUserDialogs.h"
#include "ui/SingleInstance.h"
#include "ui/WindowActivation.h"
#include "ui/WizardPageFactory.h"

namespace {

void trace(const char* event) {
    std::fprintf(stderr, "contaxio: %s\n", event);
    std::fflush(stderr);
}

// Tells when the sheet's window is first on the screen (exposed), once.
class FirstExposure final : public QObject {
public:
    explicit FirstExposure(QWidget* sheet) : sheet_(sheet) { sheet->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!done_ && watched == sheet_ && event->type() == QEvent::Show &&
            sheet_->windowHandle() != nullptr) {
            sheet_->windowHandle()->installEventFilter(this);
        } else if (!done_ && watched == sheet_->windowHandle() && event->type() == QEvent::Expose &&
                   sheet_->windowHandle()->isExposed()) {
            done_ = true;
            trace("first page shown");
        }
        return false;
    }

private:
    QWidget* sheet_;
    bool done_ = false;
};

// The activation handler is cleared however the wizard ends: the sheet it points to goes.
class ActivationScope {
public:
    ActivationScope(SingleInstance* instance, CWizardSheet& sheet, bool traced)
        : instance_(instance) {
        if (instance_ == nullptr) {
            return;
        }
        instance_->setActivationHandler([&sheet, traced](const QString& token) {
            bringToFront(&sheet, token);
            if (traced) {
                trace("brought to the front");
            }
            return true;
        });
    }
    ~ActivationScope() {
        if (instance_ != nullptr) {
            instance_->setActivationHandler({});
        }
    }
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

private:
    SingleInstance* instance_;
};

}  // namespace

QtAppHost::QtAppHost(IUserDialogs& dialogs, Options options)
    : dialogs_(dialogs), options_(std::move(options)) {}

QtAppHost::~QtAppHost() = default;

void QtAppHost::showError(const std::u16string& caption, const std::u16string& text) {
    if (options_.errorsToStandardError) {
        // One line: "contaxio: <caption>: <text>".
        const QString line = QString::fromStdU16String(caption) + QStringLiteral(": ") +
                             QString::fromStdU16String(text).simplified();
        std::fprintf(stderr, "contaxio: %s\n", line.toLocal8Bit().constData());
        std::fflush(stderr);
        return;
    }
    dialogs_.showMessage(
        nullptr, MessageRequest{QString::fromStdU16String(caption), QString::fromStdU16String(text),
                                MessageIcon::Error, MessageButtons::Ok});
}

IAppHost::InstanceClaim QtAppHost::claimInstance() {
    instance_ = std::make_unique<SingleInstance>(options_.instanceSocket);
    switch (instance_->start()) {
        case SingleInstance::Outcome::First:
            return InstanceClaim::Acquired;
        case SingleInstance::Outcome::ActivatedOther:
            instance_.reset();
            return InstanceClaim::BroughtForward;
        case SingleInstance::Outcome::OtherUnreachable:
            instance_.reset();
            break;
    }
    return InstanceClaim::OtherUnreachable;
}

void QtAppHost::runWizard(AppContext& app) {
    translations_.install(app.language());
    WizardPageFactory pages(options_.deviceRoots);
    CWizardSheet sheet(app, dialogs_, pages);
    QObject::connect(&sheet, &CWizardSheet::languageChanged, &sheet,
                     [this](std::uint16_t id) { translations_.install(id); });
    std::unique_ptr<FirstExposure> exposure;
    if (options_.trace) {
        exposure = std::make_unique<FirstExposure>(&sheet);
    }
    const ActivationScope activation(instance_.get(), sheet, options_.trace);
    sheet.exec();
}

void QtAppHost::releaseInstance() {
    instance_.reset();
}
