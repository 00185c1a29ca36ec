#include "win32_dialog_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "dialog_template_image.h"
#include "wide_text.h"

namespace {

constexpr wchar_t kProgramCaption[] = L"ZYL default";
constexpr UINT_PTR kFocusWatch = 1;

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool isReportList(HWND window) {
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, static_cast<int>(std::size(className)));
    return ::lstrcmpiW(className, WC_LISTVIEWW) == 0;
}

bool fileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The filter as the common dialogs take it: description and pattern, each ended by a
// null, and one more null after the last.
std::wstring filterText(const Window::FileFilter& filter) {
    std::wstring text = wideFromCp1250(filter.description);
    text += L'\0';
    text += wideFromCp1250(filter.pattern);
    text += L'\0';
    return text;
}

}  // namespace

Win32DialogWindow::Win32DialogWindow(Dialog& dialog, HWND owner) : dialog_(dialog), owner_(owner) {}

Win32DialogWindow::~Win32DialogWindow() {
    if (font_ != nullptr) {
        ::DeleteObject(font_);
    }
}

int Win32DialogWindow::run() {
    const DialogTemplateImage image(dialog_.dialogTemplate(), owner_ == nullptr);
    ended_ = false;
    destroyed_ = false;
    const INT_PTR result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), image.get(), owner_,
                                                     dialogProc, reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    controls_.clear();
    return static_cast<int>(result);
}

INT_PTR CALLBACK Win32DialogWindow::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Win32DialogWindow*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
        return self->initDialog();
    }
    auto* self = reinterpret_cast<Win32DialogWindow*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    return self == nullptr ? FALSE : self->handleMessage(message, wParam, lParam);
}

INT_PTR Win32DialogWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            onCommandMessage(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            onNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return TRUE;
        case WM_TIMER:
            if (!ended_ && timers_.count(static_cast<int>(wParam)) != 0) {
                send({Dialog::Event::Kind::Timer, static_cast<int>(wParam)});
            }
            return TRUE;
        case WM_SYSCOMMAND: {
            const int item = dialog_.dialogTemplate().systemMenuItem.command;
            if (item != 0 && static_cast<int>(wParam & 0xFFF0) == item) {
                if (!ended_) {
                    send({Dialog::Event::Kind::SysCommand, item});
                }
                return TRUE;
            }
            return FALSE;
        }
        case WM_CLOSE:
            if (!ended_) {
                send({Dialog::Event::Kind::Close});
            }
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(icon_);
        case WM_ENDSESSION:
            // Logout or shutdown: Windows may end the process once this returns, without a
            // WM_DESTROY, so the dialog's end (0x04, the port released) runs here.
            if (wParam != FALSE) {
                destroy();
            }
            return FALSE;
        case WM_DESTROY:
            destroy();
            return FALSE;
        default:
            return FALSE;
    }
}

// TRUE lets the dialog manager give the focus to the first tab stop; FALSE keeps where the
// dialog's start-up put it.
BOOL Win32DialogWindow::initDialog() {
    setUpControls();
    useCentralEuropeanFont();
    centreOverOwner();
    icon_ = static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(DialogTemplateImage::kIconResource),
                     IMAGE_ICON, ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    if (icon_ != nullptr) {
        ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        const auto smallIcon = static_cast<HICON>(::LoadImageW(
            ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(DialogTemplateImage::kIconResource), IMAGE_ICON,
            ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    }
    const SystemMenuItem& item = dialog_.dialogTemplate().systemMenuItem;
    if (item.command != 0) {
        if (HMENU menu = ::GetSystemMenu(hwnd_, FALSE)) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.command),
                          wideFromCp1250(item.text).c_str());
        }
    }
    initialising_ = true;
    focusSetByDialog_ = false;
    send({Dialog::Event::Kind::Init});
    initialising_ = false;
    return focusSetByDialog_ ? FALSE : TRUE;
}

