#pragma once

#include "dialog.h"

// Template 100: the icon, the program's name and version, the maker.
extern const DialogTemplate kAboutDialogTemplate;

// The About box of the system menu. It has no fields and no handlers of its own: OK and
// the close box end it.
class AboutDialog : public Dialog {
public:
    AboutDialog() : Dialog(kAboutDialogTemplate) {}
};
