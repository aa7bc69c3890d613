// main() of every GUI test: a QApplication on the offscreen platform (unless the caller chose
// another one, say to watch a test on a desktop), Qt's own dialogs rather than the desktop's
// (which a test could not answer), then GoogleTest.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