// As a dialog opened from another shows up where the user looks: over the middle of it,
// kept on the screen.
void Win32DialogWindow::centreOverOwner() {
    RECT owner{}, own{}, screen{};
    if (owner_ == nullptr || !::GetWindowRect(owner_, &owner) || !::GetWindowRect(hwnd_, &own)) {
        return;
    }
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    const int width = own.right - own.left, height = own.bottom - own.top;
    const int x = std::clamp((owner.left + owner.right - width) / 2, screen.left,
                             std::max(screen.left, screen.right - width));
    const int y = std::clamp((owner.top + owner.bottom - height) / 2, screen.top,
                             std::max(screen.top, screen.bottom - height));
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32DialogWindow::setUpControls() {
    controls_.clear();
    for (const ControlTemplate& c : dialog_.dialogTemplate().controls) {
        HWND window = ::GetDlgItem(hwnd_, DialogTemplateImage::windowsId(c.id));
        controls_[c.id] = window;
        switch (c.kind) {
            case ControlKind::LogBox:
                // Without this the box stops taking text at about 30,000 characters.
                ::SendMessageW(window, EM_SETLIMITTEXT, 0, 0);
                break;
            case ControlKind::Edit:
                ::SetWindowSubclass(window, focusWatchProc, kFocusWatch, reinterpret_cast<DWORD_PTR>(this));
                break;
            case ControlKind::ReportList: {
                ListView_SetExtendedListViewStyle(window, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
                for (std::size_t k = 0; k < c.columns.size(); ++k) {
                    std::wstring heading = wideFromCp1250(c.columns[k].heading);
                    LVCOLUMNW column{};
                    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
                    column.fmt = LVCFMT_LEFT;
                    column.cx = c.columns[k].width;
                    column.pszText = heading.data();
                    column.iSubItem = static_cast<int>(k);
                    ::SendMessageW(window, LVM_INSERTCOLUMNW, k, reinterpret_cast<LPARAM>(&column));
                }
                ::SendMessageW(window, LVM_SETITEMCOUNT, static_cast<WPARAM>(dialog_.rowCount(c.id)), 0);
                ::SetWindowSubclass(window, focusWatchProc, kFocusWatch, reinterpret_cast<DWORD_PTR>(this));
                break;
            }
            default:
                break;
        }
    }
}

// Windows takes the template's character set, and lays the dialog out and draws it in that
// one font. A dialog manager that went by the system's code page instead (Wine's does)
// chose a Western "MS Sans Serif" without ř or ě, so the same face and size are set again
// with the Central European set; that may well be another font, with wider characters, so
// the dialog is then laid out again in it.
void Win32DialogWindow::useCentralEuropeanFont() {
    const auto chosen = reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    LOGFONTW font{};
    if (chosen == nullptr || ::GetObjectW(chosen, sizeof font, &font) == 0 ||
        font.lfCharSet == EASTEUROPE_CHARSET) {
        return;
    }
    font.lfCharSet = EASTEUROPE_CHARSET;
    font_ = ::CreateFontIndirectW(&font);
    for (const auto& [id, window] : controls_) {
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    layOutIn(font_);
}

// The dialog units of a font as the dialog manager reckons them (the average width of the
// Latin letters, and the height), and every control and the dialog itself placed by the
// template in those units. The controls are the dialog's children in the template's order.
void Win32DialogWindow::layOutIn(HFONT font) {
    static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    HDC dc = ::GetDC(hwnd_);
    HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    SIZE letters{};
    ::GetTextMetricsW(dc, &metrics);
    ::GetTextExtentPoint32W(dc, kLetters, 52, &letters);
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd_, dc);
    const int unitX = (letters.cx / 26 + 1) / 2, unitY = metrics.tmHeight;
    const auto x = [unitX](int units) { return ::MulDiv(units, unitX, 4); };
    const auto y = [unitY](int units) { return ::MulDiv(units, unitY, 8); };

    const DialogTemplate& t = dialog_.dialogTemplate();
    HWND child = ::GetWindow(hwnd_, GW_CHILD);
    for (const ControlTemplate& c : t.controls) {
        if (child == nullptr) {
            break;
        }
        // An icon keeps the size of its image.
        const UINT keep = c.kind == ControlKind::Icon ? SWP_NOSIZE : 0;
        ::SetWindowPos(child, nullptr, x(c.x), y(c.y), x(c.width), y(c.height),
                       SWP_NOZORDER | SWP_NOACTIVATE | keep);
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    RECT frame{0, 0, x(t.width), y(t.height)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_EXSTYLE)));
    ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Win32DialogWindow::focusWatchProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                                   UINT_PTR, DWORD_PTR refData) {
    auto* self = reinterpret_cast<Win32DialogWindow*>(refData);
    switch (message) {
        case WM_SETFOCUS: {
            const LRESULT result = ::DefSubclassProc(control, message, wParam, lParam);
            self->command(self->controlIdOf(control), Dialog::Notification::FocusGained);
            return result;
        }
        case WM_KILLFOCUS: {
            const LRESULT result = ::DefSubclassProc(control, message, wParam, lParam);
            const auto next = reinterpret_cast<HWND>(wParam);
            if (next != nullptr && ::IsChild(self->hwnd_, next)) {
                self->command(self->controlIdOf(control), Dialog::Notification::FocusLost);
            }
            return result;
        }
        case WM_KEYDOWN:
            if (isReportList(control)) {
                self->command(self->controlIdOf(control), Dialog::Notification::KeyDown);
            }
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(control, focusWatchProc, kFocusWatch);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

void Win32DialogWindow::onCommandMessage(WORD windowsId, WORD code) {
    const int id = controlIdOf(::GetDlgItem(hwnd_, windowsId));
    switch (code) {
        case BN_CLICKED:
            // Enter and Esc come as clicks of the default button and of IDCANCEL, also when
            // the dialog has no such control.
            command(id != 0 ? id : static_cast<int>(windowsId), Dialog::Notification::Clicked);
            break;
        case EN_CHANGE: {
            // The log box changes only by the dialog's own prepends.
            const ControlTemplate* field = dialog_.dialogTemplate().control(id);
            if (!settingText_ && field != nullptr && field->kind == ControlKind::Edit) {
                command(id, Dialog::Notification::Edited);
            }
            break;
        }
        default:
            break;
    }
}

void Win32DialogWindow::onNotify(const NMHDR& header) {
    const int id = controlIdOf(header.hwndFrom);
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            const auto& info = reinterpret_cast<const NMLVDISPINFOW&>(header);
            if ((info.item.mask & LVIF_TEXT) != 0 && info.item.cchTextMax > 0) {
                const std::wstring cell =
                    wideFromCp1250(dialog_.cellText(id, info.item.iItem, info.item.iSubItem));
                ::lstrcpynW(info.item.pszText, cell.c_str(), info.item.cchTextMax);
            }
            break;
        }
        case NM_CLICK:
            command(id, Dialog::Notification::Clicked);
            break;
        case NM_DBLCLK:
            command(id, Dialog::Notification::DoubleClicked);
            break;
        default:
            break;
    }
}

HWND Win32DialogWindow::control(int id) const {
    return controls_.at(id);
}

// The template's id of a control of this dialog; 0 for none.
int Win32DialogWindow::controlIdOf(HWND window) const {
    for (const auto& [id, w] : controls_) {
        if (w == window && window != nullptr) {
            return id;
        }
    }
    return 0;
}

void Win32DialogWindow::destroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    ended_ = true;
    for (const int id : timers_) {
        ::KillTimer(hwnd_, static_cast<UINT_PTR>(id));
    }
    timers_.clear();
    send({Dialog::Event::Kind::Destroy});
}

