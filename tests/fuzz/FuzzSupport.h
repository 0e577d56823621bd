// What both fuzz targets share: a checked abort, a file layer in memory, and an image buffer
// whose bytes past those read are poisoned so that any read of them is reported.
#pragma once

#include <sanitizer/asan_interface.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/DriverImage.h"

namespace morvex::fuzz {

// An invariant of the targets; a violation stops the run with its text and a crash input.
[[noreturn]] inline void Violated(const char* what, const char* file, int line) {
    std::fprintf(stderr, "invariant violated at %s:%d: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition)                                         \
    do {                                                              \
        if (!(condition)) {                                           \
            ::morvex::fuzz::Violated(#condition, __FILE__, __LINE__); \
        }                                                             \
    } while (false)

// Files as byte vectors: the targets run millions of times and must not touch the disk.
class MemoryFileSystem final : public FileSystem {
  public:
    void Put(const std::string& path, std::span<const std::uint8_t> bytes) {
        m_files[path] = std::make_shared<std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
    }
    const std::vector<std::uint8_t>* Find(const std::string& path) const {
        const auto it = m_files.find(path);
        return it == m_files.end() ? nullptr : it->second.get();
    }

    std::unique_ptr<FileHandle> Open(const std::string& path, OpenMode mode) override {
        auto it = m_files.find(path);
        if (mode == OpenMode::createOrReplace) {
            auto bytes = std::make_shared<std::vector<std::uint8_t>>();
            m_files[path] = bytes;
            return std::make_unique<File>(std::move(bytes));
        }
        if (it == m_files.end()) {
            return nullptr;
        }
        return std::make_unique<File>(it->second);
    }

  private:
    class File final : public FileHandle {
      public:
        explicit File(std::shared_ptr<std::vector<std::uint8_t>> bytes)
            : m_bytes(std::move(bytes)) {}

        std::optional<std::size_t> ReadAt(std::uint64_t offset,
                                          std::span<std::uint8_t> dest) override {
            if (offset >= m_bytes->size()) {
                return 0;
            }
            const std::size_t n = std::min<std::size_t>(
                dest.size(), m_bytes->size() - static_cast<std::size_t>(offset));
            std::copy_n(m_bytes->begin() + static_cast<std::ptrdiff_t>(offset), n, dest.begin());
            return n;
        }
        std::optional<std::size_t> WriteAt(std::uint64_t offset,
                                           std::span<const std::uint8_t> src) override {
            const auto at = static_cast<std::size_t>(offset);
            if (m_bytes->size() < at + src.size()) {
                m_bytes->resize(at + src.size());
            }
            std::copy(src.begin(), src.end(), m_bytes->begin() + static_cast<std::ptrdiff_t>(at));
            return src.size();
        }
        bool Sync() override { return true; }
        bool Close() override { return true; }

      private:
        std::shared_ptr<std::vector<std::uint8_t>> m_bytes;
    };

    std::map<std::string, std::shared_ptr<std::vector<std::uint8_t>>> m_files;
};

// A DriverImage over the memory files whose buffer is kept in sight: after each load the bytes
// past those read are poisoned, so AddressSanitizer reports a read that strays past them even
// though they are allocated.
class GuardedImage {
  public:
    explicit GuardedImage(FileSystem& files)
        : image(files, [this](std::size_t size) {
              // Not cleared: the product never reads past the bytes it read, and the poison
              // below would report it if it did.
              auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(size);
              m_buffer = buffer.get();
              m_size = size;
              return buffer;
          }) {}
    GuardedImage(const GuardedImage&) = delete;
    GuardedImage& operator=(const GuardedImage&) = delete;
    // The buffer is handed back whole before the image frees it.
    ~GuardedImage() { Unguard(); }

    LoadOutcome Load(const std::string& path) {
        Unguard();
        const LoadOutcome outcome = image.Load(path);
        if (m_buffer != nullptr && static_cast<std::size_t>(image.GetLength()) < m_size) {
            const auto length = static_cast<std::size_t>(image.GetLength());
            ASAN_POISON_MEMORY_REGION(m_buffer + length, m_size - length);
        }
        return outcome;
    }

    DriverImage image;

  private:
    void Unguard() {
        if (m_buffer != nullptr) {
            ASAN_UNPOISON_MEMORY_REGION(m_buffer, m_size);
        }
    }

    std::uint8_t* m_buffer = nullptr;
    std::size_t m_size = 0;
};

}  // namespace morvex::fuzz
