// Builds driver images byte by byte.
#include "support/DriverFixture.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>

namespace morvex::test {
namespace {

constexpr std::string_view kMarker = "$DOSUSBTBL0";

void Put(std::vector<std::uint8_t>& out, std::size_t at, std::uint8_t byte) {
    if (at < out.size()) {
        out[at] = byte;
    }
}

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value) {
    Put(out, at, static_cast<std::uint8_t>(value & 0xFF));
    Put(out, at + 1, static_cast<std::uint8_t>(value >> 8));
}

void PutMarker(std::vector<std::uint8_t>& out, std::size_t at, std::uint8_t terminator) {
    for (std::size_t i = 0; i < kMarker.size(); ++i) {
        Put(out, at + i, static_cast<std::uint8_t>(kMarker[i]));
    }
    Put(out, at + kMarker.size(), terminator);
}

}  // namespace

DriverFixture::DriverFixture() = default;

DriverFixture& DriverFixture::size(std::size_t bytes) {
    m_size = bytes;
    return *this;
}
DriverFixture& DriverFixture::tableAt(std::optional<std::size_t> offset) {
    m_tableAt = offset;
    return *this;
}
DriverFixture& DriverFixture::terminator(std::uint8_t byte) {
    m_terminator = byte;
    return *this;
}
DriverFixture& DriverFixture::capacity(std::int16_t slots) {
    m_capacity = slots;
    return *this;
}
DriverFixture& DriverFixture::count(std::int16_t stored) {
    m_count = stored;
    return *this;
}
DriverFixture& DriverFixture::rawHeader(std::uint16_t capacityWord, std::uint16_t countWord) {
    m_rawHeader = {capacityWord, countWord};
    return *this;
}
DriverFixture& DriverFixture::entry(std::uint16_t vid, std::uint16_t pid, std::uint8_t code,
                                    std::array<std::uint8_t, 3> rest) {
    m_slots[m_entries++] = Slot{vid, pid, code, rest};
    return *this;
}
DriverFixture& DriverFixture::slot(int index, std::uint16_t vid, std::uint16_t pid,
                                   std::uint8_t code, std::array<std::uint8_t, 3> rest) {
    m_slots[index] = Slot{vid, pid, code, rest};
    return *this;
}
DriverFixture& DriverFixture::extraMarker(std::size_t offset, std::uint8_t terminatorByte) {
    m_extraMarkers.emplace_back(offset, terminatorByte);
    return *this;
}
DriverFixture& DriverFixture::bytesAt(std::size_t offset, std::vector<std::uint8_t> bytes) {
    m_raw.emplace_back(offset, std::move(bytes));
    return *this;
}

std::size_t DriverFixture::slotOffset(int index) const {
    return tableOffset() + 16 + 8 * static_cast<std::size_t>(index);
}

std::vector<std::uint8_t> DriverFixture::bytes() const {
    std::vector<std::uint8_t> out(m_size);
    // A pattern with no '$' in it cannot form a marker by accident.
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto byte = static_cast<std::uint8_t>((i * 131 + 7) % 251);
        out[i] = byte == '$' ? 0x25 : byte;
    }
    // A DOS device header: no next driver, a block device, strategy and interrupt entries.
    const std::uint8_t header[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x08, 0x12, 0x00, 0x1D,
                                   0x00, 0x01, 'K',  'E',  'S',  'T',  'R',  'I',  'N'};
    for (std::size_t i = 0; i < sizeof header; ++i) {
        Put(out, i, header[i]);
    }
    if (m_tableAt) {
        const std::size_t at = *m_tableAt;
        PutMarker(out, at, m_terminator);
        if (m_rawHeader) {
            Put16(out, at + 12, m_rawHeader->first);
            Put16(out, at + 14, m_rawHeader->second);
        } else {
            Put16(out, at + 12, static_cast<std::uint16_t>(m_capacity));
            Put16(
                out, at + 14,
                static_cast<std::uint16_t>(m_count.value_or(static_cast<std::int16_t>(m_entries))));
        }
        // Free slots are zero-filled, as a driver ships them.
        for (int i = 0; i < m_capacity; ++i) {
            for (std::size_t b = 0; b < 8; ++b) {
                Put(out, slotOffset(i) + b, 0);
            }
        }
        for (const auto& [index, s] : m_slots) {
            const std::size_t base = slotOffset(index);
            Put16(out, base, s.vid);
            Put16(out, base + 2, s.pid);
            Put(out, base + 4, s.code);
            for (std::size_t b = 0; b < 3; ++b) {
                Put(out, base + 5 + b, s.rest[b]);
            }
        }
    }
    for (const auto& [offset, terminatorByte] : m_extraMarkers) {
        PutMarker(out, offset, terminatorByte);
    }
    for (const auto& [offset, raw] : m_raw) {
        for (std::size_t i = 0; i < raw.size(); ++i) {
            Put(out, offset + i, raw[i]);
        }
    }
    return out;
}

std::string DriverFixture::write(const std::string& path) const {
    WriteFileBytes(path, bytes());
    return path;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace morvex::test
