#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's own pictures, kept as SVG in the program's resources so that they stay sharp
// at every size and pixel ratio.
namespace artwork {

// Resource paths of the program icon (also installed as the desktop's icon) and the header
// picture of the wizard's header band.
QString programIconPath();
QString headerPicturePath();

// The program icon, scalable.
QIcon programIcon();

// The picture's natural size (its proportions); empty when it cannot be read.
QSize naturalSize(const QString& svgPath);

// An SVG drawn into a transparent pixmap of size device-independent pixels for a screen with
// the given pixel ratio, keeping its proportions and centred; null when it cannot be read.
QPixmap render(const QString& svgPath, QSize size, qreal devicePixelRatio);

}  // namespace artwork
