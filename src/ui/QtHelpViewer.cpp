#include "ui/QtHelpViewer.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

bool QtHelpViewer::openHelpPage(const std::filesystem::path& page, const std::string& anchor) {
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(page.string()));
    if (!anchor.empty()) {
        url.setFragment(QString::fromStdString(anchor));
    }
    return QDesktopServices::openUrl(url);
}
