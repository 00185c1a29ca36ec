#include "system_library.h"

#include <string>

namespace {

// SetDefaultDllDirectories came with Windows 8, and to Windows 7 with its update KB2533623;
// LoadLibraryExW knows LOAD_LIBRARY_SEARCH_SYSTEM32 exactly where it is there.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

SetDefaultDllDirectoriesFunction setDefaultDllDirectories() {
    return systemFunction<SetDefaultDllDirectoriesFunction>(::GetModuleHandleW(L"kernel32.dll"),
                                                            "SetDefaultDllDirectories");
}

}  // namespace

void restrictDllSearch() {
    const auto setDefault = setDefaultDllDirectories();
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // At least the current folder leaves the search.
        ::SetDllDirectoryW(L"");
    }
}

HMODULE loadSystemLibrary(const wchar_t* name) {
    if (setDefaultDllDirectories() != nullptr) {
        return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // The full path loads that file and no other of the name.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const UINT length = ::GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
        if (length == 0) {
            return nullptr;
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(length);
    }
    return ::LoadLibraryW((path + L'\\' + name).c_str());
}
