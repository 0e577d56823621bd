// What every system's file layer promises, whichever system it runs on.
#include <gtest/gtest.h>

#include "image/FileSystem.h"
#include "support/DriverFixture.h"
#include "support/TempDir.h"

namespace morvex {
namespace {

using test::ReadFileBytes;
using test::TempDir;

// A name cut at an embedded zero is another file: "a\0b" must not open, create or empty "a".
TEST(FileLayer, PathsThatNameNoFileAreRefused) {
    TempDir dir;
    test::WriteFileBytes(dir.file("a"), {1});
    const std::string cases[] = {"", dir.file("a") + std::string(1, '\0') + "b"};
    for (const auto& path : cases) {
        for (const OpenMode mode :
             {OpenMode::readExisting, OpenMode::readWriteExisting, OpenMode::createOrReplace}) {
            EXPECT_EQ(SystemFileSystem().Open(path, mode), nullptr);
        }
        EXPECT_FALSE(NameTheSameFile(path, dir.file("a")));
    }
    EXPECT_EQ(ReadFileBytes(dir.file("a")), std::vector<std::uint8_t>{1});
}

}  // namespace
}  // namespace morvex
