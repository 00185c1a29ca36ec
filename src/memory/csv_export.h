#pragma once

#include <string>

#include "image_file.h"
#include "memory_image.h"

// The keys of an image as a semicolon-separated table in code page 1250, rows ended by
// CR LF, one column per floor from floor 24 down to floor 1. The table runs up to the first
// end record or the last whole record; deleted keys (all 12 key bytes 0) get no row. A
// comment or key field holding ';', '"', CR or LF is put in double quotes with its '"'
// doubled, as spreadsheets read it; every other field is written byte for byte.

inline constexpr char kCsvFilter[] = " (*.csv)";
inline constexpr char kCsvExtension[] = "csv";

// The whole table as bytes.
std::string csvTable(const MemoryImage& image, int recordSize);

// Writes the table like writeImageFile: all or nothing.
FileResult writeCsvFile(const std::string& path, const MemoryImage& image, int recordSize);
