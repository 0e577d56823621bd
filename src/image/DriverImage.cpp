// Loading, searching, patching and the verified save of the driver image.
#include "image/DriverImage.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace morvex {
namespace {

std::unique_ptr<std::uint8_t[]> AllocateFromHeap(std::size_t size) {
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size]);
}

}  // namespace

DriverImage::DriverImage(FileSystem& files, BufferAllocator allocate)
    : m_files(files), m_allocate(allocate ? std::move(allocate) : AllocateFromHeap) {}

BufferOutcome DriverImage::AllocateBuffer() {
    if (m_pBuffer == nullptr) {
        m_pBuffer = m_allocate(kImageBufferSize);
        if (m_pBuffer == nullptr) {
            return BufferOutcome::noMemory;
        }
    }
    return BufferOutcome::ready;
}

std::span<const std::uint8_t> DriverImage::Bytes() const {
    if (m_pBuffer == nullptr) {
        return {};
    }
    return {m_pBuffer.get(), static_cast<std::size_t>(m_nLength)};
}

LoadOutcome DriverImage::Load(const std::string& path) {
    if (m_pBuffer == nullptr) {
        return LoadOutcome::readFailed;
    }
    auto file = m_files.Open(path, OpenMode::readExisting);
    if (file == nullptr) {
        return LoadOutcome::readFailed;
    }
    const auto got = ReadFully(*file, 0, {m_pBuffer.get(), kImageBufferSize});
    if (!got) {
        file->Close();
        return LoadOutcome::readFailed;
    }
    if (!file->Close()) {
        // The read itself went through: its length stands, the table offset does not move.
        m_nLength = static_cast<std::int32_t>(*got);
        return LoadOutcome::readFailed;
    }
    m_nLength = static_cast<std::int32_t>(*got);
    return LocateTable();
}

LoadOutcome DriverImage::LoadFrom(FileHandle& file) {
    if (m_pBuffer == nullptr) {
        return LoadOutcome::readFailed;
    }
    const auto got = ReadFully(file, 0, {m_pBuffer.get(), kImageBufferSize});
    if (!got) {
        return LoadOutcome::readFailed;
    }
    m_nLength = static_cast<std::int32_t>(*got);
    return LocateTable();
}

LoadOutcome DriverImage::LocateTable() {
    m_nTableOffset = FindTableMarker(Bytes());
    if (m_nTableOffset != 0 &&
        !IsTableConsistent(Bytes(), static_cast<std::size_t>(m_nTableOffset))) {
        m_nTableOffset = 0;
    }
    return m_nTableOffset != 0 ? LoadOutcome::loaded : LoadOutcome::noTable;
}

EntryTable DriverImage::Header() const {
    if (!IsLoaded()) {
        return {};
    }
    return ReadEntryTable(Bytes(), static_cast<std::size_t>(m_nTableOffset));
}

DeviceEntry DriverImage::GetEntry(int slot) const {
    if (!IsLoaded() || slot < 0) {
        return DeviceEntry{};
    }
    return ReadDeviceEntry(Bytes(), static_cast<std::size_t>(m_nTableOffset) + kEntryHeaderSize +
                                        kEntrySize * static_cast<std::size_t>(slot));
}

bool DriverImage::IsWritableSlot(int slot) const {
    if (!IsLoaded() || !IsTableConsistent(Bytes(), static_cast<std::size_t>(m_nTableOffset))) {
        return false;
    }
    return slot >= 0 && slot < GetCapacity();
}

bool DriverImage::SetEntry(int slot, std::uint16_t vid, std::uint16_t pid, std::uint8_t code) {
    if (!IsWritableSlot(slot)) {
        return false;
    }
    std::uint8_t* const at = m_pBuffer.get() + m_nTableOffset + kEntryHeaderSize +
                             kEntrySize * static_cast<std::size_t>(slot);
    WriteU16LE(std::span<std::uint8_t, 2>(at + kVidOffset, 2), vid);
    WriteU16LE(std::span<std::uint8_t, 2>(at + kPidOffset, 2), pid);
    at[kCodeOffset] = code;
    return true;
}

bool DriverImage::IncrementCount() {
    if (!IsLoaded() || !IsTableConsistent(Bytes(), static_cast<std::size_t>(m_nTableOffset))) {
        return false;
    }
    const EntryTable header = Header();
    if (header.count >= header.capacity) {
        return false;
    }
    WriteU16LE(std::span<std::uint8_t, 2>(m_pBuffer.get() + m_nTableOffset + kCountOffset, 2),
               static_cast<std::uint16_t>(header.count + 1));
    return true;
}

SaveOutcome DriverImage::Save(const std::string& path) {
    if (m_pBuffer == nullptr) {
        return SaveOutcome::writeFailed;
    }
    auto file = m_files.Open(path, OpenMode::readWriteExisting);
    if (file == nullptr) {
        return SaveOutcome::writeFailed;
    }
    const SaveOutcome outcome = SaveTo(*file);
    const bool closed = file->Close();
    return (outcome == SaveOutcome::saved && closed) ? SaveOutcome::saved
                                                     : SaveOutcome::writeFailed;
}

SaveOutcome DriverImage::SaveTo(FileHandle& file) {
    if (m_pBuffer == nullptr) {
        return SaveOutcome::writeFailed;
    }
    const auto image = Bytes();
    if (!WriteFully(file, 0, image) || !file.Sync()) {
        return SaveOutcome::writeFailed;
    }
    // Read the bytes back: a save is only reported once the file holds what we meant.
    std::array<std::uint8_t, 4096> chunk;
    for (std::size_t done = 0; done < image.size();) {
        const std::size_t want = std::min(chunk.size(), image.size() - done);
        const auto got = ReadFully(file, done, {chunk.data(), want});
        if (!got || *got != want ||
            !std::equal(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(want),
                        image.begin() + static_cast<std::ptrdiff_t>(done))) {
            return SaveOutcome::writeFailed;
        }
        done += want;
    }
    return SaveOutcome::saved;
}

}  // namespace morvex
