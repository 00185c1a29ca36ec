#pragma once

#include <windows.h>

// Windows' own DLLs only: the program imports at load time nothing but KnownDLLs (and the
// common controls, which the manifest takes from the system's side-by-side store), and loads
// any other DLL from System32 by name, never from the folder it was started from, where a
// browser's downloads lie beside it.

// Takes the program's folder and the current folder out of the DLL search for the rest of
// the run. First thing at start, before anything loads a DLL by name.
void restrictDllSearch();

// The DLL of that name from System32, or nullptr.
HMODULE loadSystemLibrary(const wchar_t* name);

// A function of a loaded DLL as the type it has, or nullptr.
template <typename Function>
Function systemFunction(HMODULE library, const char* name) {
    return library == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}
