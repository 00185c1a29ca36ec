// The key dialog's reader exchange fed arbitrary answers. Input: a flags byte (bit 0 edit
// instead of add, bit 1 manual entry switched on at the tick in the next byte), then the
// unit's answers (see FuzzedPort). The dialog runs on a fake window until the exchange
// gives the link up (error 501) or the ticks run out, and is then closed.

#include "fake_window.h"
#include "fuzzed_main_window.h"
#include "key_code.h"
#include "key_dialog.h"
#include "offscreen_app.h"

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

    KeyDialog dialog(w.dialog);
    dialog.readerMode = (flags & 1) != 0 ? 0 : 1;
    dialog.maxCommentLength = 50;
    FakeScreen screen;
    FakeWindow window(dialog, screen);
    window.init();
    const std::string startText = window.text(KeyDialog::kKeyEdit);
    // Each tick takes at most one answer, and 201 empty reads in a row give the link up.
    const int maxTicks = 2 * static_cast<int>(size) + 1000;
    for (int ticks = 0; ticks < maxTicks && window.activeTimer() != 0; ++ticks) {
        if (ticks == manualAt && dialog.readerMode == 1) {
            window.click(KeyDialog::kManualEntryBox);
        }
        window.tick(window.activeTimer());

        // The field shows no key or a key that passes its check; while editing or typing
        // by hand the reader changes nothing.
        const std::string text = window.text(KeyDialog::kKeyEdit);
        if (dialog.readerMode == 0) {
            FUZZ_CHECK(text == startText);
        } else if (!dialog.manualEntryOn() && text != kNoKeyText) {
            KeyCode parsed;
            FUZZ_CHECK(parseKeyText(text, parsed) == 0);
            FUZZ_CHECK(parsed == dialog.keyCode);
        }
    }
    // The answers always run out, and then the exchange gives the link up.
    FUZZ_CHECK(window.activeTimer() == 0);
    FUZZ_CHECK(!window.isEnabled(KeyDialog::kOkButton));
    FUZZ_CHECK(dialog.idleReadCount() > KeyDialog::kMaxIdleReads);
    window.click(KeyDialog::kBackButton);
    window.destroy();
    return 0;
}
