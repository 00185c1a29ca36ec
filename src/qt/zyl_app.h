#pragma once

#include <QApplication>

// The application: it runs the main dialog modally for the life of the program. Its start-up
// puts Qt's own texts into Czech and turns SIGTERM, SIGINT and SIGHUP into a close.
class ZylApp : public QApplication {
    Q_OBJECT
public:
    ZylApp(int& argc, char** argv);

    // Runs the main dialog until it closes; false, so the program then ends.
    bool InitInstance();
};
