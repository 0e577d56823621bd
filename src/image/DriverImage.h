// DriverImage: the in-memory copy of a driver file's first 64 KiB, the table found in it,
// and the verified write back over the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "image/EntryTable.h"
#include "image/FileSystem.h"

namespace morvex {

enum class BufferOutcome { ready, noMemory };
enum class LoadOutcome { loaded, readFailed, noTable };
enum class SaveOutcome { saved, writeFailed };

class DriverImage {
  public:
    using BufferAllocator = std::function<std::unique_ptr<std::uint8_t[]>(std::size_t)>;

    // `allocate` stands in for the heap in tests; it returns null when memory runs out.
    explicit DriverImage(FileSystem& files = SystemFileSystem(), BufferAllocator allocate = {});

    DriverImage(const DriverImage&) = delete;
    DriverImage& operator=(const DriverImage&) = delete;

    // Obtains the 64 KiB buffer once; later calls keep it (and its contents).
    BufferOutcome AllocateBuffer();

    // Reads up to 64 KiB of an existing file under an exclusive lock and finds the first
    // marker. A failed read keeps m_nTableOffset, and m_nLength too unless only the close
    // failed. A table whose header does not fit the bytes read is refused as noTable.
    LoadOutcome Load(const std::string& path);
    // The same on a file the caller has opened (and holds locked) for the whole edit.
    LoadOutcome LoadFrom(FileHandle& file);

    bool IsLoaded() const { return m_pBuffer != nullptr && m_nTableOffset != 0; }

    int GetCapacity() const { return Header().capacity; }
    int GetCount() const { return Header().count; }

    // Slot `slot` as stored; bytes outside the bytes read count as zero, so the slot after
    // a full table reads safely.
    DeviceEntry GetEntry(int slot) const;

    // Writes bytes 0-4 of slot `slot` (bytes 5-7 stay). Refused (false, nothing written)
    // unless the image is loaded and the slot is one of 0 ... capacity-1.
    bool SetEntry(int slot, std::uint16_t vid, std::uint16_t pid, std::uint8_t code);

    // Adds one to the stored count. Refused unless loaded and count < capacity.
    bool IncrementCount();

    // Writes the first m_nLength bytes over the start of the existing file, syncs, reads
    // them back and compares. Anything short of a verified write is writeFailed.
    SaveOutcome Save(const std::string& path);
    // The same on a file the caller opened for writing; the caller closes it.
    SaveOutcome SaveTo(FileHandle& file);

    int GetLength() const { return m_nLength; }
    int GetTableOffset() const { return m_nTableOffset; }

    // The bytes read (empty before the first load).
    std::span<const std::uint8_t> Bytes() const;

  private:
    LoadOutcome LocateTable();
    EntryTable Header() const;
    bool IsWritableSlot(int slot) const;

    FileSystem& m_files;
    BufferAllocator m_allocate;

    std::int32_t m_nTableOffset = 0;  // 0: no table (a marker at byte 0 counts as none)
    std::int32_t m_nLength = 0;       // bytes the last read delivered
    std::unique_ptr<std::uint8_t[]> m_pBuffer;
};

}  // namespace morvex
