#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "dialog_template.h"

// A dialog template as Windows reads it from a resource: the DLGTEMPLATEEX of a
// DialogTemplate, built in memory for DialogBoxIndirectParamW. The font is the template's,
// with the Central European character set, as the program's Czech resources ask for it;
// a window without an owner is shown in the task bar.
class DialogTemplateImage {
public:
    static constexpr int kIconResource = 128;

    DialogTemplateImage(const DialogTemplate& dialogTemplate, bool ownsTaskBarButton);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
    std::size_t sizeInBytes() const { return words_.size() * sizeof(WORD); }

    // The control id Windows knows a control by: 16 bits, as its commands carry it, so a
    // template's stand-in ids for the statics (-1, -2, ...) become 0xFFFF, 0xFFFE, ...
    static WORD windowsId(int controlId) { return static_cast<WORD>(controlId); }

    // The window style and extended style a control of the template is created with.
    static DWORD controlStyle(const ControlTemplate& control);
    static DWORD controlExStyle(const ControlTemplate& control);

private:
    void putWord(WORD w) { words_.push_back(w); }
    void putDword(DWORD d);
    void putText(std::wstring_view text);
    void alignToDword();
    void putControl(const ControlTemplate& control);

    std::vector<WORD> words_;
};
