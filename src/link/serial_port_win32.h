#pragma once

// SerialPort's state on Windows, for serial_port_win32.cpp and its tests.

#include <windows.h>

#include <functional>

#include "serial_port.h"

// Every call the port makes to Windows, the real ones unless a test stands in for a driver
// (a slow open, refused settings, a busy port) or for the time the open's wait measures.
struct WindowsCalls {
    std::function<HANDLE(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)> createFile =
        ::CreateFileA;
    std::function<BOOL(HANDLE, LPDCB)> setCommState = ::SetCommState;
    std::function<BOOL(HANDLE, LPCOMMTIMEOUTS)> setCommTimeouts = ::SetCommTimeouts;
    std::function<BOOL(HANDLE, DWORD, DWORD)> setupComm = ::SetupComm;
    std::function<BOOL(HANDLE, DWORD)> purgeComm = ::PurgeComm;
    std::function<BOOL(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)> readFile = ::ReadFile;
    std::function<BOOL(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)> writeFile = ::WriteFile;
    std::function<BOOL(HANDLE)> closeHandle = ::CloseHandle;
    std::function<BOOL(HANDLE)> cancelSynchronousIo = ::CancelSynchronousIo;
    std::function<DWORD(DWORD, const HANDLE*, BOOL, DWORD, DWORD)> msgWaitForMultipleObjects =
        ::MsgWaitForMultipleObjects;
    std::function<ULONGLONG()> getTickCount64 = ::GetTickCount64;
};

struct SerialPort::Device {
    // A Bluetooth port connects inside CreateFileA, which may take seconds; the open runs
    // on a helper thread while the window goes on answering. After `waitLine` the link-wait
    // handler is told, and every `waitLine` again; after `bound` the open is given up.
    static constexpr DWORD kWaitLineMs = 1000;
    static constexpr DWORD kBoundMs = 10000;

    HANDLE handle = INVALID_HANDLE_VALUE;
    WindowsCalls calls;
    ULONGLONG lastInputTick = 0;  // of the last read that took bytes, or of the open
};
