#include "win32_dialog_window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "cp1250_literal.h"
#include "main_dialog.h"
#include "recording_dialog.h"
#include "wide_text.h"

namespace {

using Kind = Dialog::Event::Kind;
using N = Dialog::Notification;
using namespace control_style;

enum : int { kField = 10, kSecret = 11, kAll = 12, kLog = 13, kList = 14, kHidden_ = 15, kLabel = -1 };
constexpr int kAbout = 0x10;
constexpr int kMove = 5, kAnswerBox = 6;  // timers

constexpr ListColumn kColumns[] = {{"ID:", 50}, {"Komentář:"_cp, 200}};
constexpr ControlTemplate kControls[] = {
    {kLabel, ControlKind::Static, "Přístupový kód & jméno"_cp, 7, 7, 100, 8},
    {kField, ControlKind::Edit, "", 7, 17, 100, 12},
    {kSecret, ControlKind::Edit, "", 7, 31, 100, 12, kPassword | kCentered},
    {kAll, ControlKind::CheckBox, "Vše"_cp, 115, 17, 40, 10},
    {kLog, ControlKind::LogBox, "", 7, 46, 200, 50},
    {kList, ControlKind::ReportList, "", 7, 98, 200, 40, 0, kColumns},
    {kHidden_, ControlKind::Button, "Skrytý"_cp, 115, 31, 40, 14, kHidden | kDisabled},
    {Dialog::kOk, ControlKind::Button, "OK", 160, 7, 50, 14, kDefault},
};
const DialogTemplate kTemplate{
    900,       "ZYL zkouška ěščřžýáíé"_cp,    220,  145, "MS Sans Serif", 8,
    kControls, {kAbout, "&O programu..."_cp}, true,
};

HWND windowOf(Window& window) {
    return dynamic_cast<Win32DialogWindow&>(window).handle();
}
HWND item(Window& window, int id) {
    return ::GetDlgItem(windowOf(window), static_cast<WORD>(id));
}

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A template's rectangle in the dialog units of the font the control is drawn in, reckoned
// as the dialog manager does: the dialog is laid out in the font it is drawn in.
RECT inDrawnDialogUnits(HWND control, RECT units) {
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    SIZE letters{};
    ::GetTextMetricsW(dc, &metrics);
    ::GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    const int unitX = (letters.cx / 26 + 1) / 2, unitY = metrics.tmHeight;
    return {::MulDiv(units.left, unitX, 4), ::MulDiv(units.top, unitY, 8), ::MulDiv(units.right, unitX, 4),
            ::MulDiv(units.bottom, unitY, 8)};
}

// The result the dialog ended with: -1 when the window never came, so a test whose checks
// sit in its script sees kOk only once the script has run to its end.
int run(RecordingDialog& dialog) {
    Win32DialogWindow window(dialog);
    return window.run();
}

TEST(Win32Texts, EveryByteOfTheCodePageSurvivesTheWayThroughUtf16) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(cp1250FromWide(wideFromCp1250(all)), all);
    EXPECT_EQ(wideFromCp1250("Připojit"_cp), L"P\u0159ipojit");
}

TEST(Win32Texts, CharactersTheCodePageLacksBecomeOneQuestionMarkEach) {
    struct Row {
        std::wstring wide;
        std::string cp1250;
    };
    const Row rows[] = {
        {L"ñ", "?"},
        {L"\u20AC", "\x80"},
        {L"\U0001F600x", "?x"},
        {L"kód", std::string("kód"_cp)},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(cp1250FromWide(row.wide), row.cp1250);
    }
}

