// contaxio, the wizard: copies the contacts of a USB phone to a CSV file, page by page.
#include <QApplication>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/ApplicationRun.h"
#include "app/LanguageManager.h"
#include "charsets/ShownText.h"
#include "devices/DeviceRoots.h"
#include "session/TraceFile.h"
#include "ui/Artwork.h"
#include "ui/DemoPhone.h"
#include "ui/QtAppHost.h"
#include "ui/QtHelpViewer.h"
#include "ui/QtLanguageNames.h"
#include "ui/QtUserDialogs.h"
#include "ui/SingleInstance.h"
#include "ui/TerminationSignals.h"
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

// Whether Qt has a screen to show windows on: a desktop session's display, or a platform the
// user chose (QT_QPA_PLATFORM, or Qt's -platform option). Without one Qt would end the program
// at once with an abort.
bool hasScreen(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return true;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return true;
        }
    }
    return false;
}

// A platform without a screen: a box there could be neither seen nor answered.
bool isScreenless(const QString& platform) {
    return platform == QStringLiteral("offscreen") || platform == QStringLiteral("minimal");
}

}  // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) {
        std::fputs(WizardCommandLine::usage(), stdout);
        return 0;
    }
    // Without a screen Qt runs offscreen until the command line is known: "-uninstall" needs no
    // window (over SSH, say); the wizard does, and is refused below.
    const bool screen = hasScreen(argc, argv);
    if (!screen) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Contaxio"));
    // The installed desktop entry's name, so that docks match the window to its menu entry.
    QApplication::setDesktopFileName(QStringLiteral(CONTAXIO_APP_ID));
    QApplication::setWindowIcon(artwork::programIcon());
    // The wizard runs modally; nothing waits for the last window to close.
    QApplication::setQuitOnLastWindowClosed(false);
    // Ctrl-C, SIGTERM and SIGHUP end every event loop that runs (the wizard's, a message box's):
    // the run then ends as when the wizard is closed.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &application,
                     [] { QCoreApplication::exit(0); });

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
    if (!screen && !line.uninstall) {
        std::fputs(
            "contaxio: no display to show the wizard on (neither WAYLAND_DISPLAY nor "
            "DISPLAY is set); start it in a desktop session, or export from a terminal "
            "with contaxio-cli.\n",
            stderr);
        return 1;
    }

    // The byte trace of every phone the wizard talks to, from before the first probe on.
    std::unique_ptr<TraceFile> trace;
    if (!line.trace.empty() && !line.uninstall) {
        int error = 0;
        trace = TraceFile::begin(line.trace, "contaxio", "", error);
        if (!trace) {
            std::fprintf(stderr, "contaxio: cannot write the byte trace to %s: %s\n",
                         shownText(line.trace).c_str(),
                         error == EINVAL ? "it is a terminal" : std::strerror(error));
            return 1;
        }
    }

    QtAppHost::Options options;
    std::unique_ptr<DemoPhone> demo;
    if (line.demo && !line.uninstall) {
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
    options.errorsToStandardError = isScreenless(QGuiApplication::platformName());

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
    if (trace && trace->failure() != 0) {
        std::fprintf(stderr, "contaxio: the byte trace in %s is incomplete: %s\n",
                     shownText(line.trace).c_str(), std::strerror(trace->failure()));
    }
    // Ended by a signal: the status a shell shows for it, now that everything is in order.
    if (termination.signalNumber() != 0) {
        return 128 + termination.signalNumber();
    }
    // Whatever the run came to: it has told the user itself.
    return 0;
}
