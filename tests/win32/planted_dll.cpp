// A stand-in for winmm.dll or comctl32.dll planted beside the program, as a browser's
// download might be: it exports what the program and the probe would import from either,
// and leaves a mark file beside itself ("winmm.dll.mark") as soon as anything loads it.
// Nothing of it is meant to run beyond that.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        std::wstring path(32768, L'\0');
        path.resize(::GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size())));
        HANDLE mark = ::CreateFileW((path + L".mark").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ::CloseHandle(mark);
    }
    return TRUE;
}

// Undecorated names in the export table (linked with --kill-at), as Windows' own DLLs have.
extern "C" {
__declspec(dllexport) UINT WINAPI timeBeginPeriod(UINT) {
    return 0;
}
__declspec(dllexport) UINT WINAPI timeEndPeriod(UINT) {
    return 0;
}
__declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void*) {
    return FALSE;
}
__declspec(dllexport) BOOL WINAPI SetWindowSubclass(HWND, void*, UINT_PTR, DWORD_PTR) {
    return FALSE;
}
__declspec(dllexport) BOOL WINAPI RemoveWindowSubclass(HWND, void*, UINT_PTR) {
    return FALSE;
}
__declspec(dllexport) LRESULT WINAPI DefSubclassProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
}
