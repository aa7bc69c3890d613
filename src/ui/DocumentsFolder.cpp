#include "ui/DocumentsFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

constexpr int kXdgUserDirTimeoutMs = 2000;

// The folder as an absolute, clean path when it is one and exists; else empty.
QString existingFolder(const QString& path) {
    if (path.isEmpty() || !QDir::isAbsolutePath(path)) {
        return {};
    }
    const QFileInfo info(path);
    return info.isDir() ? QDir::cleanPath(path) : QString();
}

QString runXdgUserDir() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-user-dir"));
    if (program.isEmpty()) {
        return {};
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments({QStringLiteral("DOCUMENTS")});
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForFinished(kXdgUserDirTimeoutMs)) {
        process.kill();
        process.waitForFinished(kXdgUserDirTimeoutMs);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return {};
    }
    // File names are bytes in the locale's encoding; the output ends with a newline.
    QByteArray output = process.readAllStandardOutput();
    while (!output.isEmpty() && (output.back() == '\n' || output.back() == '\r')) {
        output.chop(1);
    }
    return QFile::decodeName(output);
}

}  // namespace

DocumentsFolder::Sources DocumentsFolder::fromProcess() {
    Sources sources;
    sources.xdgDocumentsDir = qEnvironmentVariable("XDG_DOCUMENTS_DIR");
    sources.xdgUserDir = runXdgUserDir;
    sources.home = qEnvironmentVariable("HOME");
    if (sources.home.isEmpty()) {
        sources.home = QDir::homePath();
    }
    return sources;
}

QString DocumentsFolder::find(const Sources& sources) {
    if (QString folder = existingFolder(sources.xdgDocumentsDir); !folder.isEmpty()) {
        return folder;
    }
    const QString home = existingFolder(sources.home);
    if (sources.xdgUserDir) {
        const QString folder = existingFolder(sources.xdgUserDir());
        if (!folder.isEmpty() && folder != home) {
            return folder;
        }
    }
    if (home.isEmpty()) {
        return {};
    }
    if (QString folder = existingFolder(home + QStringLiteral("/Documents")); !folder.isEmpty()) {
        return folder;
    }
    return home;
}