void Win32DialogWindow::send(Dialog::Event event) {
    dialog_.handleEvent(*this, event);
}

void Win32DialogWindow::command(int id, Dialog::Notification notification) {
    if (!ended_ && id != 0) {
        send({Dialog::Event::Kind::Command, id, notification});
    }
}

// --- Window: controls -------------------------------------------------------------------

std::string Win32DialogWindow::text(int id) const {
    return cp1250FromWide(windowText(control(id)));
}

void Win32DialogWindow::setText(int id, std::string_view text) {
    settingText_ = true;
    ::SetWindowTextW(control(id), wideFromCp1250(text).c_str());
    settingText_ = false;
}

bool Win32DialogWindow::isEnabled(int id) const {
    return ::IsWindowEnabled(control(id)) != FALSE;
}

// A control disabled with the focus hands it on to the next tab stop, as the Qt widgets do;
// Windows would leave the focus nowhere, and Esc and Enter would reach no dialog. With no
// other tab stop the dialog itself keeps it.
void Win32DialogWindow::setEnabled(int id, bool enabled) {
    HWND window = control(id);
    const bool hadFocus = !enabled && ::GetFocus() == window;
    ::EnableWindow(window, enabled ? TRUE : FALSE);
    if (hadFocus) {
        HWND next = ::GetNextDlgTabItem(hwnd_, window, FALSE);
        ::SetFocus(next != nullptr && next != window ? next : hwnd_);
    }
}

