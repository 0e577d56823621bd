// LoadedImage: a fixture written to a fresh folder and loaded into a DriverImage.
#pragma once

#include <stdexcept>
#include <string>

#include "image/DriverImage.h"
#include "support/DriverFixture.h"
#include "support/TempDir.h"

namespace morvex::test {

struct LoadedImage {
    explicit LoadedImage(const DriverFixture& fixture, FileSystem& files = SystemFileSystem())
        : path(fixture.write(dir.file("KESTRIN.SYS"))), image(files) {
        if (image.AllocateBuffer() != BufferOutcome::ready ||
            image.Load(path) != LoadOutcome::loaded) {
            throw std::runtime_error("fixture did not load");
        }
    }

    std::vector<std::uint8_t> bytes() const {
        const auto span = image.Bytes();
        return {span.begin(), span.end()};
    }

    TempDir dir;
    std::string path;
    DriverImage image;
};

}  // namespace morvex::test
