#include "ui/WizardArtwork.h"

#include <QEvent>
#include <QObject>
#include <QScreen>
#include <QWindow>
#include <QWizard>

#include "ui/Artwork.h"

namespace {

// The picture's height in the header band, in device-independent pixels.
constexpr int kPictureHeight = 56;
// Found by name: a class without Q_OBJECT cannot be found by its type.
constexpr char kWatcherName[] = "contaxio-header-picture-watcher";

void setHeaderPicture(QWizard* wizard) {
    const QString path = artwork::headerPicturePath();
    const QSize natural = artwork::naturalSize(path);
    if (natural.isEmpty()) {
        return;
    }
    const QSize size(natural.width() * kPictureHeight / natural.height(), kPictureHeight);
    wizard->setPixmap(QWizard::LogoPixmap,
                      artwork::render(path, size, wizard->devicePixelRatioF()));
}

// Draws the picture again for the new pixel ratio when the wizard moves to another screen.
// The wizard's window exists once it is shown.
class ScreenWatcher final : public QObject {
public:
    explicit ScreenWatcher(QWizard* wizard) : QObject(wizard), wizard_(wizard) {
        setObjectName(QLatin1String(kWatcherName));
        wizard->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == wizard_ && event->type() == QEvent::Show && !connected_ &&
            wizard_->windowHandle() != nullptr) {
            connected_ = true;
            setHeaderPicture(wizard_);
            connect(wizard_->windowHandle(), &QWindow::screenChanged, this,
                    [this] { setHeaderPicture(wizard_); });
        }
        return false;
    }

private:
    QWizard* wizard_;
    bool connected_ = false;
};

}  // namespace

void applyWizardArtwork(QWizard* wizard) {
    if (wizard == nullptr) {
        return;
    }
    wizard->setWindowIcon(artwork::programIcon());
    setHeaderPicture(wizard);
    if (wizard->findChild<QObject*>(QLatin1String(kWatcherName), Qt::FindDirectChildrenOnly) ==
        nullptr) {
        new ScreenWatcher(wizard);
    }
}
