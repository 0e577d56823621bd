// Benchmarks: the marker search against memchr's floor, a load, an apply and a report of a
// full table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "editor/EntryEditor.h"
#include "image/DriverImage.h"
#include "report/TextReport.h"

namespace morvex {
namespace {

constexpr int kFullCapacity = 2000;  // a full table fills the last quarter of the image
constexpr int kSmallCapacity = 16;

// A 64 KiB image whose table ends at its last byte. With `dollars`, a '$' every 61 bytes stands in
// for the '$'-terminated message strings real DOS drivers carry.
std::vector<std::uint8_t> MakeImage(int capacity, bool dollars) {
    std::vector<std::uint8_t> bytes(kImageBufferSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>((i * 131 + 7) % 251);
        bytes[i] = b == '$' ? 0x25 : b;
        if (dollars && i % 61 == 0) {
            bytes[i] = '$';
        }
    }
    const std::size_t table =
        bytes.size() - kEntryHeaderSize - kEntrySize * static_cast<std::size_t>(capacity);
    std::memcpy(&bytes[table], kTableMarker.data(), kTableMarker.size());
    bytes[table + 11] = 0;
    WriteU16LE(std::span<std::uint8_t, 2>(&bytes[table + kCapacityOffset], 2),
               static_cast<std::uint16_t>(capacity));
    WriteU16LE(std::span<std::uint8_t, 2>(&bytes[table + kCountOffset], 2),
               static_cast<std::uint16_t>(capacity));
    for (int i = 0; i < capacity; ++i) {
        std::uint8_t* slot =
            &bytes[table + kEntryHeaderSize + kEntrySize * static_cast<std::size_t>(i)];
        WriteU16LE(std::span<std::uint8_t, 2>(slot, 2), static_cast<std::uint16_t>(0x1000 + i));
        WriteU16LE(std::span<std::uint8_t, 2>(slot + 2, 2), static_cast<std::uint16_t>(i));
        slot[4] = static_cast<std::uint8_t>(1 + i % 4) | (i % 7 == 0 ? 0x80 : 0);
    }
    return bytes;
}

// A file that lives in memory, so the load measures the search, not the system.
class MemoryFile final : public FileHandle {
  public:
    explicit MemoryFile(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> dest) override {
        if (offset >= m_bytes.size()) {
            return 0;
        }
        const std::size_t n = std::min<std::size_t>(dest.size(), m_bytes.size() - offset);
        std::memcpy(dest.data(), m_bytes.data() + offset, n);
        return n;
    }
    std::optional<std::size_t> WriteAt(std::uint64_t, std::span<const std::uint8_t>) override {
        return std::nullopt;
    }
    bool Sync() override { return true; }
    bool Close() override { return true; }

  private:
    std::vector<std::uint8_t> m_bytes;
};

void BM_MarkerSearch(benchmark::State& state) {
    const auto bytes = MakeImage(kSmallCapacity, state.range(0) != 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindTableMarker(bytes));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_MarkerSearch)->ArgName("dollars")->Arg(0)->Arg(1);

// The floor: memchr over the same bytes up to the marker's first byte.
void BM_MemchrFloor(benchmark::State& state) {
    const auto bytes = MakeImage(kSmallCapacity, false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::memchr(bytes.data(), '$', bytes.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_MemchrFloor);

void BM_LoadFromMemory(benchmark::State& state) {
    MemoryFile file(MakeImage(kSmallCapacity, state.range(0) != 0));
    DriverImage image;
    image.AllocateBuffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(image.LoadFrom(file));
    }
}
BENCHMARK(BM_LoadFromMemory)->ArgName("dollars")->Arg(0)->Arg(1);

void BM_ApplyOnFullTable(benchmark::State& state) {
    MemoryFile file(MakeImage(kFullCapacity, false));
    DriverImage image;
    image.AllocateBuffer();
    image.LoadFrom(file);
    const int last = image.GetCount() - 1;
    EntryFields fields = GetFieldsFor(image, last).fields;
    fields.m_bWriteProtect = false;
    fields.m_nProtocol = 4;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Apply(image, last, last, fields));
    }
}
BENCHMARK(BM_ApplyOnFullTable);

void BM_ReportOfFullTable(benchmark::State& state) {
    MemoryFile file(MakeImage(kFullCapacity, false));
    DriverImage image;
    image.AllocateBuffer();
    image.LoadFrom(file);
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextReport::FormatReport(image, "/boot/KESTRIN.SYS"));
    }
}
BENCHMARK(BM_ReportOfFullTable);

}  // namespace
}  // namespace morvex

BENCHMARK_MAIN();
