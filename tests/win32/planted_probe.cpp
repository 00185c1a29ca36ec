// Imports winmm.dll the ordinary way, at load time, as zyltool.exe once did: started beside
// a planted winmm.dll, it loads that one, which shows the planted-DLL check can fail.
#include <windows.h>

#include <mmsystem.h>

int main() {
    return ::timeBeginPeriod(1) == TIMERR_NOERROR && ::timeEndPeriod(1) == TIMERR_NOERROR ? 0 : 1;
}
