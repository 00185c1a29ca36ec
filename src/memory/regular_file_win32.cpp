#include "regular_file.h"

#include <windows.h>

#include "utf16_text.h"
#include "windows_error_text.h"

bool readRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                     std::string& reason) {
    // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS; a pipe, a COM port or the
    // console opens, and is told apart by its type before anything is read from it.
    HANDLE file = ::CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = windowsErrorText(::GetLastError());
        return false;
    }
    DWORD error = ::GetFileType(file) == FILE_TYPE_DISK ? ERROR_SUCCESS : ERROR_INVALID_FUNCTION;
    std::vector<std::uint8_t> read(limit);
    std::size_t count = 0;
    while (error == ERROR_SUCCESS && count < limit) {
        const std::size_t left = limit - count;
        const auto chunk = static_cast<DWORD>(left < (std::size_t{1} << 30) ? left : (std::size_t{1} << 30));
        DWORD got = 0;
        if (!::ReadFile(file, read.data() + count, chunk, &got, nullptr)) {
            error = ::GetLastError();
        } else if (got == 0) {
            break;
        }
        count += got;
    }
    ::CloseHandle(file);
    if (error != ERROR_SUCCESS) {
        reason = windowsErrorText(error);
        return false;
    }
    read.resize(count);
    bytes = std::move(read);
    return true;
}
