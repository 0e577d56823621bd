// Handles that pass through to the real file until their fault is due.
#include "support/FaultyFileSystem.h"

#include <algorithm>

namespace morvex::test {
namespace {

class FaultyFile final : public FileHandle {
  public:
    FaultyFile(std::unique_ptr<FileHandle> inner, Fault fault, int nth, std::size_t chunk,
               bool skipSync, std::shared_ptr<int> struck)
        : m_inner(std::move(inner)),
          m_fault(fault),
          m_nth(nth),
          m_chunk(chunk),
          m_skipSync(skipSync),
          m_struck(std::move(struck)) {}

    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> dest) override {
        ++m_reads;
        if (m_writes > 0) {
            ++m_readsAfterWrite;
        }
        if (Due(Fault::readFails, m_reads)) {
            return std::nullopt;
        }
        if (m_fault == Fault::readStopsShort && m_reads > m_nth) {
            return 0;
        }
        auto want = Limit(dest.size());
        if (Due(Fault::readStopsShort, m_reads)) {
            want = std::max<std::size_t>(1, want / 2);
        }
        const auto got = m_inner->ReadAt(offset, dest.first(std::min(want, dest.size())));
        if (got && *got > 0 && Due(Fault::readBackDiffers, m_readsAfterWrite)) {
            dest[0] ^= 0x01;
        }
        return got;
    }

    std::optional<std::size_t> WriteAt(std::uint64_t offset,
                                       std::span<const std::uint8_t> src) override {
        ++m_writes;
        if (Due(Fault::writeFails, m_writes)) {
            return std::nullopt;
        }
        if (m_fault == Fault::writeStopsShort && m_writes > m_nth) {
            return 0;
        }
        auto want = std::min(Limit(src.size()), src.size());
        if (Due(Fault::writeStopsShort, m_writes)) {
            want = std::max<std::size_t>(1, want / 2);
        }
        if (Due(Fault::writeIgnored, m_writes)) {
            return want;
        }
        return m_inner->WriteAt(offset, src.first(want));
    }

    bool Sync() override {
        ++m_syncs;
        return !Due(Fault::syncFails, m_syncs) && (m_skipSync || m_inner->Sync());
    }

    bool Close() override {
        ++m_closes;
        const bool closed = m_inner->Close();
        return !Due(Fault::closeFails, m_closes) && closed;
    }

  private:
    // Whether `fault` is the injected one and `step` the step it waits for; counts the strike.
    bool Due(Fault fault, int step) {
        if (m_fault != fault || step != m_nth) {
            return false;
        }
        ++*m_struck;
        return true;
    }

    std::size_t Limit(std::size_t size) const {
        return m_chunk == 0 ? size : std::min(size, m_chunk);
    }

    std::unique_ptr<FileHandle> m_inner;
    Fault m_fault;
    int m_nth;
    std::size_t m_chunk;
    bool m_skipSync;
    std::shared_ptr<int> m_struck;
    int m_reads = 0;
    int m_readsAfterWrite = 0;
    int m_writes = 0;
    int m_syncs = 0;
    int m_closes = 0;
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
        case Fault::writeIgnored:
            return "writeIgnored";
    }
    return "unknown";
}

std::unique_ptr<FileHandle> FaultyFileSystem::Open(const std::string& path, OpenMode mode) {
    ++m_opens;
    const bool due = !m_mode || *m_mode == mode;
    if (due && m_fault == Fault::openFails && ++m_dueOpens == m_nth) {
        ++*m_struck;
        return nullptr;
    }
    auto inner = m_inner.Open(path, mode);
    if (inner == nullptr) {
        return nullptr;
    }
    return std::make_unique<FaultyFile>(std::move(inner), due ? m_fault : Fault::none, m_nth,
                                        m_chunk, m_skipSync, m_struck);
}

}  // namespace morvex::test