// Whether the control is meant to be shown, also while the window itself is not.
bool Win32DialogWindow::isVisible(int id) const {
    return (::GetWindowLongPtrW(control(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32DialogWindow::setVisible(int id, bool visible) {
    ::ShowWindow(control(id), visible ? SW_SHOW : SW_HIDE);
}

bool Win32DialogWindow::isChecked(int id) const {
    return ::SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32DialogWindow::setChecked(int id, bool checked) {
    ::SendMessageW(control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The dialog manager's own move selects a field's text as it arrives.
void Win32DialogWindow::setFocus(int id) {
    ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(id)), TRUE);
    if (initialising_) {
        focusSetByDialog_ = true;
    }
}

bool Win32DialogWindow::hasFocus(int id) const {
    return ::GetFocus() == control(id);
}

// --- Window: log box and report list ----------------------------------------------------

void Win32DialogWindow::logLinePrepended(int id, std::string_view line) {
    prepend(id, wideFromCp1250(line));
    markRuns_[id] = {};
}

// The EDIT moves its whole text for every piece put in front, so a long run of marks is
// shown shortened: "…" and the run's newest marks, which further marks no longer change.
void Win32DialogWindow::logMarkPrepended(int id, std::string_view mark) {
    MarkRun& run = markRuns_[id];
    if (run.shortened) {
        return;
    }
    const std::wstring marks = wideFromCp1250(mark);
    const std::size_t longest = kLongestShownMarkRun;
    if (run.shown.size() + marks.size() <= longest) {
        prepend(id, marks);
        run.shown.insert(0, marks);
        return;
    }
    prepend(id, L"\u2026" + (marks + run.shown).substr(0, longest), static_cast<int>(run.shown.size()));
    run.shortened = true;
}

// Text goes in at the very front, in place of the first `replacing` characters, and the box
// shows its top, where the newest line is.
void Win32DialogWindow::prepend(int id, const std::wstring& text, int replacing) {
    HWND box = control(id);
    ::SendMessageW(box, EM_SETSEL, 0, replacing);
    ::SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageW(box, EM_SETSEL, 0, 0);
    ::SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

void Win32DialogWindow::rowsChanged(int id) {
    HWND list = control(id);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ::SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(dialog_.rowCount(id)), 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void Win32DialogWindow::setRowSelected(int id, int row, bool selected) {
    HWND list = control(id);
    if (row < 0 || row >= ListView_GetItemCount(list)) {
        return;
    }
    if (selected) {
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, row, FALSE);
    } else {
        ListView_SetItemState(list, row, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
}

std::vector<int> Win32DialogWindow::selectedRows(int id) const {
    HWND list = control(id);
    std::vector<int> rows;
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row != -1;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
        rows.push_back(row);
    }
    return rows;
}

// --- Window: timers, modal runs and the desktop -----------------------------------------

// Only the paint messages are taken from the queue: clicks and keys wait for the handler to end.
void Win32DialogWindow::paintNow() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
    ::UpdateWindow(hwnd_);
}

int Win32DialogWindow::startTimer(int id, int periodMs) {
    if (::SetTimer(hwnd_, static_cast<UINT_PTR>(id), static_cast<UINT>(periodMs), nullptr) == 0) {
        return 0;
    }
    timers_.insert(id);
    return id;
}

void Win32DialogWindow::stopTimer(int id) {
    if (timers_.erase(id) != 0) {
        ::KillTimer(hwnd_, static_cast<UINT_PTR>(id));
    }
}

int Win32DialogWindow::runModal(Dialog& dialog) {
    Win32DialogWindow child(dialog, hwnd_);
    return child.run();
}

// The modal loop ends once this message has returned; until WM_DESTROY nothing more of
// the window reaches the dialog.
void Win32DialogWindow::endDialog(int result) {
    ::EndDialog(hwnd_, result);
    ended_ = true;
    for (const int id : timers_) {
        ::KillTimer(hwnd_, static_cast<UINT_PTR>(id));
    }
    timers_.clear();
}

Window::Answer Win32DialogWindow::messageBox(std::string_view text, std::string_view caption,
                                             Buttons buttons) {
    const std::wstring shownCaption =
        caption.empty() ? std::wstring(kProgramCaption) : wideFromCp1250(caption);
    const int answer = ::MessageBoxW(hwnd_, wideFromCp1250(text).c_str(), shownCaption.c_str(),
                                     buttons == Buttons::YesNo ? MB_YESNO : MB_OK);
    if (buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    return answer == IDYES ? Answer::Yes : Answer::No;
}

// The dialog takes a typed name that does not exist; the caller reports a name that cannot
// be opened. A file that exists opens under its own name, with an extension or without;
// only a name that does not exist as typed may mean the file with the default extension.
std::string Win32DialogWindow::openFileName(const FileFilter& filter) {
    const std::wstring filters = filterText(filter);
    std::vector<wchar_t> path(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd_;
    dialog.lpstrFilter = filters.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (::GetOpenFileNameW(&dialog) == FALSE) {
        return {};
    }
    std::wstring chosen(path.data());
    if (!fileExists(chosen)) {
        const std::wstring withExtension = chosen + L'.' + wideFromCp1250(filter.extension);
        if (fileExists(withExtension)) {
            chosen = withExtension;
        }
    }
    return utf8FromWide(chosen);
}

// A name typed without an extension is saved with the default one; replacing a file is
// not asked about.
std::string Win32DialogWindow::saveFileName(const FileFilter& filter) {
    const std::wstring filters = filterText(filter);
    const std::wstring extension = wideFromCp1250(filter.extension);
    std::vector<wchar_t> path(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd_;
    dialog.lpstrFilter = filters.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (::GetSaveFileNameW(&dialog) == FALSE) {
        return {};
    }
    return utf8FromWide(path.data());
}

void Win32DialogWindow::openExternal(std::string_view fileOrUrl) {
    ::ShellExecuteW(hwnd_, L"open", wideFromUtf8(fileOrUrl).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

Window::LocalTime Win32DialogWindow::localTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}
