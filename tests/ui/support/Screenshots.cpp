#include "Screenshots.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace ui_test {

QString screenshotFolder() {
    return qEnvironmentVariable("CONTAXIO_SCREENSHOTS");
}

QString saveScreenshot(QWidget* widget, const QString& name) {
    const QString folder = screenshotFolder();
    if (folder.isEmpty() || widget == nullptr) {
        return {};
    }
    QString clean;
    for (const QChar c : name) {
        const bool kept = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                          (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u'.';
        clean += kept ? c : QChar(u'_');
    }
    if (clean.isEmpty() || clean.startsWith(u'.')) {
        clean.prepend(u'_');
    }
    const QString path = QDir(folder).filePath(clean + QStringLiteral(".png"));
    if (!QDir().mkpath(folder) || !widget->grab().save(path, "PNG")) {
        ADD_FAILURE() << "cannot write the screenshot " << path.toStdString();
        return {};
    }
    return path;
}

QString currentTestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (info == nullptr) {
        return QStringLiteral("outside-a-test");
    }
    return QString::fromUtf8(info->test_suite_name()) + u'.' + QString::fromUtf8(info->name());
}

}  // namespace ui_test
