// The idle poll fed arbitrary answers: a connected window with a few keys in its list polls
// the reader and the keep-alive until the poll gives up (error 600) or the ticks run out.
// Input: the unit's answers (see FuzzedPort).

#include "fuzzed_main_window.h"
#include "key_record.h"

namespace {

constexpr int kRecordSize = 65;
constexpr int kKeys = 8;

// Keys the fuzzer can find by their byte pattern: record r holds r+1 in every key byte.
void storeKeys(MainDialog& dialog) {
    MainDialogState& s = dialog.state();
    s.recordSize = kRecordSize;
    for (int record = 0; record < kKeys; ++record) {
        KeyCode key;
        key.fill(static_cast<std::uint8_t>(record + 1));
        writeRecord(s.image, kRecordSize, record, key, {static_cast<std::uint8_t>(record), 0, 0}, "");
    }
    dialog.rebuildKeyList();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    FuzzedMainWindow w(input);
    w.connect();
    storeKeys(w.dialog);
    w.dialog.returnToIdle(0);
    // Every cycle of four ticks takes three answers; six cycles without an acknowledgement
    // end the poll once they stop.
    w.run(2 * static_cast<int>(size) + 100);

    // A selected row is always a row of the list, and the floors shown are its floors.
    const int row = w.dialog.state().selectedRow;
    FUZZ_CHECK(row >= -1 && row < w.dialog.state().keyList.rowCount());
    if (row >= 0) {
        const FloorMask floors = floorMaskOf(w.dialog.state().image, w.dialog.recordOfRow(row), kRecordSize);
        for (int floor = 1; floor <= kFloors; ++floor) {
            FUZZ_CHECK(w.window.isChecked(MainDialog::kFirstFloorCheck + floor - 1) ==
                       floorAllowed(floors, floor));
        }
    }
    FUZZ_CHECK(w.runningTimers() == 0);
    return 0;
}
