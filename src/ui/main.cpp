// contaxio, the wizard: copies the contacts of a USB phone to a CSV file, page by page.
#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/ApplicationRun.h"
#include "app/LanguageManager.h"
#include "devices/DeviceRoots.h"
#include "ui/Artwork.h"
#include "ui/DemoPhone.h"
#include "ui/QtAppHost.h"
#include "ui/QtHelpViewer.h"
#include "ui/QtLanguageNames.h"
#include "ui/QtUserDialogs.h"
#include "ui/SingleInstance.h"
#include "ui/WizardCommandLine.h"

namespace {

// --help works without a display: it is answered before Qt looks for one.
bool asksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) {
        std::fputs(WizardCommandLine::usage(), stdout);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Contaxio"));
    // The installed desktop entry's name, so that docks match the window to its menu entry.
    QApplication::setDesktopFileName(QStringLiteral(CONTAXIO_APP_ID));
    QApplication::setWindowIcon(artwork::programIcon());
    // The wizard runs modally; nothing waits for the last window to close.
    QApplication::setQuitOnLastWindowClosed(false);

    // The arguments Qt has left (it takes -platform, -style and its other options).
    std::vector<std::string> arguments;
    const QStringList words = QApplication::arguments();
    for (qsizetype i = 1; i < words.size(); ++i) {
        arguments.push_back(words.at(i).toLocal8Bit().toStdString());
    }
    const WizardCommandLine line = WizardCommandLine::parse(arguments);
    if (!line.error.empty()) {
        std::fprintf(stderr, "contaxio: %s\n%s", line.error.c_str(), WizardCommandLine::usage());
        return 2;
    }

    QtAppHost::Options options;
    std::unique_ptr<DemoPhone> demo;
    if (line.demo) {
        try {
            demo = std::make_unique<DemoPhone>();
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "contaxio: the simulated phone cannot be started: %s\n",
                         failure.what());
            return 1;
        }
        options.deviceRoots = demo->roots();
    }
    options.instanceSocket = SingleInstance::defaultSocketPath();
    options.trace = qEnvironmentVariable("CONTAXIO_TRACE") == QStringLiteral("1");

    QtUserDialogs dialogs;
    QtHelpViewer helpViewer;
    const QtLanguageNames languageNames;
    LanguageManager::instance().setLanguageNames(&languageNames);
    {
        AppContext app;
        app.setHelpViewer(&helpViewer);
        QtAppHost host(dialogs, options);
        runApplication(app, host, arguments);
    }
    LanguageManager::instance().setLanguageNames(nullptr);
    // Whatever the run came to: it has told the user itself.
    return 0;
}
