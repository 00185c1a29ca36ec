#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>

#include "dialog.h"
#include "window.h"

// A dialog's window on the Win32 dialog manager: a modal dialog built from the dialog's
// template (DialogTemplateImage), every message of it that the logic cares for forwarded to
// the dialog's one event entry, and the dialog's calls on its window carried out with the
// W functions. It holds no step of logic.
//
// The messages and the events they become:
// - WM_INITDIALOG: Init; WM_DESTROY, or WM_ENDSESSION at logout: Destroy, once; WM_CLOSE
//   (the close box, Alt+F4): Close.
// - WM_COMMAND BN_CLICKED: Clicked of that control; Enter arrives as a click of the default
//   button and Esc as a click of id 2, as the dialog manager sends them.
// - EN_CHANGE of a field: Edited, only when the user changed it, not setText.
// - A field or list gaining the focus: FocusGained; losing it to another control of the
//   same dialog: FocusLost (a message box or another window taking over is no leaving).
// - A list: NM_CLICK Clicked, NM_DBLCLK DoubleClicked, a key pressed in it KeyDown (before
//   the list moves its selection).
// - WM_TIMER of a timer the dialog started: Timer; WM_SYSCOMMAND of the template's system
//   menu item: SysCommand (every other system command keeps its default).
class Win32DialogWindow : public Window {
public:
    explicit Win32DialogWindow(Dialog& dialog, HWND owner = nullptr);
    ~Win32DialogWindow() override;
    Win32DialogWindow(const Win32DialogWindow&) = delete;
    Win32DialogWindow& operator=(const Win32DialogWindow&) = delete;

    // Shows the dialog modally above its owner until it ends; the result it ended with,
    // or -1 when Windows could not create it.
    int run();
    HWND handle() const { return hwnd_; }

    // Window.
    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    bool isEnabled(int id) const override;
    void setEnabled(int id, bool enabled) override;
    bool isVisible(int id) const override;
    void setVisible(int id, bool visible) override;
    bool isChecked(int id) const override;
    void setChecked(int id, bool checked) override;
    void setFocus(int id) override;
    bool hasFocus(int id) const override;
    void logLinePrepended(int id, std::string_view line) override;
    void logMarkPrepended(int id, std::string_view mark) override;
    void rowsChanged(int id) override;
    void setRowSelected(int id, int row, bool selected) override;
    std::vector<int> selectedRows(int id) const override;
    void paintNow() override;
    int startTimer(int id, int periodMs) override;
    void stopTimer(int id) override;
    int runModal(Dialog& dialog) override;
    void endDialog(int result) override;
    Answer messageBox(std::string_view text, std::string_view caption, Buttons buttons) override;
    std::string openFileName(const FileFilter& filter) override;
    std::string saveFileName(const FileFilter& filter) override;
    void openExternal(std::string_view fileOrUrl) override;
    LocalTime localTime() override;

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK focusWatchProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR subclassId, DWORD_PTR refData);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL initDialog();
    void centreOverOwner();
    void setUpControls();
    void useCentralEuropeanFont();
    void layOutIn(HFONT font);
    void onCommandMessage(WORD windowsId, WORD code);
    void onNotify(const NMHDR& header);
    void prepend(int id, const std::wstring& text, int replacing = 0);

    HWND control(int id) const;
    int controlIdOf(HWND control) const;
    void destroy();
    void send(Dialog::Event event);
    void command(int id, Dialog::Notification notification);

    Dialog& dialog_;
    HWND owner_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;  // the Central European face, when Windows chose another
    HICON icon_ = nullptr;
    std::map<int, HWND> controls_;  // by the template's id
    std::set<int> timers_;
    struct MarkRun {
        std::wstring shown;  // the marks the box shows in front of its top line
        bool shortened = false;
    };
    std::map<int, MarkRun> markRuns_;  // by log box id
    bool initialising_ = false;
    bool focusSetByDialog_ = false;
    bool settingText_ = false;
    bool ended_ = false;
    bool destroyed_ = false;
};
