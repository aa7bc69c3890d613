#include "ui/HeaderBand.h"

#include <QPaintEvent>
#include <QPainter>
#include <QSvgRenderer>

#include "ui/Artwork.h"

namespace {

constexpr int kMargin = 8;
constexpr int kRightMargin = 16;

}  // namespace

HeaderBand::HeaderBand(QWidget* parent)
    : QWidget(parent), picture_(std::make_unique<QSvgRenderer>(artwork::headerPicturePath())) {
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Contaxio"));
}

HeaderBand::~HeaderBand() = default;

QSize HeaderBand::sizeHint() const {
    return {400, kHeight};
}

QSize HeaderBand::minimumSizeHint() const {
    return {kRightMargin * 2, kHeight};
}

QRect HeaderBand::pictureRect(QSize band, QSize pictureSize) {
    const int height = band.height() - 2 * kMargin - 1;
    if (height <= 0 || pictureSize.isEmpty()) {
        return {};
    }
    const int width = pictureSize.width() * height / pictureSize.height();
    return {band.width() - kRightMargin - width, kMargin, width, height};
}

void HeaderBand::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    // The separator: the theme's own line colour, visible on light and dark bases alike.
    painter.fillRect(QRect(0, height() - 1, width(), 1), palette().color(QPalette::Mid));
    if (picture_->isValid()) {
        const QRect target = pictureRect(size(), picture_->defaultSize());
        if (target.isValid() && target.left() >= 0) {
            painter.setRenderHint(QPainter::Antialiasing);
            picture_->render(&painter, target);
        }
    }
}
