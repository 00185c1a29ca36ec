// zylprobe: the Win32 start-up around the harness's own main window (ProbeDialog).
#include <windows.h>

#include "probe_dialog.h"
#include "zyl_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ZylApp app;
    ProbeDialog dialog;
    app.InitInstance(dialog);
    return 0;
}
