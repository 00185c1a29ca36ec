#include "dialog_template_image.h"

#include <commctrl.h>

#include "wide_text.h"

namespace {

// The system's own window classes, by the ordinals a template names them with.
constexpr WORD kButtonClass = 0x0080, kEditClass = 0x0081, kStaticClass = 0x0082;
constexpr WORD kOrdinal = 0xFFFF;

bool takesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
        case ControlKind::Edit:
        case ControlKind::LogBox:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
        case ControlKind::ReportList:
            return true;
        case ControlKind::Static:
        case ControlKind::GroupBox:
        case ControlKind::Icon:
            return false;
    }
    return false;
}

DWORD kindStyle(const ControlTemplate& c) {
    switch (c.kind) {
        case ControlKind::Button:
            return c.has(control_style::kDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        case ControlKind::Static:
            // Texts are shown as they are: an '&' is no mnemonic.
            return (c.has(control_style::kCentered) ? SS_CENTER : SS_LEFT) | SS_NOPREFIX;
        case ControlKind::Icon:
            return SS_ICON;
        case ControlKind::Edit:
            return (c.has(control_style::kCentered) ? ES_CENTER : ES_LEFT) | ES_AUTOHSCROLL |
                   (c.has(control_style::kPassword) ? ES_PASSWORD : 0);
        case ControlKind::LogBox:
            return ES_LEFT | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL;
        case ControlKind::CheckBox:
            return BS_AUTOCHECKBOX;
        case ControlKind::RadioButton:
            return BS_AUTORADIOBUTTON;
        case ControlKind::GroupBox:
            return BS_GROUPBOX;
        case ControlKind::ReportList:
            return LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS;
    }
    return 0;
}

}  // namespace

DWORD DialogTemplateImage::controlStyle(const ControlTemplate& c) {
    DWORD style = WS_CHILD | kindStyle(c);
    if (!c.has(control_style::kHidden)) {
        style |= WS_VISIBLE;
    }
    if (c.has(control_style::kDisabled)) {
        style |= WS_DISABLED;
    }
    if (takesFocus(c.kind) && !c.has(control_style::kNoTabStop)) {
        style |= WS_TABSTOP;
    }
    if (c.has(control_style::kGroup)) {
        style |= WS_GROUP;
    }
    return style;
}

DWORD DialogTemplateImage::controlExStyle(const ControlTemplate& c) {
    switch (c.kind) {
        case ControlKind::Edit:
        case ControlKind::LogBox:
        case ControlKind::ReportList:
            return WS_EX_CLIENTEDGE;
        default:
            return 0;
    }
}

DialogTemplateImage::DialogTemplateImage(const DialogTemplate& t, bool ownsTaskBarButton) {
    DWORD style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (t.minimizeBox) {
        style |= WS_MINIMIZEBOX;
    }
    if (ownsTaskBarButton) {
        style |= DS_CENTER;  // on the screen; a dialog above another is centred over it
    }
    putWord(1);       // dlgVer
    putWord(0xFFFF);  // signature: the extended form
    putDword(0);      // helpID
    putDword(ownsTaskBarButton ? WS_EX_APPWINDOW : 0);
    putDword(style);
    putWord(static_cast<WORD>(t.controls.size()));
    putWord(0);  // x, y: centred when shown
    putWord(0);
    putWord(static_cast<WORD>(t.width));
    putWord(static_cast<WORD>(t.height));
    putWord(0);  // no menu
    putWord(0);  // the dialog class
    putText(wideFromCp1250(t.caption));
    putWord(static_cast<WORD>(t.fontPointSize));
    putWord(FW_NORMAL);
    putWord(MAKEWORD(FALSE, EASTEUROPE_CHARSET));  // italic, charset
    putText(wideFromCp1250(t.fontFace));
    for (const ControlTemplate& c : t.controls) {
        putControl(c);
    }
}

void DialogTemplateImage::putControl(const ControlTemplate& c) {
    alignToDword();
    putDword(0);  // helpID
    putDword(controlExStyle(c));
    putDword(controlStyle(c));
    putWord(static_cast<WORD>(c.x));
    putWord(static_cast<WORD>(c.y));
    putWord(static_cast<WORD>(c.width));
    putWord(static_cast<WORD>(c.height));
    putDword(windowsId(c.id));
    switch (c.kind) {
        case ControlKind::Button:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
        case ControlKind::GroupBox:
            putWord(kOrdinal);
            putWord(kButtonClass);
            break;
        case ControlKind::Edit:
        case ControlKind::LogBox:
            putWord(kOrdinal);
            putWord(kEditClass);
            break;
        case ControlKind::Static:
        case ControlKind::Icon:
            putWord(kOrdinal);
            putWord(kStaticClass);
            break;
        case ControlKind::ReportList:
            putText(WC_LISTVIEWW);
            break;
    }
    if (c.kind == ControlKind::Icon) {
        putWord(kOrdinal);
        putWord(kIconResource);
    } else {
        putText(wideFromCp1250(c.text));
    }
    putWord(0);  // no creation data
}

void DialogTemplateImage::putDword(DWORD d) {
    putWord(LOWORD(d));
    putWord(HIWORD(d));
}

void DialogTemplateImage::putText(std::wstring_view text) {
    for (const wchar_t c : text) {
        putWord(static_cast<WORD>(c));
    }
    putWord(0);
}

void DialogTemplateImage::alignToDword() {
    if (words_.size() % 2 != 0) {
        putWord(0);
    }
}
