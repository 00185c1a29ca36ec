#include "offscreen_app.h"

#include <QApplication>

void startOffscreenApp() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // libFuzzer's own options are not for Qt.
    static int argc = 1;
    static char name[] = "zyl-fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}
