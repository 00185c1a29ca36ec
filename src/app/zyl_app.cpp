#include "zyl_app.h"

#include "app_icon.h"
#include "desktop.h"
#include "main_dialog.h"
#include "serial_port.h"

ZylApp::ZylApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("ZYL default"));
    setApplicationDisplayName(QStringLiteral("ZYL default"));
    setApplicationVersion(QStringLiteral(ZYL_VERSION));
    setWindowIcon(appIcon());
}

bool ZylApp::InitInstance() {
    // The port's two warnings are ownerless message boxes.
    SerialPort::setWarningHandler([](const std::string& text, const std::string& caption) {
        Desktop::current().messageBox(nullptr, QString::fromStdString(text), QString::fromStdString(caption));
    });
    MainDialog dialog(theSerialPort);
    SerialPort::setLinkWaitHandler(
        [&dialog](int portNumber, LinkWaitStep step) { dialog.onLinkWait(portNumber, step); });
    Desktop::current().runModal(dialog);
    SerialPort::setLinkWaitHandler({});
    return false;
}
