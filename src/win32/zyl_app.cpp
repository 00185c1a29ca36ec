#include "zyl_app.h"

#include <windows.h>

#include <commctrl.h>

#include "serial_port.h"
#include "wide_text.h"
#include "win32_dialog_window.h"

ZylApp::ZylApp() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
}

bool ZylApp::InitInstance(Dialog& mainDialog) {
    // The port's two warnings are ownerless message boxes.
    SerialPort::setWarningHandler([](const std::string& text, const std::string& caption) {
        ::MessageBoxW(nullptr, wideFromCp1250(text).c_str(), wideFromCp1250(caption).c_str(), MB_OK);
    });
    Win32DialogWindow window(mainDialog);
    window.run();
    SerialPort::setWarningHandler({});
    return false;
}
