#include "zyl_app.h"

#include <QLibraryInfo>
#include <QTranslator>

#include "app_icon.h"
#include "desktop.h"
#include "main_dialog.h"
#include "serial_port.h"
#include "termination_signals.h"

// No display name: Qt would append it to every window's caption.
ZylApp::ZylApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("ZYL default"));
    setApplicationVersion(QStringLiteral(ZYL_VERSION));
    setWindowIcon(appIcon());

    // The program speaks Czech whatever the system's language, Qt's own texts (context
    // menus, Yes/No, the file dialogs) included.
    auto* qtTexts = new QTranslator(this);
    if (qtTexts->load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(qtTexts);
    }

    // A signal that asks the program to end closes it as the close box does, only without
    // waiting for a nested dialog: every modal loop ends, and the main dialog's end sends
    // 0x04 and releases the port.
    connect(new TerminationSignals(this), &TerminationSignals::closeRequested, this, [] { exit(0); });
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