TEST(Win32DialogWindow, BuildsTheControlsTheTemplateNames) {
    RecordingDialog dialog(kTemplate, [](RecordingDialog& d, Window& w, const Dialog::Event& e) {
        if (e.kind == Kind::Timer) {
            EXPECT_TRUE(w.hasFocus(kField));  // the first tab stop, once the window is up
            d.endDialog(Dialog::kOk);
            return;
        }
        if (e.kind != Kind::Init) {
            return;
        }
        EXPECT_EQ(textOf(windowOf(w)), wideFromCp1250(kTemplate.caption));
        EXPECT_EQ(textOf(item(w, kLabel)), L"P\u0159\u00EDstupov\u00FD k\u00F3d & jm\u00E9no");
        EXPECT_NE(::GetWindowLongW(item(w, kSecret), GWL_STYLE) & ES_PASSWORD, 0);
        EXPECT_EQ(::GetWindowLongW(item(w, Dialog::kOk), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        EXPECT_FALSE(w.isVisible(kHidden_));
        EXPECT_FALSE(w.isEnabled(kHidden_));
        EXPECT_TRUE(w.isVisible(kField));
        const RECT expected = inDrawnDialogUnits(item(w, kLog), {7, 46, 207, 96});
        RECT box{};
        ::GetWindowRect(item(w, kLog), &box);
        ::MapWindowPoints(nullptr, windowOf(w), reinterpret_cast<POINT*>(&box), 2);
        EXPECT_EQ(box.left, expected.left);
        EXPECT_EQ(box.bottom, expected.bottom);
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(item(w, kField), WM_GETFONT, 0, 0)), sizeof font,
                     &font);
        EXPECT_EQ(font.lfCharSet, EASTEUROPE_CHARSET);
        EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
        HMENU menu = ::GetSystemMenu(windowOf(w), FALSE);
        wchar_t last[64] = {};
        ::GetMenuStringW(menu, kAbout, last, 64, MF_BYCOMMAND);
        EXPECT_STREQ(last, L"&O programu...");
        w.startTimer(kMove, 10);
    });
    EXPECT_EQ(run(dialog), Dialog::kOk);
    ASSERT_FALSE(dialog.seen.empty());
    EXPECT_EQ(dialog.seen.front().kind, Kind::Init);
    EXPECT_EQ(dialog.seen.back().kind, Kind::Destroy);
}

TEST(Win32DialogWindow, TypedTextIsEditedAndSetTextIsNot) {
    RecordingDialog dialog(kTemplate, [](RecordingDialog& d, Window& w, const Dialog::Event& e) {
        if (e.kind == Kind::Init) {
            w.setText(kField, "Zpět"_cp);
            EXPECT_EQ(w.text(kField), "Zpět"_cp);
            EXPECT_EQ(textOf(item(w, kField)), L"Zp\u011Bt");
            EXPECT_FALSE(d.saw(Kind::Command, kField, N::Edited));
            ::SendMessageW(item(w, kField), WM_CHAR, L'\u0159', 0);  // ř, as the keyboard sends it
            EXPECT_TRUE(d.saw(Kind::Command, kField, N::Edited));
            EXPECT_EQ(w.text(kField), "řZpět"_cp);
            d.endDialog(Dialog::kOk);
        }
    });
    EXPECT_EQ(run(dialog), Dialog::kOk);
}

TEST(Win32DialogWindow, LogBoxPutsTheNewestOnTopWithoutALimit) {
    RecordingDialog dialog(kTemplate, [](RecordingDialog& d, Window& w, const Dialog::Event& e) {
        if (e.kind != Kind::Init) {
            return;
        }
        w.logLinePrepended(kLog, "Hledám ZYL...\r\n"_cp);
        w.logLinePrepended(kLog, "Nalezen Port COM3\r\n");
        w.logMarkPrepended(kLog, "*");
        EXPECT_EQ(cp1250FromWide(textOf(item(w, kLog))), "*Nalezen Port COM3\r\nHledám ZYL...\r\n"_cp);
        const std::string line(98, '*');
        for (int i = 0; i < 1000; ++i) {
            w.logLinePrepended(kLog, line + "\r\n");
        }
        EXPECT_GT(::GetWindowTextLengthW(item(w, kLog)), 100000);
        EXPECT_FALSE(d.saw(Kind::Command, kLog, N::Edited));
        d.endDialog(Dialog::kOk);
    });
    EXPECT_EQ(run(dialog), Dialog::kOk);
}

