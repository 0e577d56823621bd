// FaultyFileSystem: a file layer that fails at a chosen step, over the real one.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "image/FileSystem.h"

namespace morvex::test {

// Each fault strikes at the step it names; "the first" is the first unless Inject says which.
enum class Fault {
    none,
    openFails,
    readFails,        // the first read of a handle fails
    readStopsShort,   // the first read delivers half, then the file seems to end
    writeFails,       // the first write fails
    writeStopsShort,  // the first write takes half, then no more bytes are taken
    syncFails,        // the first sync fails
    closeFails,       // the file is closed but the close reports failure
    readBackDiffers,  // the first read after a write delivers one byte changed
    writeIgnored,     // the first write reports every byte taken but none reaches the file
};

// Every fault, for tables of cases.
inline constexpr Fault kEveryFault[] = {
    Fault::openFails,  Fault::readFails,       Fault::readStopsShort,
    Fault::writeFails, Fault::writeStopsShort, Fault::syncFails,
    Fault::closeFails, Fault::readBackDiffers, Fault::writeIgnored,
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
    explicit FaultyFileSystem(FileSystem& inner = SystemFileSystem())
        : m_inner(inner), m_struck(std::make_shared<int>(0)) {}

    // The fault, for files opened in `mode` (any mode when not given), at the `nth` step of
    // its kind: the nth open, or the nth read, write, sync or close of each handle (for
    // readBackDiffers the nth read after a write).
    void Inject(Fault fault, std::optional<OpenMode> mode = std::nullopt, int nth = 1) {
        m_fault = fault;
        m_mode = mode;
        m_nth = nth;
        m_dueOpens = 0;
        *m_struck = 0;
    }
    // Lawful but awkward: every read and write moves at most `bytes` bytes.
    void LimitTransfers(std::size_t bytes) { m_chunk = bytes; }
    // Syncs succeed without waiting for the disk: for long runs whose subject is not
    // durability, where thousands of real syncs would take minutes.
    void SkipSync() { m_skipSync = true; }

    int opens() const { return m_opens; }
    // How often the injected fault has struck since Inject: 0 when the step it waits for
    // never came.
    int struck() const { return *m_struck; }

    std::unique_ptr<FileHandle> Open(const std::string& path, OpenMode mode) override;

  private:
    FileSystem& m_inner;
    Fault m_fault = Fault::none;
    std::optional<OpenMode> m_mode;
    int m_nth = 1;
    int m_dueOpens = 0;
    std::size_t m_chunk = 0;
    bool m_skipSync = false;
    int m_opens = 0;
    std::shared_ptr<int> m_struck;  // shared with the handles, which may outlive a test's view
};

}  // namespace morvex::test
