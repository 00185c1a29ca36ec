#include <gtest/gtest.h>

#include "code_page_1250.h"
#include "csv_export.h"
#include "memory_test_support.h"

namespace {

using namespace std::string_literals;

const std::string kHeader =
    "ID;Koment\xE1\xF8;Kl\xED\xE8;Patro 24;23;22;21;20;19;18;17;16;15;14;13;12;11;10;9;8;7;6;5;4;3;2;1;\r\n";

// The 24 floor marks and the row end of a record allowing no floor.
const std::string kNoFloors = [] {
    std::string marks;
    for (int i = 0; i < kFloors; ++i) {
        marks += "x;";
    }
    return marks + ";\r\n";
}();

TEST(CsvExport, HeaderIsTheCodePageText) {
    EXPECT_EQ(kHeader,
              utf8ToCp1250("ID;Komentář;Klíč;Patro 24;23;22;21;20;19;18;17;16;15;14;13;12;11;10;9;8;7;6;5;4;"
                           "3;2;1;\r\n"));
    MemoryImage image{};
    image.fill(0xFF);
    EXPECT_EQ(csvTable(image, 100), kHeader);  // the first record is an end record
}

TEST(CsvExport, RowOfARecordAllowingFloorsOneAndTwentyFourOnly) {
    MemoryImage image;
    image.fill(0xFF);
    putRecord(image, 100, 0, keyOf({1, 2, 3, 4, 5, 6, 7, 8}), {0x01, 0x00, 0x80}, "Kabina");
    std::string expected = kHeader + "0;Kabina;0807060504030201;o;";
    for (int i = 0; i < 22; ++i) {
        expected += "x;";
    }
    expected += "o;;\r\n";
    EXPECT_EQ(csvTable(image, 100), expected);
}

TEST(CsvExport, FieldsOfOneRecord) {
    const struct {
        const char* name;
        int recordSize;
        KeyCode key;
        std::string comment;
        std::string row;
    } cases[] = {
        {"comment filling the record", 20, keyOf({0xA5}), "ABCDE", "0;ABCDE;00000000000000A5;"},
        {"control byte ends the comment", 100, keyOf({1}),
         "Kab\x0A"
         "ina",
         "0;Kab;0000000000000001;"},
        {"0xFF ends the comment", 100, keyOf({1}), "Kab\xFFina", "0;Kab;0000000000000001;"},
        {"accented letters written whole", 100, keyOf({1}), "\x8A\xE8\xE1st\xFE",
         "0;\x8A\xE8\xE1st\xFE;0000000000000001;"},
        {"record size 15 has no comment", 15, keyOf({1}), "", "0;;0000000000000001;"},
        {"character code keeps its zero bytes", 100, keyOf({'1', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'A'}), "",
         "0;;A"s + std::string(10, '\0') + "1;"},
        {"separator in the comment", 100, keyOf({1}), "a;b", "0;\"a;b\";0000000000000001;"},
        {"quote in the comment", 100, keyOf({1}), "say \"hi\"", "0;\"say \"\"hi\"\"\";0000000000000001;"},
        {"separator and line break in a character code", 100,
         keyOf({'1', ';', '\r', 0, 0, 0, 0, 0, 0, 0, 0, 'A'}), "",
         "0;;\"A"s + std::string(8, '\0') + "\r;1\";"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryImage image;
        image.fill(0xFF);
        putRecord(image, c.recordSize, 0, c.key, {}, c.comment);
        if (c.recordSize == 20) {
            putRecord(image, 20, 1, keyOf({2}), {}, "NEXT");
            EXPECT_EQ(csvTable(image, 20),
                      kHeader + c.row + kNoFloors + "1;NEXT;0000000000000002;" + kNoFloors);
        } else {
            EXPECT_EQ(csvTable(image, c.recordSize), kHeader + c.row + kNoFloors);
        }
    }
}

TEST(CsvExport, StopsBeforeTheFirstEndRecordAndSkipsDeletedKeys) {
    MemoryImage image{};
    putRecord(image, 100, 0, keyOf({1}), {}, "first");
    putRecord(image, 100, 1, keyOf({2}), {0xFF, 0xFF, 0xFF}, "deleted");
    deleteKey(image, 100, 1);
    putRecord(image, 100, 2, keyOf({3}), {}, "third");
    putRecord(image, 100, 3, filledKey(0xFF));
    putRecord(image, 100, 4, keyOf({5}), {}, "after the end");
    EXPECT_EQ(csvTable(image, 100),
              kHeader + "0;first;0000000000000001;" + kNoFloors + "2;third;0000000000000003;" + kNoFloors);
}

TEST(CsvExport, FullImageRunsToTheLastWholeRecord) {
    MemoryImage image{};
    for (int record = 0; record < recordCount(100); ++record) {
        putRecord(image, 100, record, keyOf({1, static_cast<std::uint8_t>(record)}));
    }
    image[65500] = 0x31;  // the 36 bytes after the last whole record are no record
    const std::string table = csvTable(image, 100);
    const std::string lastRow = "654;;0000000000008E01;" + kNoFloors;  // 654 = 0x28E
    ASSERT_GE(table.size(), lastRow.size());
    EXPECT_EQ(table.substr(table.size() - lastRow.size()), lastRow);
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 1 + 655);
}

TEST(CsvExport, RecordSizeTooSmallGivesTheHeaderOnly) {
    EXPECT_EQ(csvTable(MemoryImage{}, 14), kHeader);
}

TEST(CsvExport, WriteCsvFileWritesTheTableOrReportsWhy) {
    TempFolder folder;
    MemoryImage image{};
    putRecord(image, 65, 0, keyOf({1}), {}, "x");
    ASSERT_TRUE(writeCsvFile(folder.file("keys.csv"), image, 65).ok());
    EXPECT_EQ(readBytes(folder.file("keys.csv")), csvTable(image, 65));

    writeBytes(folder.file("plain"), "x");
    const FileResult result = writeCsvFile(folder.file("plain/keys.csv"), image, 65);
    EXPECT_EQ(result.status, FileResult::Status::WriteFailed);
    EXPECT_FALSE(result.detail.empty());
}

}  // namespace
