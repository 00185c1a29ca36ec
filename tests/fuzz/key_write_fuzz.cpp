// The key write fed arbitrary answers, and arbitrary records to write: a record size, one to
// three records with their key, floor and comment bytes, then the unit's answers (see
// FuzzedPort). The write runs as the add-keys command starts it, until it hands over to the
// idle poll or stops.

#include "fuzzed_main_window.h"
#include "key_record.h"
#include "unit_commands.h"

namespace {

constexpr int kMaxWritten = 3;
// 38 ticks for the key and floors, a comment of up to 235 bytes, 11 ticks to the end.
constexpr int kMaxTicksPerRecord = 38 + 236 + 11;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    FuzzedMainWindow w(input);
    MainDialogState& s = w.dialog.state();
    s.recordSize = kMinRecordSize + input.takeByte() % (250 - kMinRecordSize + 1);
    const int records = 1 + input.takeByte() % kMaxWritten;
    for (int i = 0; i < records; ++i) {
        const int record = input.takeWord() % listedCount(s.recordSize);
        const std::string bytes = input.takeBytes(static_cast<std::size_t>(s.recordSize));
        std::copy(bytes.begin(), bytes.end(), s.image.begin() + record * s.recordSize);
        s.writeList[static_cast<std::size_t>(i)] = record;
    }
    s.writeList[static_cast<std::size_t>(records)] = -1;
    w.connect();
    w.dialog.rebuildKeyList();

    w.dialog.logLine({});
    w.dialog.sendByte(unit::kWriteKey);
    w.dialog.startOperation(MainDialog::kWriteTimer, MainDialog::kWritePeriod);
    s.writeIndex = 0;
    s.writeStep = 0;
    const MemoryImage before = s.image;
    w.run(records * kMaxTicksPerRecord, [](int id) { return id == MainDialog::kWriteTimer; });

    // The write only sends the image; it never changes it. It ends in the idle poll or dead.
    FUZZ_CHECK(s.image == before);
    FUZZ_CHECK(w.window.activeTimer() == MainDialog::kIdlePollTimer || w.runningTimers() == 0);
    FUZZ_CHECK(s.writeIndex < records);
    return 0;
}
