// The key dialog's reader exchange fed arbitrary answers. Input: a flags byte (bit 0 edit
// instead of add, bit 1 manual entry switched on at the tick in the next byte), then the
// unit's answers (see FuzzedPort). The dialog runs until the exchange gives the link up
// (error 501) or the ticks run out, and is then closed.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "fuzzed_main_window.h"
#include "key_code.h"
#include "key_dialog.h"
#include "offscreen_app.h"

namespace {

template <typename Control>
Control* control(QDialog& dialog, int id) {
    return dialog.findChild<Control*>(QString::number(id));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startOffscreenApp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t flags = input.takeByte();
    const int manualAt = (flags & 2) != 0 ? input.takeByte() : -1;
    FuzzedMainWindow w(input);
    w.connect();

    KeyDialog dialog(w.dialog, &w.dialog);
    dialog.readerMode = (flags & 1) != 0 ? 0 : 1;
    dialog.maxCommentLength = 50;
    dialog.show();
    auto* keyField = control<QLineEdit>(dialog, KeyDialog::kKeyEdit);
    const QString startText = keyField->text();
    // Each tick takes at most one answer, and 201 empty reads in a row give the link up.
    const int maxTicks = 2 * static_cast<int>(size) + 1000;
    for (int ticks = 0; ticks < maxTicks && dialog.timers().activeId() != 0; ++ticks) {
        if (ticks == manualAt && dialog.readerMode == 1) {
            control<QCheckBox>(dialog, KeyDialog::kManualEntryBox)->click();
        }
        dialog.onTimer(dialog.timers().activeId());

        // The field shows no key or a key that passes its check; while editing or typing
        // by hand the reader changes nothing.
        const QString text = keyField->text();
        if (dialog.readerMode == 0) {
            FUZZ_CHECK(text == startText);
        } else if (!dialog.manualEntryOn() && text != QLatin1String(kNoKeyText)) {
            KeyCode parsed;
            FUZZ_CHECK(parseKeyText(text.toLatin1().toStdString(), parsed) == 0);
            FUZZ_CHECK(parsed == dialog.keyCode);
        }
    }
    // The answers always run out, and then the exchange gives the link up.
    FUZZ_CHECK(dialog.timers().activeId() == 0);
    FUZZ_CHECK(!control<QPushButton>(dialog, KeyDialog::kOkButton)->isEnabled());
    FUZZ_CHECK(dialog.idleReadCount() > KeyDialog::kMaxIdleReads);
    dialog.reject();
    return 0;
}
