#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "ui/WindowActivation.h"

namespace {

TEST(WindowActivation, RestoresAMinimisedWindowAndActivatesIt) {
    QWidget other;
    other.show();
    QWidget window;
    window.show();
    window.showMinimized();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

    bringToFront(&window, QStringLiteral("token-1"));

    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(qgetenv("XDG_ACTIVATION_TOKEN"), QByteArray("token-1"));
    qunsetenv("XDG_ACTIVATION_TOKEN");
}

TEST(WindowActivation, AChildWidgetBringsItsWindow) {
    QWidget window;
    auto* child = new QWidget(&window);
    bringToFront(child);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    bringToFront(nullptr);  // nothing to do, no crash
}

}  // namespace
