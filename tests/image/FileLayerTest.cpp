// What every system's file layer promises, whichever system it runs on.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

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
        EXPECT_EQ(AbsoluteFileName(path), std::nullopt);
    }
    EXPECT_EQ(ReadFileBytes(dir.file("a")), std::vector<std::uint8_t>{1});
}

// The working folder for one test, given back afterwards.
class InFolder {
  public:
    explicit InFolder(const std::string& folder) : m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(m_previous); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

  private:
    std::filesystem::path m_previous;
};

// The command line shows and opens the absolute name: it must name the very file the typed
// one named, however it was spelled, from any working folder, and stay put when made absolute
// again.
TEST(FileLayer, AbsoluteNamesNameTheFileTheGivenOneNamed) {
    TempDir dir;
    test::WriteFileBytes(dir.file("KESTRIN.SYS"), {1});
    std::vector<std::string> names;
    {
        InFolder here(dir.path());
        const std::string fromHere = *AbsoluteFileName("KESTRIN.SYS");
        const std::string fromDir = *AbsoluteFileName(dir.file("KESTRIN.SYS"));
        const std::pair<std::string, std::string> cases[] = {
            {"KESTRIN.SYS", fromHere},
            {"./KESTRIN.SYS", fromHere},
            {".//KESTRIN.SYS", fromHere},
            {dir.file("KESTRIN.SYS"), fromDir},
            {dir.file("./KESTRIN.SYS"), fromDir},
            {dir.file(".//./KESTRIN.SYS"), fromDir},
        };
        for (const auto& [given, spelling] : cases) {
            SCOPED_TRACE(given);
            const auto absolute = AbsoluteFileName(given);
            ASSERT_TRUE(absolute.has_value());
            EXPECT_EQ(*absolute, spelling);
            EXPECT_EQ(AbsoluteFileName(*absolute), absolute);
            names.push_back(*absolute);
        }
    }
    // Back in the earlier working folder, where a relative name would miss the file.
    ASSERT_FALSE(NameTheSameFile("KESTRIN.SYS", dir.file("KESTRIN.SYS")));
    for (const auto& name : names) {
        EXPECT_TRUE(NameTheSameFile(name, dir.file("KESTRIN.SYS"))) << name;
    }
}

}  // namespace
}  // namespace morvex