TEST(Win32DialogWindow, LogBoxShowsALongRunOfMarksShortenedUntilTheNextLine) {
    RecordingDialog dialog(kTemplate, [](RecordingDialog& d, Window& w, const Dialog::Event& e) {
        if (e.kind != Kind::Init) {
            return;
        }
        w.logLinePrepended(kLog, "Nastaven aktuální čas\r\n"_cp);
        w.logLinePrepended(kLog, "");
        for (int i = 0; i < 3 * Window::kLongestShownMarkRun; ++i) {
            w.logMarkPrepended(kLog, "*");
        }
        const std::string shortened = std::string("…"_cp) + std::string(Window::kLongestShownMarkRun, '*');
        const std::string oldLine("Nastaven aktuální čas\r\n"_cp);
        EXPECT_EQ(cp1250FromWide(textOf(item(w, kLog))), shortened + oldLine);
        w.logLinePrepended(kLog, "Všechny klíce byly smazány\r\n"_cp);
        w.logMarkPrepended(kLog, "*");
        EXPECT_EQ(cp1250FromWide(textOf(item(w, kLog))),
                  std::string("*Všechny klíce byly smazány\r\n"_cp) + shortened + oldLine);
        d.endDialog(Dialog::kOk);
    });
    EXPECT_EQ(run(dialog), Dialog::kOk);
}

TEST(Win32DialogWindow, EnterClicksTheDefaultButtonAndEscIdTwo) {
    RecordingDialog dialog(kTemplate, [](RecordingDialog& d, Window& w, const Dialog::Event& e) {
        if (e.kind == Kind::Init) {
            ::PostMessageW(item(w, kField), WM_KEYDOWN, VK_RETURN, 0);
        } else if (e.kind == Kind::Command && e.id == Dialog::kOk) {
            ::PostMessageW(item(w, kField), WM_KEYDOWN, VK_ESCAPE, 0);
        } else if (e.kind == Kind::Command && e.id == Dialog::kCancel) {
            d.endDialog(Dialog::kCancel);
        }
    });
    EXPECT_EQ(run(dialog), Dialog::kCancel);
    EXPECT_TRUE(dialog.saw(Kind::Command, Dialog::kOk, N::Clicked));
}

// Windows would leave the focus nowhere, where Esc reaches no dialog.
TEST(Win32DialogWindow, DisablingTheFocusedControlHandsTheFocusOn) {
    RecordingDialog dialog(kTemplate, [](RecordingDialog& d, Window& w, const Dialog::Event& e) {
        if (e.kind == Kind::Init) {
            w.startTimer(kMove, 10);
        } else if (e.kind == Kind::Timer) {
            w.stopTimer(kMove);
            w.setFocus(kField);
            w.setEnabled(kField, false);
            EXPECT_TRUE(w.hasFocus(kSecret));
            ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        } else if (e.kind == Kind::Command && e.id == Dialog::kCancel) {
            d.endDialog(Dialog::kCancel);
        }
    });
    EXPECT_EQ(run(dialog), Dialog::kCancel);
}

