// The archive dialog's exchanges fed arbitrary answers. Input: the operation (byte 0 mod 5:
// keep-alive, erase of the keys, erase of the logs, image write from a file, settings
// write), the settings byte (bits 0 and 1 the relay inversions, bit 2 permanent access),
// then the unit's answers (see FuzzedPort). The dialog's timers tick until none runs or
// the ticks run out, and it is then closed.

#include <cstdlib>
#include <string>

#include <QPushButton>

#include "archive_dialog.h"
#include "fuzzed_main_window.h"
#include "image_file.h"
#include "offscreen_app.h"
#include "temp_folder.h"

namespace {

enum Operation { kKeepAlive, kEraseKeys, kEraseLogs, kImageWrite, kSettingsWrite, kOperations };

const int kArchiveTimerIds[] = {ArchiveDialog::kKeepAliveTimer, ArchiveDialog::kEraseTimer,
                                ArchiveDialog::kWriteTimer, ArchiveDialog::kSettingsTimer};

// The image the image write loads: every byte its index's low byte. Its folder goes when
// the fuzzer exits.
TempFolder imageFolder;
const std::string imagePath = imageFolder.file("memory.zrd");

int runningTimers(ArchiveDialog& dialog) {
    int running = 0;
    for (int id : kArchiveTimerIds) {
        running += dialog.timers().isActive(id) ? 1 : 0;
    }
    return running;
}

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
    w.desktop.fileAnswers.push_back(QString::fromStdString(imagePath));

    ArchiveDialog dialog(w.dialog, &w.dialog);
    dialog.recordSize = 65;
    dialog.relayInverted = settings & 1;
    dialog.mainRelayInverted = (settings >> 1) & 1;
    dialog.accessTime = (settings & 4) != 0 ? 0 : 5;
    dialog.show();
    switch (operation) {
        case kEraseKeys:
            dialog.onEraseKeys();
            break;
        case kEraseLogs:
            dialog.onEraseLogs();
            break;
        case kImageWrite:
            dialog.onCopyToUnit();
            FUZZ_CHECK(dialog.imageChanged == 1);
            break;
        case kSettingsWrite:
            // As the end of the image write starts it.
            dialog.timers().stop(dialog.timerId);
            dialog.blockIndex = 0;
            dialog.timerId =
                dialog.timers().start(ArchiveDialog::kSettingsTimer, ArchiveDialog::kSettingsPeriod);
            break;
        default:
            break;
    }

    // 514 ticks for the image write, 9 for the settings write after it; every other tick
    // takes an answer, and the operations end when the answers stop.
    const int maxTicks = 514 + 9 + 2 * static_cast<int>(size);
    for (int ticks = 0; ticks < maxTicks && dialog.timers().activeId() != 0; ++ticks) {
        dialog.onTimer(dialog.timers().activeId());
        FUZZ_CHECK(runningTimers(dialog) <= 1);
        FUZZ_CHECK(w.runningTimers() == 0);
    }
    // Only the settings write leaves its timer armed, ticking without doing anything.
    FUZZ_CHECK(runningTimers(dialog) == 0 || dialog.timers().activeId() == ArchiveDialog::kSettingsTimer);
    FUZZ_CHECK(dialog.button(ArchiveDialog::kBackButton)->isEnabled() || runningTimers(dialog) == 1);
    dialog.reject();
    return 0;
}
