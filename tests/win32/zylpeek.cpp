// zylpeek: looks into the windows of another program from outside, for the scenarios that
// drive ZylTool under Wine by key presses. A window is named by its caption, exactly, or by
// its beginning followed by '*'; only shown top-level windows count.
//
//   zylpeek wait CAPTION SECONDS   exits 0 once such a window is shown, 1 when none came
//   zylpeek gone CAPTION SECONDS   exits 0 once no such window is shown
//   zylpeek text CAPTION ID        prints the text of control ID (WM_GETTEXT), UTF-8
//   zylpeek state CAPTION ID       prints "enabled"/"disabled" and "visible"/"hidden"
//   zylpeek texts CAPTION          prints the id and text of every control, one a line
//   zylpeek windows                prints the caption of every shown window
//   zylpeek endsession CAPTION     tells the window that the session ends (a logout)
// Exit 2: no such window or control.

#include <windows.h>

#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    std::string out(
        static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                       nullptr, 0, nullptr, nullptr)),
        '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                          static_cast<int>(out.size()), nullptr, nullptr);
    return out;
}

// Through WM_GETTEXT, which reaches into another process, as GetWindowText does not for
// its controls.
std::wstring textOf(HWND window) {
    const auto length = static_cast<std::size_t>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto got = static_cast<std::size_t>(
        ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(got);
    return text;
}

std::vector<HWND> shownWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(
        [](HWND window, LPARAM list) -> BOOL {
            if (::IsWindowVisible(window)) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A caption that ends in '*' names the windows whose captions begin with the rest.
HWND findWindow(const std::wstring& caption) {
    const bool byBeginning = !caption.empty() && caption.back() == L'*';
    const std::wstring wanted = byBeginning ? caption.substr(0, caption.size() - 1) : caption;
    for (HWND window : shownWindows()) {
        const std::wstring text = textOf(window);
        if (byBeginning ? text.compare(0, wanted.size(), wanted) == 0 : text == wanted) {
            return window;
        }
    }
    return nullptr;
}

void print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

bool waitFor(const std::wstring& caption, double seconds, bool shown) {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    do {
        if ((findWindow(caption) != nullptr) == shown) {
            return true;
        }
        ::Sleep(50);
    } while (::GetTickCount64() < end);
    return false;
}

}  // namespace

int main() {
    // The texts go out as they are: "\r\n" stays "\r\n".
    _setmode(_fileno(stdout), _O_BINARY);
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"windows") {
        for (HWND window : shownWindows()) {
            print(utf8(textOf(window)));
        }
        return 0;
    }
    if (argc < 3) {
        std::fputs("usage: zylpeek wait|gone|text|state|texts|windows|endsession CAPTION [ID|SECONDS]\n",
                   stderr);
        return 2;
    }
    const std::wstring caption = argv[2];
    if (mode == L"wait" || mode == L"gone") {
        return waitFor(caption, argc > 3 ? std::wcstod(argv[3], nullptr) : 10, mode == L"wait") ? 0 : 1;
    }
    HWND window = findWindow(caption);
    if (window == nullptr) {
        std::fprintf(stderr, "zylpeek: no window \"%s\"\n", utf8(caption).c_str());
        return 2;
    }
    if (mode == L"endsession") {
        ::SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        return 0;
    }
    if (mode == L"texts") {
        for (HWND c = ::GetWindow(window, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
            print(std::to_string(static_cast<WORD>(::GetDlgCtrlID(c))) + " " + utf8(textOf(c)));
        }
        return 0;
    }
    if (argc < 4) {
        return 2;
    }
    HWND control = ::GetDlgItem(window, static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
    if (control == nullptr) {
        std::fprintf(stderr, "zylpeek: no control %s\n", utf8(argv[3]).c_str());
        return 2;
    }
    if (mode == L"text") {
        std::string text = utf8(textOf(control));
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    if (mode == L"state") {
        print(std::string(::IsWindowEnabled(control) ? "enabled" : "disabled") + " " +
              (::IsWindowVisible(control) ? "visible" : "hidden"));
        return 0;
    }
    return 2;
}
