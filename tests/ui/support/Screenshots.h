#pragma once

#include <QString>

class QWidget;

namespace ui_test {

// The folder named by CONTAXIO_SCREENSHOTS; empty when screenshots are not wanted.
QString screenshotFolder();

// Saves a PNG of the widget as <folder>/<name>.png when CONTAXIO_SCREENSHOTS names a folder
// (created when missing). The name is kept to letters, digits, '-', '_' and '.'. Returns the
// file written, or an empty string when no screenshot was wanted; a failure to write fails
// the running test.
QString saveScreenshot(QWidget* widget, const QString& name);

// "<test suite>.<test name>" of the running test, for screenshot names.
QString currentTestName();

}  // namespace ui_test
