// FaultyFileSystem: a file layer that fails at a chosen step, over the real one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "image/FileSystem.h"

namespace morvex::test {

enum class Fault {
    none,
    openFails,
    readFails,        // the first read of a handle fails
    readStopsShort,   // the first read delivers half, then the file seems to end
    writeFails,       // the first write fails
    writeStopsShort,  // the first write takes half, then no more bytes are taken
    syncFails,
    closeFails,       // the file is closed but the close reports failure
    readBackDiffers,  // reads after a write deliver one byte changed
};

// A name for test output ("writeStopsShort").
const char* FaultName(Fault fault);

// For value-parameterised tests: names each case after its fault.
struct FaultCaseName {
    template <class ParamInfo>
    std::string operator()(const ParamInfo& info) const {
        return FaultName(info.param);
    }
};

class FaultyFileSystem final : public FileSystem {
  public:
    explicit FaultyFileSystem(FileSystem& inner = SystemFileSystem()) : m_inner(inner) {}

    // The fault, for files opened in `mode` (any mode when not given).
    void Inject(Fault fault, std::optional<OpenMode> mode = std::nullopt) {
        m_fault = fault;
        m_mode = mode;
    }
    // Lawful but awkward: every read and write moves at most `bytes` bytes.
    void LimitTransfers(std::size_t bytes) { m_chunk = bytes; }

    int opens() const { return m_opens; }

    std::unique_ptr<FileHandle> Open(const std::string& path, OpenMode mode) override;

  private:
    FileSystem& m_inner;
    Fault m_fault = Fault::none;
    std::optional<OpenMode> m_mode;
    std::size_t m_chunk = 0;
    int m_opens = 0;
};

}  // namespace morvex::test
