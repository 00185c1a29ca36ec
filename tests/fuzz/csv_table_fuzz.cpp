// csvTable of arbitrary images and record sizes. Input: two bytes choose the record size
// (0..300, the sizes a damaged file or a bug could bring included), the rest repeated
// fills the image. The table must read back as spreadsheets read it: a header of 27
// fields, then one row of 28 fields per used record, in record order, each row's key and
// floors those of its record.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "csv_export.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "key_record.h"

namespace {

constexpr int kRecordSizes = 301;
constexpr std::size_t kHeaderFields = 3 + kFloors;
constexpr std::size_t kRowFields = kHeaderFields + 1;

using Row = std::vector<std::string>;

// Splits the table into rows of fields: ';' ends a field and CR LF a row, except inside
// double quotes, where "" stands for one quote.
std::vector<Row> readTable(std::string_view table) {
    std::vector<Row> rows(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const char c = table[i];
        if (quoted) {
            if (c == '"' && i + 1 < table.size() && table[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == ';') {
            rows.back().push_back(field);
            field.clear();
        } else if (c == '\r' && i + 1 < table.size() && table[i + 1] == '\n') {
            FUZZ_CHECK(field.empty());  // every field, the last one too, ends with ';'
            rows.emplace_back();
            ++i;
        } else {
            field += c;
        }
    }
    FUZZ_CHECK(!quoted && field.empty() && rows.back().empty());
    rows.pop_back();
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int recordSize = input.takeWord() % kRecordSizes;
    const std::string pattern = input.takeBytes(input.remaining());
    static MemoryImage image;
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = pattern.empty() ? 0 : static_cast<std::uint8_t>(pattern[i % pattern.size()]);
    }

    const std::vector<Row> rows = readTable(csvTable(image, recordSize));
    FUZZ_CHECK(!rows.empty() && rows[0].size() == kHeaderFields);

    // The records before the first one whose key bytes are all 0xFF, in order, are the rows;
    // only a deleted key (all 0x00) has none. (The key list counts a key of nothing but 0x00
    // and 0xFF bytes as free; the table writes it.)
    std::vector<int> used;
    for (int record = 0; record < recordCount(recordSize); ++record) {
        const KeyCode key = keyCodeOf(image, record, recordSize);
        const auto all = [&key](std::uint8_t value) {
            return std::all_of(key.begin(), key.end(), [value](std::uint8_t b) { return b == value; });
        };
        if (all(0xFF)) {
            break;
        }
        if (!all(0x00)) {
            used.push_back(record);
        }
    }
    FUZZ_CHECK(rows.size() == used.size() + 1);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const int record = used[r - 1];
        FUZZ_CHECK(row.size() == kRowFields && row.back().empty());
        FUZZ_CHECK(row[0] == std::to_string(record));
        // The comment runs up to its first control byte or 0xFF.
        std::string comment;
        for (int i = kCommentOffset; i < recordSize; ++i) {
            const std::uint8_t b = image[static_cast<std::size_t>(record * recordSize + i)];
            if (b < 0x20 || b == 0xFF) {
                break;
            }
            comment += static_cast<char>(b);
        }
        FUZZ_CHECK(row[1] == comment);
        FUZZ_CHECK(row[2] == keyCodeText(keyCodeOf(image, record, recordSize), ZeroBytes::Keep));
        const FloorMask floors = floorMaskOf(image, record, recordSize);
        for (int floor = kFloors; floor >= 1; --floor) {
            FUZZ_CHECK(row[static_cast<std::size_t>(3 + kFloors - floor)] ==
                       (floorAllowed(floors, floor) ? "o" : "x"));
        }
    }
    return 0;
}
