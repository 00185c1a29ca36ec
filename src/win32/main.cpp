// zyltool.exe: the Windows program.
#include <windows.h>

#include "main_dialog.h"
#include "serial_port.h"
#include "system_library.h"
#include "zyl_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    restrictDllSearch();
    ZylApp app;
    MainDialog dialog(theSerialPort);
    app.InitInstance(dialog);
    return 0;
}
