#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "csv_export.h"
#include "image_file.h"
#include "key_list.h"

namespace {

// Every record of a recordSize-15 image holds a key: the most rows the list can have.
const MemoryImage& fullImage() {
    static const MemoryImage image = [] {
        MemoryImage full{};
        for (int record = 0; record < recordCount(kMinRecordSize); ++record) {
            const KeyCode key = {static_cast<std::uint8_t>(record), static_cast<std::uint8_t>(record >> 8),
                                 0x5A};
            writeRecord(full, kMinRecordSize, record, key, {0x0F, 0x00, 0x80}, "");
        }
        return full;
    }();
    return image;
}

void rebuildFullKeyList(benchmark::State& state) {
    static KeyList list;
    for (auto _ : state) {
        list.rebuild(fullImage(), kMinRecordSize);
        benchmark::DoNotOptimize(list.rowCount());
    }
}
BENCHMARK(rebuildFullKeyList)->Unit(benchmark::kMicrosecond);

void csvTableOfFullImage(benchmark::State& state) {
    for (auto _ : state) {
        std::string table = csvTable(fullImage(), kMinRecordSize);
        benchmark::DoNotOptimize(table.data());
    }
}
BENCHMARK(csvTableOfFullImage)->Unit(benchmark::kMicrosecond);

void imageFileRoundTrip(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "zyl-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = folder + "/memory.zrd";
    static MemoryImage image;
    ArchiveSettings settings{5, kMinRecordSize, 0, 1};
    for (auto _ : state) {
        if (!writeImageFile(path, settings, fullImage()).ok() || !readImageFile(path, settings, image).ok()) {
            state.SkipWithError("file round trip failed");
            break;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(imageFileRoundTrip)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
