#include "csv_export.h"

#include <algorithm>
#include <string_view>

#include "atomic_file.h"
#include "cp1250_literal.h"
#include "key_record.h"

namespace {

// Written in code page 1250, as every text of the program.
constexpr std::string_view kHeader =
    "ID;Komentář;Klíč;Patro 24;23;22;21;20;19;18;17;16;15;14;13;12;11;10;9;8;7;6;5;4;3;2;1;\r\n"_cp;

constexpr std::string_view kRowEnd = ";\r\n";

bool allBytes(const KeyCode& key, std::uint8_t value) {
    return std::all_of(key.begin(), key.end(), [value](std::uint8_t b) { return b == value; });
}

// The comment runs up to its first control byte or 0xFF.
std::string_view csvComment(const MemoryImage& image, int record, int recordSize) {
    const auto* start = reinterpret_cast<const char*>(image.data()) + record * recordSize + kCommentOffset;
    int length = 0;
    while (length < recordSize - kCommentOffset) {
        const auto b = static_cast<std::uint8_t>(start[length]);
        if (b < 0x20 || b == 0xFF) {
            break;
        }
        ++length;
    }
    return {start, static_cast<std::size_t>(length)};
}

// A field holding the separator, a quote or a line break is quoted the way spreadsheets
// read it, so that it cannot shift the columns after it; any other field goes out as it is.
void appendField(std::string& out, std::string_view field) {
    if (field.find_first_of(";\"\r\n") == std::string_view::npos) {
        out += field;
    } else {
        out += '"';
        for (char c : field) {
            out += c;
            if (c == '"') {
                out += '"';
            }
        }
        out += '"';
    }
    out += ';';
}

void appendRow(std::string& out, const MemoryImage& image, int record, int recordSize) {
    out += std::to_string(record);
    out += ';';
    appendField(out, csvComment(image, record, recordSize));
    appendField(out, keyCodeText(keyCodeOf(image, record, recordSize), ZeroBytes::Keep));
    const FloorMask floors = floorMaskOf(image, record, recordSize);
    for (int floor = kFloors; floor >= 1; --floor) {
        out += floorAllowed(floors, floor) ? "o;" : "x;";
    }
    out += kRowEnd;
}

}  // namespace

std::string csvTable(const MemoryImage& image, int recordSize) {
    std::string out(kHeader);
    const int count = recordCount(recordSize);
    for (int record = 0; record < count; ++record) {
        const KeyCode key = keyCodeOf(image, record, recordSize);
        if (allBytes(key, 0xFF)) {
            break;
        }
        // A deleted key (all zero) is no key: it would show as one with a code of sixteen zeros.
        if (!allBytes(key, 0x00)) {
            appendRow(out, image, record, recordSize);
        }
    }
    return out;
}

FileResult writeCsvFile(const std::string& path, const MemoryImage& image, int recordSize) {
    FileResult result;
    if (!writeFileAtomically(path, csvTable(image, recordSize), result.detail)) {
        result.status = FileResult::Status::WriteFailed;
    }
    return result;
}
