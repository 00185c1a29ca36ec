#include "atomic_file.h"

#include <windows.h>

#include <string>

#include "utf16_text.h"
#include "windows_error_text.h"

namespace {

// The final path of an open file, however long. Empty if the system cannot tell.
std::wstring finalPath(HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()),
                                                         FILE_NAME_NORMALIZED);
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length);  // the size it needs, its terminating zero counted
    }
}

// The file that will really be replaced. A symbolic link to a regular file is followed, so
// that the link itself survives the rename.
bool resolveTarget(const std::wstring& path, std::wstring& target, std::string& reason) {
    target = path;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return true;  // nothing there yet; a missing folder shows when the new file is made
    }
    // A folder is no file to replace, and a read-only file is one the user protects; Windows'
    // own rename refuses both, but not every system that runs us does.
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        reason = windowsErrorText(ERROR_ACCESS_DENIED);
        return false;
    }
    HANDLE existing = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existing == INVALID_HANDLE_VALUE) {
        return true;  // the rename reports whatever stands in the way
    }
    bool ok = ::GetFileType(existing) == FILE_TYPE_DISK;
    if (!ok) {
        reason = windowsErrorText(ERROR_INVALID_FUNCTION);
    } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        std::wstring resolved = finalPath(existing);
        if (!resolved.empty()) {
            target = std::move(resolved);
        }
    }
    ::CloseHandle(existing);
    return ok;
}

// Creates a new file in the target's folder, never reusing one that is already there. Its
// name is short: the target's own name may already be as long as the folder allows.
HANDLE createTemporary(const std::wstring& target, std::wstring& temporary) {
    const std::size_t separator = target.find_last_of(L"\\/:");
    const std::wstring folder =
        separator == std::wstring::npos ? std::wstring() : target.substr(0, separator + 1);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary =
            folder + L".zyl-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
        HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

// WriteFile takes a 32-bit count.
constexpr std::size_t kLargestWrite = std::size_t{1} << 30;

bool writeAll(HANDLE file, std::string_view bytes) {
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const auto chunk = static_cast<DWORD>(left < kLargestWrite ? left : kLargestWrite);
        DWORD written = 0;
        if (!::WriteFile(file, next, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& reason) {
    std::wstring target;
    if (!resolveTarget(wideFromUtf8(path), target, reason)) {
        return false;
    }
    std::wstring temporary;
    HANDLE file = createTemporary(target, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        reason = windowsErrorText(::GetLastError());
        return false;
    }

    bool ok = writeAll(file, bytes) && ::FlushFileBuffers(file);
    DWORD error = ::GetLastError();
    if (!::CloseHandle(file) && ok) {
        ok = false;
        error = ::GetLastError();
    }
    // Write-through: the call returns only when the new name is on the disk as well.
    if (ok && !::MoveFileExW(temporary.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        error = ::GetLastError();
    }
    if (!ok) {
        ::DeleteFileW(temporary.c_str());
        reason = windowsErrorText(error);
    }
    return ok;
}
