// Every text of every dialog inside its control, measured in the font the control draws
// with (WM_GETFONT), at the screen's DPI: scripts/run-wine-tests runs this at 96, 120 and
// 144 DPI. Each control's line names the face GDI picked, so a substituted face shows.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "about_dialog.h"
#include "archive_dialog.h"
#include "confirm_dialog.h"
#include "connect_dialog.h"
#include "key_dialog.h"
#include "main_dialog.h"
#include "recording_dialog.h"
#include "wide_text.h"
#include "win32_dialog_window.h"

namespace {

std::wstring textOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The text as drawn: "&" marks the access key, "&&" is one "&".
std::wstring drawnText(const std::wstring& text) {
    std::wstring drawn;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) {
            ++i;
        }
        drawn += text[i];
    }
    return drawn;
}

// The room a control leaves its text: a push button's frame and focus rectangle, a check
// box's or radio button's box and the gap after it.
int textRoom(HWND control, const std::wstring& kind, LONG style, int width) {
    if (kind != L"Button") {
        return width;
    }
    const int type = style & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        return width - 2 * (::GetSystemMetrics(SM_CXEDGE) + 1);
    }
    if (type == BS_GROUPBOX) {
        return width - 2 * ::GetSystemMetrics(SM_CXEDGE) - 8;
    }
    (void)control;
    return width - ::GetSystemMetrics(SM_CXMENUCHECK) - ::GetSystemMetrics(SM_CXEDGE);
}

// The controls of the dialog whose texts do not fit, one line each; every control's line
// is printed.
std::string misfits(HWND dialog) {
    std::string misfit;
    HDC dc = ::GetDC(dialog);
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t kindBuffer[32] = {};
        ::GetClassNameW(c, kindBuffer, 32);
        const std::wstring kind = kindBuffer;
        const std::wstring text = drawnText(textOf(c));
        const LONG shownStyle = ::GetWindowLongW(c, GWL_STYLE);
        if (text.empty() || (shownStyle & WS_VISIBLE) == 0 ||
            (kind == L"Static" && (shownStyle & SS_TYPEMASK) == SS_ICON) ||
            (kind != L"Static" && kind != L"Button")) {
            continue;
        }
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(c, WM_GETFONT, 0, 0)));
        wchar_t face[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, face);
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        RECT client{};
        ::GetClientRect(c, &client);
        const LONG style = ::GetWindowLongW(c, GWL_STYLE);
        const int room = textRoom(c, kind, style, client.right);
        SIZE line{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &line);
        RECT wrapped{0, 0, room, 0};
        const bool wraps = kind == L"Static" && (style & SS_TYPEMASK) == SS_LEFT;
        if (wraps) {
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &wrapped,
                        DT_CALCRECT | DT_WORDBREAK);
        }
        ::SelectObject(dc, old);
        const int width = wraps ? wrapped.right : line.cx;
        const int height = wraps ? wrapped.bottom : line.cy;
        const bool fits = width <= room && height <= client.bottom;
        char row[512];
        std::snprintf(row, sizeof row, "%5d %s %dx%d in %dx%d, \"%s\" %ld px charset %d: %s\n",
                      static_cast<WORD>(::GetDlgCtrlID(c)), fits ? "fits" : "DOES NOT FIT", width, height,
                      room, static_cast<int>(client.bottom), utf8FromWide(face).c_str(), metrics.tmHeight,
                      metrics.tmCharSet, utf8FromWide(text).c_str());
        std::fputs(row, stdout);
        if (!fits) {
            misfit += row;
        }
    }
    ::ReleaseDC(dialog, dc);
    return misfit;
}

struct NamedTemplate {
    const char* name;
    const DialogTemplate& dialogTemplate;
};

TEST(TextsFit, EveryTextFitsItsControlInTheFontItIsDrawnIn) {
    const NamedTemplate dialogs[] = {
        {"main", kMainDialogTemplate},       {"about", kAboutDialogTemplate},
        {"connect", kConnectDialogTemplate}, {"key", kKeyDialogTemplate},
        {"archive", kArchiveDialogTemplate}, {"confirm", kConfirmDialogTemplate},
    };
    HDC screen = ::GetDC(nullptr);
    std::printf("%d DPI\n", ::GetDeviceCaps(screen, LOGPIXELSY));
    ::ReleaseDC(nullptr, screen);
    for (const NamedTemplate& d : dialogs) {
        SCOPED_TRACE(d.name);
        std::printf("%s\n", d.name);
        std::string misfit;
        RecordingDialog dialog(d.dialogTemplate,
                               [&](RecordingDialog& self, Window& window, const Dialog::Event& e) {
                                   if (e.kind == Dialog::Event::Kind::Init) {
                                       misfit = misfits(dynamic_cast<Win32DialogWindow&>(window).handle());
                                       self.endDialog(0);
                                   }
                               });
        Win32DialogWindow window(dialog);
        window.run();
        EXPECT_EQ(misfit, "");
    }
}

}  // namespace
