// Handles that pass through to the real file until their fault is due.
#include "support/FaultyFileSystem.h"

#include <algorithm>

namespace morvex::test {
namespace {

class FaultyFile final : public FileHandle {
  public:
    FaultyFile(std::unique_ptr<FileHandle> inner, Fault fault, std::size_t chunk)
        : m_inner(std::move(inner)), m_fault(fault), m_chunk(chunk) {}

    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> dest) override {
        ++m_reads;
        if (m_fault == Fault::readFails && m_reads == 1) {
            return std::nullopt;
        }
        if (m_fault == Fault::readStopsShort && m_reads > 1) {
            return 0;
        }
        auto want = Limit(dest.size());
        if (m_fault == Fault::readStopsShort) {
            want = std::max<std::size_t>(1, want / 2);
        }
        const auto got = m_inner->ReadAt(offset, dest.first(std::min(want, dest.size())));
        if (got && *got > 0 && m_fault == Fault::readBackDiffers && m_writes > 0) {
            dest[0] ^= 0x01;
        }
        return got;
    }

    std::optional<std::size_t> WriteAt(std::uint64_t offset,
                                       std::span<const std::uint8_t> src) override {
        ++m_writes;
        if (m_fault == Fault::writeFails && m_writes == 1) {
            return std::nullopt;
        }
        if (m_fault == Fault::writeStopsShort && m_writes > 1) {
            return 0;
        }
        auto want = Limit(src.size());
        if (m_fault == Fault::writeStopsShort) {
            want = std::max<std::size_t>(1, want / 2);
        }
        return m_inner->WriteAt(offset, src.first(std::min(want, src.size())));
    }

    bool Sync() override { return m_fault != Fault::syncFails && m_inner->Sync(); }

    bool Close() override {
        const bool closed = m_inner->Close();
        return m_fault != Fault::closeFails && closed;
    }

  private:
    std::size_t Limit(std::size_t size) const {
        return m_chunk == 0 ? size : std::min(size, m_chunk);
    }

    std::unique_ptr<FileHandle> m_inner;
    Fault m_fault;
    std::size_t m_chunk;
    int m_reads = 0;
    int m_writes = 0;
};

}  // namespace

const char* FaultName(Fault fault) {
    switch (fault) {
        case Fault::none:
            return "none";
        case Fault::openFails:
            return "openFails";
        case Fault::readFails:
            return "readFails";
        case Fault::readStopsShort:
            return "readStopsShort";
        case Fault::writeFails:
            return "writeFails";
        case Fault::writeStopsShort:
            return "writeStopsShort";
        case Fault::syncFails:
            return "syncFails";
        case Fault::closeFails:
            return "closeFails";
        case Fault::readBackDiffers:
            return "readBackDiffers";
    }
    return "unknown";
}

std::unique_ptr<FileHandle> FaultyFileSystem::Open(const std::string& path, OpenMode mode) {
    ++m_opens;
    const bool due = !m_mode || *m_mode == mode;
    if (due && m_fault == Fault::openFails) {
        return nullptr;
    }
    auto inner = m_inner.Open(path, mode);
    if (inner == nullptr) {
        return nullptr;
    }
    return std::make_unique<FaultyFile>(std::move(inner), due ? m_fault : Fault::none, m_chunk);
}

}  // namespace morvex::test
