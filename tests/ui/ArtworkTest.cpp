// The program's pictures: present, sharp at every size, and visible on light and dark themes
// alike (no thin dark lines on transparent ground that vanish on a dark panel).
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QVBoxLayout>
#include <QWidget>
#include <QWizard>

#include "Screenshots.h"
#include "ui/Artwork.h"
#include "ui/HeaderBand.h"
#include "ui/WizardArtwork.h"

namespace {

const QColor kLight(0xf5, 0xf5, 0xf5);
const QColor kDark(0x2a, 0x2a, 0x2e);

// The share of pixels that stand out from the background once the picture is laid on it.
double visibleShare(const QPixmap& picture, const QColor& background) {
    QImage image(picture.size(), QImage::Format_RGB32);
    image.fill(background);
    {
        QPainter painter(&image);
        QPixmap unscaled = picture;
        unscaled.setDevicePixelRatio(1.0);
        painter.drawPixmap(0, 0, unscaled);
    }
    int visible = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int difference = std::max({std::abs(c.red() - background.red()),
                                             std::abs(c.green() - background.green()),
                                             std::abs(c.blue() - background.blue())});
            visible += difference > 48 ? 1 : 0;
        }
    }
    return static_cast<double>(visible) / (image.width() * image.height());
}

TEST(Artwork, TheProgramIconIsSharpAndVisibleOnLightAndDarkAtEverySize) {
    const QIcon icon = artwork::programIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(QSize(256, 256)).size(), QSize(256, 256)) << "drawn, not scaled up";
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QPixmap drawn = artwork::render(artwork::programIconPath(), QSize(side, side), 1.0);
        ASSERT_EQ(drawn.size(), QSize(side, side));
        EXPECT_GT(visibleShare(drawn, kLight), 0.3) << side << " px on a light panel";
        EXPECT_GT(visibleShare(drawn, kDark), 0.3) << side << " px on a dark panel";
    }
}

TEST(Artwork, TheHeaderPictureIsWideAndVisibleOnLightAndDark) {
    const QSize natural = artwork::naturalSize(artwork::headerPicturePath());
    ASSERT_FALSE(natural.isEmpty());
    EXPECT_GT(natural.width(), natural.height() * 2);
    for (const qreal ratio : {1.0, 2.0}) {
        const QPixmap drawn = artwork::render(artwork::headerPicturePath(), natural, ratio);
        ASSERT_EQ(drawn.size(), natural * ratio) << "drawn for the screen's pixel ratio";
        EXPECT_GT(visibleShare(drawn, kLight), 0.2);
        EXPECT_GT(visibleShare(drawn, kDark), 0.2);
    }
    EXPECT_TRUE(artwork::render(QStringLiteral(":/no/such.svg"), natural, 1.0).isNull());
}

QPalette darkPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x30));
    palette.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x20));
    palette.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3d));
    palette.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    palette.setColor(QPalette::Mid, QColor(0x55, 0x55, 0x5a));
    return palette;
}

class HeaderBandTheme : public ::testing::TestWithParam<bool> {};

TEST_P(HeaderBandTheme, DrawsThePictureOnTheRightOverTheThemesBase) {
    const bool dark = GetParam();
    QWidget window;
    if (dark) {
        window.setPalette(darkPalette());
    }
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* band = new HeaderBand;
    layout->addWidget(band);
    layout->addStretch();
    window.resize(560, 200);
    window.show();
    ui_test::saveScreenshot(&window, QStringLiteral("HeaderBand-%1").arg(dark ? "dark" : "light"));

    const QImage image = band->grab().toImage();
    const qreal ratio = band->devicePixelRatioF();
    const QRgb base = band->palette().color(QPalette::Base).rgb();
    EXPECT_EQ(band->height(), HeaderBand::kHeight);
    const QRect picture =
        HeaderBand::pictureRect(band->size(), artwork::naturalSize(artwork::headerPicturePath()));
    ASSERT_TRUE(picture.isValid());
    EXPECT_EQ(picture.right(), band->width() - 17);
    EXPECT_GT(picture.left(), band->width() / 2) << "the picture keeps to the right";

    auto at = [&](int x, int y) {
        return image.pixel(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
    };
    // The left part is the theme's base; the separator is the theme's line colour.
    EXPECT_EQ(at(10, 10), base);
    EXPECT_EQ(at(band->width() / 4, band->height() / 2), base);
    EXPECT_EQ(at(10, band->height() - 1), band->palette().color(QPalette::Mid).rgb());
    // The picture is there.
    int differing = 0;
    for (int y = picture.top(); y <= picture.bottom(); ++y) {
        for (int x = picture.left(); x <= picture.right(); ++x) {
            differing += at(x, y) != base ? 1 : 0;
        }
    }
    EXPECT_GT(differing, picture.width() * picture.height() / 4);
}

TEST_P(HeaderBandTheme, AWizardShowsTheIconAndThePictureInItsHeader) {
    const bool dark = GetParam();
    QWizard wizard;
    if (dark) {
        wizard.setPalette(darkPalette());
    }
    wizard.setWizardStyle(QWizard::ModernStyle);
    auto* page = new QWizardPage;
    page->setTitle(QStringLiteral("Device List"));
    page->setSubTitle(QStringLiteral("Choose the phone to read."));
    wizard.addPage(page);
    applyWizardArtwork(&wizard);
    applyWizardArtwork(&wizard);  // twice does no harm
    wizard.resize(560, 400);
    wizard.show();
    ui_test::saveScreenshot(&wizard, QStringLiteral("Wizard-%1").arg(dark ? "dark" : "light"));

    EXPECT_FALSE(wizard.windowIcon().isNull());
    // One watcher for screen changes, however often the artwork was applied.
    EXPECT_EQ(wizard
                  .findChildren<QObject*>(QStringLiteral("contaxio-header-picture-watcher"),
                                          Qt::FindDirectChildrenOnly)
                  .size(),
              1);
    const QPixmap picture = wizard.pixmap(QWizard::LogoPixmap);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.devicePixelRatio(), wizard.devicePixelRatioF());
    EXPECT_EQ(qRound(picture.height() / picture.devicePixelRatio()), 56);
    EXPECT_GT(visibleShare(picture, dark ? kDark : kLight), 0.2);
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, HeaderBandTheme, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "Dark" : "Light"; });

}  // namespace