// A message box taking the focus is no leaving of the field; moving to another one is.
TEST(Win32DialogWindow, FocusLeavesAFieldOnlyForAnotherControl) {
    RecordingDialog dialog(kTemplate, [](RecordingDialog& d, Window& w, const Dialog::Event& e) {
        if (e.kind == Kind::Init) {
            EXPECT_EQ(w.startTimer(kMove, 10), kMove);
        } else if (e.kind == Kind::Timer && e.id == kMove) {
            w.stopTimer(kMove);
            w.setFocus(kSecret);
            w.startTimer(kAnswerBox, 20);
            EXPECT_EQ(w.messageBox("Zpráva"_cp), Window::Answer::Ok);
            d.endDialog(Dialog::kOk);
        } else if (e.kind == Kind::Timer && e.id == kAnswerBox) {
            if (HWND box = ::FindWindowW(L"#32770", L"ZYL default")) {
                w.stopTimer(kAnswerBox);
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        }
    });
    run(dialog);
    EXPECT_TRUE(dialog.saw(Kind::Command, kField, N::FocusLost));
    EXPECT_TRUE(dialog.saw(Kind::Command, kSecret, N::FocusGained));
    EXPECT_FALSE(dialog.saw(Kind::Command, kSecret, N::FocusLost));
}

TEST(Win32DialogWindow, ReportListReadsItsRowsFromTheDialog) {
    RecordingDialog dialog(kTemplate, [](RecordingDialog& d, Window& w, const Dialog::Event& e) {
        if (e.kind != Kind::Init) {
            return;
        }
        d.rows = 4360;
        w.rowsChanged(kList);
        HWND list = item(w, kList);
        EXPECT_EQ(ListView_GetItemCount(list), 4360);
        wchar_t cell[64] = {};
        LVITEMW row{};
        row.iSubItem = 1;
        row.pszText = cell;
        row.cchTextMax = 64;
        ::SendMessageW(list, LVM_GETITEMTEXTW, 4359, reinterpret_cast<LPARAM>(&row));
        EXPECT_STREQ(cell, L"Kl\u00ED\u010D \u010D. 4359");
        w.setRowSelected(kList, 7, true);
        w.setRowSelected(kList, 5, true);
        EXPECT_EQ(w.selectedRows(kList), (std::vector<int>{5, 7}));
        w.rowsChanged(kList);
        EXPECT_TRUE(w.selectedRows(kList).empty());
        d.endDialog(Dialog::kOk);
    });
    EXPECT_EQ(run(dialog), Dialog::kOk);
}

// The list's four notifications: click and double click come from the list view as
// WM_NOTIFY, focus and keys through the list's own messages.
TEST(Win32DialogWindow, ReportListDeliversItsFourNotifications) {
    struct Row {
        const char* what;
        void (*act)(HWND dialog, HWND list);
        N expected;
    };
    static constexpr auto notify = [](HWND dialog, HWND list, UINT code) {
        NMITEMACTIVATE header{};
        header.hdr.hwndFrom = list;
        header.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
        header.hdr.code = code;
        header.iItem = -1;  // the empty part below the rows
        ::SendMessageW(dialog, WM_NOTIFY, header.hdr.idFrom, reinterpret_cast<LPARAM>(&header));
    };
    static constexpr Row kRows[] = {
        {"click", [](HWND dialog, HWND list) { notify(dialog, list, NM_CLICK); }, N::Clicked},
        {"double click", [](HWND dialog, HWND list) { notify(dialog, list, NM_DBLCLK); }, N::DoubleClicked},
        {"set focus", [](HWND, HWND list) { ::SetFocus(list); }, N::FocusGained},
        {"key down", [](HWND, HWND list) { ::SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0); }, N::KeyDown},
    };
    for (const Row& row : kRows) {
        RecordingDialog dialog(kTemplate, [&row](RecordingDialog& d, Window& w, const Dialog::Event& e) {
            if (e.kind == Kind::Init) {
                d.rows = 3;
                w.rowsChanged(kList);
                w.startTimer(kMove, 10);
            } else if (e.kind == Kind::Timer) {
                w.stopTimer(kMove);
                w.setFocus(kField);
                d.seen.clear();
                row.act(windowOf(w), item(w, kList));
                d.endDialog(Dialog::kOk);
            }
        });
        run(dialog);
        EXPECT_TRUE(dialog.saw(Kind::Command, kList, row.expected)) << row.what;
    }
}

TEST(Win32DialogWindow, SystemMenuItemAndCloseBoxReachTheDialog) {
    RecordingDialog dialog(kTemplate, [](RecordingDialog& d, Window& w, const Dialog::Event& e) {
        if (e.kind == Kind::Init) {
            ::PostMessageW(windowOf(w), WM_SYSCOMMAND, kAbout | 0x3, 0);
        } else if (e.kind == Kind::SysCommand) {
            ::PostMessageW(windowOf(w), WM_CLOSE, 0, 0);
        } else if (e.kind == Kind::Close) {
            d.endDialog(Dialog::kCancel);
        }
    });
    EXPECT_EQ(run(dialog), Dialog::kCancel);
    EXPECT_TRUE(dialog.saw(Kind::SysCommand, kAbout));
}

// The system menu's item comes from the template; the resources keep the same text as
// string 101, for tools that read them.
TEST(Win32Resources, String101IsTheMainWindowsSystemMenuItem) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), 101, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::wstring(text, static_cast<std::size_t>(length)),
              wideFromCp1250(kMainDialogTemplate.systemMenuItem.text));
}

}  // namespace
