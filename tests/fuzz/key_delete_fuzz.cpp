// The key delete fed arbitrary answers: a record number (its high byte chosen too), whether
// it is an edit (the delete then hands over to the write of the same record), the record's
// bytes, then the unit's answers (see FuzzedPort).

#include <string>

#include "fuzzed_main_window.h"
#include "key_record.h"
#include "unit_commands.h"

namespace {

constexpr int kRecordSize = 65;
// 21 ticks for the delete, then for an edit the write of one record.
constexpr int kMaxTicks = 21 + 38 + kRecordSize + 11;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    FuzzedMainWindow w(input);
    MainDialogState& s = w.dialog.state();
    s.recordSize = kRecordSize;
    const int record = input.takeWord() % listedCount(kRecordSize);
    const bool edit = (input.takeByte() & 1) != 0;
    const std::string bytes = input.takeBytes(kRecordSize);
    std::copy(bytes.begin(), bytes.end(), s.image.begin() + record * kRecordSize);
    w.connect();
    w.dialog.rebuildKeyList();

    s.deleteId = record;
    s.editAfterDelete = edit ? 1 : 0;
    s.writeList[0] = record;
    s.writeList[1] = -1;
    s.writeIndex = 0;
    w.dialog.sendByte(unit::kDeleteKey);
    w.dialog.startOperation(MainDialog::kDeleteTimer, MainDialog::kDeletePeriod);
    s.deleteStep = 0;
    const MemoryImage before = s.image;
    w.run(kMaxTicks, [](int id) { return id == MainDialog::kDeleteTimer || id == MainDialog::kWriteTimer; });

    // Only a delete the unit confirmed clears the record's key bytes, and nothing else.
    MemoryImage expected = before;
    std::string deleted;
    deleted += "Klíč s ID "_cp;
    deleted += std::to_string(record);
    deleted += " byl vymazán!"_cp;
    if (!edit && w.dialog.logText().find(deleted) != std::string::npos) {
        deleteKey(expected, kRecordSize, record);
    }
    FUZZ_CHECK(s.image == expected);
    FUZZ_CHECK(w.window.activeTimer() == MainDialog::kIdlePollTimer || w.runningTimers() == 0);
    return 0;
}
