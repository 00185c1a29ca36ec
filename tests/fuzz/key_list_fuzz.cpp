// KeyList::rebuild of arbitrary images and record sizes. Input: two bytes choose the record
// size (0..300), the rest repeated fills the image. Rows and free slots must split the
// listed records between them, and recordOfRow and rowOfRecord must undo each other.

#include <string>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "key_list.h"

namespace {

constexpr int kRecordSizes = 301;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int recordSize = input.takeWord() % kRecordSizes;
    const std::string pattern = input.takeBytes(input.remaining());
    static MemoryImage image;
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = pattern.empty() ? 0 : static_cast<std::uint8_t>(pattern[i % pattern.size()]);
    }
    // A list that held another image before: nothing of it may survive the rebuild.
    static KeyList list;
    list.rebuild(image, recordSize);

    const int listed = listedCount(recordSize);
    const auto& slots = list.freeSlots();
    int freeCount = 0;
    while (freeCount < static_cast<int>(slots.size()) &&
           slots[static_cast<std::size_t>(freeCount)] != kEndMark) {
        const int record = slots[static_cast<std::size_t>(freeCount)];
        FUZZ_CHECK(record >= 0 && record < listed);
        FUZZ_CHECK(freeCount == 0 || record > slots[static_cast<std::size_t>(freeCount - 1)]);
        FUZZ_CHECK(recordState(image, record, recordSize) != KeyState::Used);
        ++freeCount;
    }
    for (int i = freeCount; i < static_cast<int>(slots.size()); ++i) {
        FUZZ_CHECK(slots[static_cast<std::size_t>(i)] == kEndMark);
    }
    FUZZ_CHECK(list.rowCount() + freeCount == listed);
    FUZZ_CHECK(list.firstFreeSlot() == slots[0]);

    for (int row = 0; row < list.rowCount(); ++row) {
        const int record = list.recordOfRow(row);
        FUZZ_CHECK(record >= 0 && record < listed);
        FUZZ_CHECK(row == 0 || record > list.recordOfRow(row - 1));
        FUZZ_CHECK(recordState(image, record, recordSize) == KeyState::Used);
        FUZZ_CHECK(list.rowOfRecord(record) == row);
    }
    FUZZ_CHECK(list.recordOfRow(-1) == -1 && list.recordOfRow(list.rowCount()) == -1);
    FUZZ_CHECK(list.rowOfRecord(-1) == -1);
    return 0;
}
