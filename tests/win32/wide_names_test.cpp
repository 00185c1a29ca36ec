// File names beyond ASCII through the file code the archive uses. scripts/run-wine-tests runs
// the names under a Western locale (ANSI code page 1252, which has neither "ř" nor "č"), and
// the error texts under a Czech one, where the system's own wording has Czech letters.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "code_page_1250.h"
#include "image_file.h"
#include "temp_folder.h"
#include "utf16_text.h"

namespace {

const std::string kFolder = "Jiří";
const std::string kFile = "Záloha č. 2.zrd";
const std::wstring kWideFolder = L"Ji\u0159\u00ed";
const std::wstring kWideFile = L"Z\u00e1loha \u010d. 2.zrd";

MemoryImage sampleImage() {
    MemoryImage image;
    for (int i = 0; i < kImageSize; ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    }
    return image;
}

// The test's own folder "Jiří", made through the W functions.
class WideNames : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(::CreateDirectoryW(wideFolder().c_str(), nullptr)); }
    std::wstring wideFolder() const { return wideFromUtf8(temp_.path()) + L"\\" + kWideFolder; }
    std::string folder() const { return temp_.path() + "\\" + kFolder; }

private:
    TempFolder temp_;
};

TEST_F(WideNames, SavesUnderExactlyTheNameChosen) {
    const MemoryImage image = sampleImage();
    const FileResult result = writeImageFile(folder() + "\\" + kFile, {5, 65, 1, 0}, image);
    ASSERT_TRUE(result.ok()) << result.detail;

    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((wideFolder() + L"\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::wstring names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names += name + L"|";
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    EXPECT_EQ(utf8FromWide(names), kFile + "|");
}

TEST_F(WideNames, LoadsAFileMadeUnderSuchAName) {
    const MemoryImage image = sampleImage();
    std::string bytes = {5, 65, '1', '0'};
    bytes.append(image.begin(), image.end());
    HANDLE file = ::CreateFileW((wideFolder() + L"\\" + kWideFile).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ::CloseHandle(file);

    ArchiveSettings settings;
    MemoryImage read{};
    const FileResult result = readImageFile(folder() + "\\" + kFile, settings, read);
    ASSERT_TRUE(result.ok()) << result.detail;
    EXPECT_EQ(read, image);
    EXPECT_EQ(settings.recordSize, 65);
}

// The reason the archive puts in its log is the system's wording, letter for letter: a folder
// of the chosen name stands where the file would go, which Windows refuses as access denied.
TEST_F(WideNames, AFileErrorKeepsTheSystemsOwnLetters) {
    ASSERT_TRUE(::CreateDirectoryW((wideFolder() + L"\\" + kWideFile).c_str(), nullptr));
    const FileResult result = writeImageFile(folder() + "\\" + kFile, {5, 65, 1, 0}, sampleImage());
    ASSERT_EQ(result.status, FileResult::Status::WriteFailed);

    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        ERROR_ACCESS_DENIED, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    ASSERT_GT(length, 0u);
    std::wstring wording(text, length);
    ::LocalFree(text);
    while (!wording.empty() &&
           (wording.back() == L'\n' || wording.back() == L'\r' || wording.back() == L' ')) {
        wording.pop_back();
    }
    EXPECT_EQ(result.detail, utf8FromWide(wording));
    // Under a Czech Windows (scripts/run-wine-tests sets this for its run under cs_CZ) the
    // wording has Czech letters, and the log, in code page 1250, keeps every one of them.
    if (::GetEnvironmentVariableW(L"ZYL_EXPECT_CZECH_ERRORS", nullptr, 0) > 0) {
        const std::string logged = utf8ToCp1250(result.detail);
        EXPECT_EQ(logged.find('?'), std::string::npos) << result.detail;
        EXPECT_NE(std::find_if(logged.begin(), logged.end(), [](char c) { return (c & 0x80) != 0; }),
                  logged.end())
            << "no Czech letter in '" << result.detail << "'";
    }
}

}  // namespace
