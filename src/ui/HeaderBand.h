#pragma once

#include <QWidget>

#include <memory>

class QSvgRenderer;

// The band across the top of the wizard: the theme's base colour, the header picture on the
// right and a separator line at the bottom. It draws with the widget's palette, so it follows
// light and dark themes, and draws the picture as vectors, so it stays sharp at any pixel
// ratio.
class HeaderBand final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kHeight = 72;

    explicit HeaderBand(QWidget* parent = nullptr);
    ~HeaderBand() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Where the picture goes in a band of the given size (for the tests and for pages that
    // lay out beside it).
    static QRect pictureRect(QSize band, QSize pictureSize);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<QSvgRenderer> picture_;
};
