// The archive dialog's exchanges fed arbitrary answers. Input: the operation (byte 0 mod 5:
// keep-alive, erase of the keys, erase of the logs, image write from a file, settings
// write), the settings byte (bits 0 and 1 the relay inversions, bit 2 permanent access),
// then the unit's answers (see FuzzedPort). The dialog's timers tick until none runs or
// the ticks run out, and it is then closed.

#include <cstdlib>
#include <string>

#include "archive_dialog.h"
#include "fake_window.h"
#include "fuzzed_main_window.h"
#include "image_file.h"
#include "offscreen_app.h"
#include "temp_folder.h"

namespace {

enum Operation { kKeepAlive, kEraseKeys, kEraseLogs, kImageWrite, kSettingsWrite, kOperations };

// The image the image write loads: every byte its index's low byte. Its folder goes when
// the fuzzer exits.
TempFolder imageFolder;
const std::string imagePath = imageFolder.file("memory.zrd");

int runningTimers(const FakeWindow& window) { return static_cast<int>(window.timers().size()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startOffscreenApp();
    if (imageFolder.path().empty()) {
        std::abort();
    }
    MemoryImage image;
    for (int i = 0; i < kImageSize; ++i) {
        image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    }
    if (!writeImageFile(imagePath, {5, 65, 0, 1}, image).ok()) {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int operation = input.takeByte() % kOperations;
    const std::uint8_t settings = input.takeByte();
    FuzzedMainWindow w(input);
    w.connect();

    ArchiveDialog dialog(w.dialog);
    dialog.recordSize = 65;
    dialog.relayInverted = settings & 1;
    dialog.mainRelayInverted = (settings >> 1) & 1;
    dialog.accessTime = (settings & 4) != 0 ? 0 : 5;
    // The answers come at once: OK to every confirmation, the image to the file dialog.
    FakeScreen screen;
    screen.fileAnswers.push_back(imagePath);
    FakeWindow window(dialog, screen);
    window.modalHandler = [](Dialog&, FakeWindow&) { return Dialog::kOk; };
    window.init();
    switch (operation) {
        case kEraseKeys:
            window.click(ArchiveDialog::kEraseKeysButton);
            break;
        case kEraseLogs:
            window.click(ArchiveDialog::kEraseLogsButton);
            break;
        case kImageWrite:
            window.click(ArchiveDialog::kCopyToUnitButton);
            FUZZ_CHECK(dialog.imageChanged == 1);
            break;
        case kSettingsWrite:
            // As the end of the image write starts it.
            window.stopTimer(dialog.timerId);
            dialog.blockIndex = 0;
            dialog.timerId = window.startTimer(ArchiveDialog::kSettingsTimer, ArchiveDialog::kSettingsPeriod);
            break;
        default:
            break;
    }

    // 514 ticks for the image write, 9 for the settings write after it; every other tick
    // takes an answer, and the operations end when the answers stop.
    const int maxTicks = 514 + 9 + 2 * static_cast<int>(size);
    for (int ticks = 0; ticks < maxTicks && window.activeTimer() != 0; ++ticks) {
        window.tick(window.activeTimer());
        FUZZ_CHECK(runningTimers(window) <= 1);
        FUZZ_CHECK(w.runningTimers() == 0);
    }
    // Only the settings write leaves its timer armed, ticking without doing anything.
    FUZZ_CHECK(runningTimers(window) == 0 || window.activeTimer() == ArchiveDialog::kSettingsTimer);
    FUZZ_CHECK(window.isEnabled(ArchiveDialog::kBackButton) || runningTimers(window) == 1);
    // Esc, which reaches the dialog as a click of "Zpět" whether that is enabled or not.
    window.click(ArchiveDialog::kBackButton);
    FUZZ_CHECK(window.result() == Dialog::kCancel);
    window.destroy();
    FUZZ_CHECK(runningTimers(window) == 0);
    return 0;
}
