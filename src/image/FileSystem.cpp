// The loops that turn partial reads and writes into whole ones.
#include "image/FileSystem.h"

namespace morvex {

std::optional<std::size_t> ReadFully(FileHandle& file, std::uint64_t offset,
                                     std::span<std::uint8_t> dest) {
    std::size_t done = 0;
    while (done < dest.size()) {
        const auto got = file.ReadAt(offset + done, dest.subspan(done));
        if (!got || *got > dest.size() - done) {
            return std::nullopt;
        }
        if (*got == 0) {
            break;
        }
        done += *got;
    }
    return done;
}

bool WriteFully(FileHandle& file, std::uint64_t offset, std::span<const std::uint8_t> src) {
    std::size_t done = 0;
    while (done < src.size()) {
        const auto put = file.WriteAt(offset + done, src.subspan(done));
        // A write that takes no bytes would spin forever: treat it as the failure it is.
        if (!put || *put == 0 || *put > src.size() - done) {
            return false;
        }
        done += *put;
    }
    return true;
}

}  // namespace morvex
