// zyltool.exe: the Windows program.
#include <windows.h>

#include "main_dialog.h"
#include "serial_port.h"
#include "zyl_app.h"

namespace {

// While the search opens port after port, the window shows each line as it is logged.
void paintWaitingWindows() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ZylApp app;
    MainDialog dialog(theSerialPort);
    dialog.afterPortTried = paintWaitingWindows;
    app.InitInstance(dialog);
    return 0;
}
