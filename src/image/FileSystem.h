// The small file interface the core reads and writes through: one platform implementation
// per system, and test implementations that fail on demand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace morvex {

// An open file. Positional reads and writes may move fewer bytes than asked, as the
// system calls do; callers loop (see ReadFully / WriteFully).
class FileHandle {
  public:
    virtual ~FileHandle() = default;

    // Bytes read at `offset` (0 at end of file), or nothing on failure.
    virtual std::optional<std::size_t> ReadAt(std::uint64_t offset,
                                              std::span<std::uint8_t> dest) = 0;
    // Bytes written at `offset` (may be fewer than asked), or nothing on failure.
    virtual std::optional<std::size_t> WriteAt(std::uint64_t offset,
                                               std::span<const std::uint8_t> src) = 0;
    // Makes written bytes durable; later reads must come from the storage, not a cache,
    // where the system allows it.
    virtual bool Sync() = 0;
    // Releases the file and its lock. A handle that is destroyed unclosed closes itself
    // and drops the error.
    virtual bool Close() = 0;
};

enum class OpenMode {
    readExisting,       // the driver, to load: must exist
    readWriteExisting,  // the driver, to save: must exist; never created, never truncated
    createOrReplace,    // the report: created if missing, emptied once it is locked
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Opens `path` (bytes in the system's 8-bit encoding) with exclusive access: a file that
    // another process holds is refused, not waited for. Nothing on failure.
    virtual std::unique_ptr<FileHandle> Open(const std::string& path, OpenMode mode) = 0;
};

// The running system's file layer.
FileSystem& SystemFileSystem();

// A file name as the core takes it (the system's 8-bit encoding) as UTF-8 text for people to
// read, and back. Windows' ANSI code page is converted; elsewhere names already are the bytes
// that read as UTF-8. A name that came from the system survives the round trip exactly.
std::string FileNameToText(const std::string& fileName);
std::string TextToFileName(const std::string& text);

// `path` made absolute against the working folder, in the same 8-bit encoding, so that it
// names the file `path` names now (which need not exist); nothing for an empty path, one with
// a zero byte, or when the working folder is gone. "." parts are dropped; ".." parts are
// dropped only where the system itself reads them by name (Windows), not through links (POSIX).
std::optional<std::string> AbsoluteFileName(const std::string& path);

// Whether both paths name one existing file, by any spelling or link; false when either is
// missing. Paths are read in the system's 8-bit encoding, as Open reads them.
bool NameTheSameFile(const std::string& first, const std::string& second);

// Reads until `dest` is full or the file ends; the number of bytes read, or nothing on
// failure. A read that makes no progress is the end of the file, never a loop.
std::optional<std::size_t> ReadFully(FileHandle& file, std::uint64_t offset,
                                     std::span<std::uint8_t> dest);

// Writes all of `src`; false on failure or when the system stops taking bytes.
bool WriteFully(FileHandle& file, std::uint64_t offset, std::span<const std::uint8_t> src);

}  // namespace morvex
