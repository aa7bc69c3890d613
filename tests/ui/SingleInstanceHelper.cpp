// A tiny program for the single-instance tests: one start of "the wizard" on a given socket.
//
//   contaxio_single_instance_helper <socket> [--timeout <ms>] [--token <token>] [--no-window]
//                                   [--exit-after <activations>]
//
// Reports on standard error: "first listening" (or "first unguarded: <why>"),
// "activated-other", "unreachable: <why>", and "raised token=<token>" for each later start
// that asked it to come to the front. The first instance runs until it has been asked
// --exit-after times (forever without it); the others end at once. Exit status 0.
#include <QCoreApplication>
#include <QStringList>

#include <chrono>
#include <cstdio>

#include "ui/SingleInstance.h"

namespace {

void report(const QString& line) {
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        report(QStringLiteral("usage: helper <socket> [options]"));
        return 2;
    }
    std::chrono::milliseconds timeout = SingleInstance::kDefaultTimeout;
    QString token;
    bool window = true;
    int exitAfter = 0;
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        const QString& option = arguments.at(i);
        const QString value = i + 1 < arguments.size() ? arguments.at(i + 1) : QString();
        if (option == QStringLiteral("--timeout")) {
            timeout = std::chrono::milliseconds(value.toInt());
            ++i;
        } else if (option == QStringLiteral("--token")) {
            token = value;
            ++i;
        } else if (option == QStringLiteral("--no-window")) {
            window = false;
        } else if (option == QStringLiteral("--exit-after")) {
            exitAfter = value.toInt();
            ++i;
        }
    }

    SingleInstance instance(arguments.at(1), timeout);
    switch (instance.start(token)) {
        case SingleInstance::Outcome::ActivatedOther:
            report(QStringLiteral("activated-other"));
            return 0;
        case SingleInstance::Outcome::OtherUnreachable:
            report(QStringLiteral("unreachable: ") + instance.errorString());
            return 0;
        case SingleInstance::Outcome::First:
            break;
    }
    report(instance.isListening() ? QStringLiteral("first listening")
                                  : QStringLiteral("first unguarded: ") + instance.errorString());
    int activations = 0;
    if (window) {
        instance.setActivationHandler([&activations, exitAfter](const QString& given) {
            report(QStringLiteral("raised token=") + given);
            if (++activations == exitAfter) {
                QCoreApplication::quit();
            }
            return true;
        });
    }
    return QCoreApplication::exec();
}
