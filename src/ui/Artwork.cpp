#include "ui/Artwork.h"

#include <QPainter>
#include <QSvgRenderer>

// The resources live in this static library; registering them here makes sure that the linker
// keeps them for every program that uses the artwork.
static int registerArtwork() {
    Q_INIT_RESOURCE(artwork);
    return 0;
}

namespace artwork {

namespace {

void ensureResources() {
    [[maybe_unused]] static const int registered = registerArtwork();
}

// Fits size into the box keeping its proportions, centred.
QRectF fitted(QSizeF size, QRectF box) {
    size.scale(box.size(), Qt::KeepAspectRatio);
    return QRectF(box.x() + (box.width() - size.width()) / 2,
                  box.y() + (box.height() - size.height()) / 2, size.width(), size.height());
}

}  // namespace

QString programIconPath() {
    ensureResources();
    return QStringLiteral(":/contaxio/contaxio.svg");
}

QString headerPicturePath() {
    ensureResources();
    return QStringLiteral(":/contaxio/header.svg");
}

QIcon programIcon() {
    QIcon icon(programIconPath());
    if (!icon.pixmap(32).isNull()) {
        return icon;
    }
    // Without Qt's SVG icon engine, the usual sizes drawn here.
    QIcon drawn;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        drawn.addPixmap(render(programIconPath(), QSize(side, side), 1.0));
    }
    return drawn;
}

QSize naturalSize(const QString& svgPath) {
    ensureResources();
    const QSvgRenderer renderer(svgPath);
    return renderer.isValid() ? renderer.defaultSize() : QSize();
}

QPixmap render(const QString& svgPath, QSize size, qreal devicePixelRatio) {
    ensureResources();
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid() || size.isEmpty() || devicePixelRatio <= 0) {
        return {};
    }
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, fitted(renderer.defaultSize(), QRectF(QPointF(0, 0), QSizeF(size))));
    return pixmap;
}

}  // namespace artwork
