// Fuzz target: any bytes as the driver file, through load, list, fields, report and save.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "FuzzSupport.h"
#include "editor/EntryEditor.h"
#include "report/TextReport.h"

namespace morvex::fuzz {
namespace {

const std::string kDriverPath = "KESTRIN.SYS";
const std::string kReportPath = "report.txt";

// The offset where a table should be found, by the plainest reading of the rules: the first
// whole marker, 0 at offset 0, and only with a header that fits the bytes.
int ExpectedTableOffset(std::span<const std::uint8_t> bytes) {
    static constexpr char kMarker[] = "$DOSUSBTBL0";  // its terminating zero is part of it
    for (std::size_t i = 0; i + sizeof kMarker <= bytes.size(); ++i) {
        // Only where a '$' stands: a compare at every byte would halve the run's speed.
        const void* dollar = std::memchr(bytes.data() + i, '$', bytes.size() - i);
        if (dollar == nullptr) {
            return 0;
        }
        i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(dollar) - bytes.data());
        if (i + sizeof kMarker > bytes.size() ||
            std::memcmp(bytes.data() + i, kMarker, sizeof kMarker) != 0) {
            continue;
        }
        if (i == 0 || i + 16 > bytes.size()) {
            return 0;
        }
        const auto capacity = static_cast<std::int16_t>(bytes[i + 12] | (bytes[i + 13] << 8));
        const auto count = static_cast<std::int16_t>(bytes[i + 14] | (bytes[i + 15] << 8));
        if (capacity < 0 || count < 0 || count > capacity ||
            i + 16 + 8 * static_cast<std::size_t>(capacity) > bytes.size()) {
            return 0;
        }
        return static_cast<int>(i);
    }
    return 0;
}

std::uint8_t ByteOrZero(std::span<const std::uint8_t> bytes, std::size_t at) {
    return at < bytes.size() ? bytes[at] : 0;
}

}  // namespace
}  // namespace morvex::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvex;
    using namespace morvex::fuzz;
    const std::span<const std::uint8_t> input(data, size);
    const std::size_t length = std::min(size, kImageBufferSize);
    const auto read = input.first(length);

    MemoryFileSystem files;
    files.Put(kDriverPath, input);
    GuardedImage guarded(files);
    DriverImage& image = guarded.image;
    FUZZ_CHECK(image.AllocateBuffer() == BufferOutcome::ready);

    const LoadOutcome outcome = guarded.Load(kDriverPath);
    FUZZ_CHECK(outcome != LoadOutcome::readFailed);
    FUZZ_CHECK(image.GetLength() == static_cast<int>(length));
    FUZZ_CHECK(std::ranges::equal(image.Bytes(), read));

    const int tableOffset = ExpectedTableOffset(read);
    FUZZ_CHECK(image.GetTableOffset() == tableOffset);
    FUZZ_CHECK(image.IsLoaded() == (tableOffset != 0));
    FUZZ_CHECK((outcome == LoadOutcome::loaded) == image.IsLoaded());

    const int count = image.GetCount();
    const int capacity = image.GetCapacity();
    FUZZ_CHECK(image.IsLoaded() || (count == 0 && capacity == 0));
    FUZZ_CHECK(count >= 0 && count <= capacity);

    const auto slotByte = [&](int slot, std::size_t at) {
        return ByteOrZero(read, static_cast<std::size_t>(tableOffset) + 16 +
                                    8 * static_cast<std::size_t>(slot) + at);
    };

    const EntryList list = BuildList(image);
    FUZZ_CHECK(list.items.size() == static_cast<std::size_t>(count) + 1);
    FUZZ_CHECK(list.selected == 0);
    FUZZ_CHECK(list.items.back().itemValue == NewEntryMarker);
    FUZZ_CHECK(list.items.back().text == kNewEntryText);
    for (std::size_t position = 0; position < list.items.size(); ++position) {
        const ListItem& item = list.items[position];
        const bool marker = position == static_cast<std::size_t>(count);
        const int slot = static_cast<int>(position);
        FUZZ_CHECK(item.itemValue == (marker ? NewEntryMarker : slot));
        if (!marker) {
            const auto vid = static_cast<std::uint16_t>(slotByte(slot, 0) | slotByte(slot, 1) << 8);
            const auto pid = static_cast<std::uint16_t>(slotByte(slot, 2) | slotByte(slot, 3) << 8);
            FUZZ_CHECK(item.text == FormatItemText(vid, pid));
        }
        // The marker of a full table shows the 8 bytes after it, or zeros past the bytes read.
        const EntryView view = GetFieldsFor(image, item.itemValue);
        const std::uint8_t code = image.IsLoaded() ? slotByte(slot, 4) : 0;
        const auto vid = image.IsLoaded() ? slotByte(slot, 0) | slotByte(slot, 1) << 8 : 0;
        const auto pid = image.IsLoaded() ? slotByte(slot, 2) | slotByte(slot, 3) << 8 : 0;
        FUZZ_CHECK(view.fields.m_strVID == FormatHex16(static_cast<std::uint16_t>(vid)));
        FUZZ_CHECK(view.fields.m_strPID == FormatHex16(static_cast<std::uint16_t>(pid)));
        FUZZ_CHECK(view.fields.m_nProtocol >= 0 && view.fields.m_nProtocol < kProtocolChoiceCount);
        FUZZ_CHECK(view.fields.m_nProtocol == static_cast<int>(DecodeProtocol(code)));
        FUZZ_CHECK(view.fields.m_bWriteProtect == ((code & 0x80) != 0));
        FUZZ_CHECK(view.canApply == !view.fields.m_bWriteProtect);
        FUZZ_CHECK(view.label == (marker ? ApplyLabel::add : ApplyLabel::update));
    }

    const std::string report = TextReport::FormatReport(image, kDriverPath);
    std::size_t lines = 0;
    for (std::size_t at = report.find("\r\n"); at != std::string::npos;
         at = report.find("\r\n", at + 2)) {
        ++lines;
    }
    FUZZ_CHECK(lines == 7 + static_cast<std::size_t>(count));
    FUZZ_CHECK(report.size() >= 2 && report.ends_with("\r\n"));

    const ReportOutcome written = TextReport::Write(kReportPath, image, kDriverPath, files);
    FUZZ_CHECK((written == ReportOutcome::written) == image.IsLoaded());
    if (written == ReportOutcome::written) {
        const auto* file = files.Find(kReportPath);
        FUZZ_CHECK(file != nullptr && std::ranges::equal(*file, report, {}, {}, [](char c) {
                       return static_cast<std::uint8_t>(c);
                   }));
    }

    // Nothing above writes to the image; saving it unchanged gives back the very same file.
    FUZZ_CHECK(std::ranges::equal(image.Bytes(), read));
    FUZZ_CHECK(image.Save(kDriverPath) == SaveOutcome::saved);
    const auto* driver = files.Find(kDriverPath);
    FUZZ_CHECK(driver != nullptr && std::ranges::equal(*driver, input));
    return 0;
}
