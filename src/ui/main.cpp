// contaxio, the wizard. For now a window with the program's header band: the wizard's pages
// come with the application shell. The single instance per user session is in force already.
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

#include "ui/Artwork.h"
#include "ui/HeaderBand.h"
#include "ui/SingleInstance.h"
#include "ui/WindowActivation.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Contaxio"));
    QApplication::setDesktopFileName(QStringLiteral("contaxio"));
    QApplication::setWindowIcon(artwork::programIcon());

    SingleInstance instance(SingleInstance::defaultSocketPath());
    switch (instance.start()) {
        case SingleInstance::Outcome::ActivatedOther:
            return 0;
        case SingleInstance::Outcome::OtherUnreachable:
            std::fprintf(stderr, "contaxio: another instance runs but cannot be reached (%s)\n",
                         qPrintable(instance.errorString()));
            return 0;
        case SingleInstance::Outcome::First:
            break;
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("Contaxio"));
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new HeaderBand);
    auto* note =
        new QLabel(QStringLiteral("The wizard's pages are not part of this build yet.\n"
                                  "Meanwhile, contaxio-cli exports a phone's contacts."));
    note->setMargin(16);
    layout->addWidget(note, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->setContentsMargins(16, 0, 16, 16);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QWidget::close);
    layout->addWidget(buttons);

    instance.setActivationHandler([&window](const QString& token) {
        bringToFront(&window, token);
        return true;
    });
    window.resize(560, 300);
    window.show();
    return QApplication::exec();
}
