// The Win32 file layer: share mode 0 against other handles, no creation, no truncation,
// disk files only, and paths taken in the ANSI code page.
#include "image/FileSystem.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "image/DriverImage.h"
#include "report/TextReport.h"
#include "support/DriverFixture.h"
#include "support/TempDir.h"

namespace morvex {
namespace {

using test::DriverFixture;
using test::ReadFileBytes;
using test::TempDir;

std::wstring Wide(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

// Another program's handle on a file, opened with the share mode it chose.
class OtherHandle {
  public:
    OtherHandle(const std::string& path, DWORD access, DWORD share)
        : m_handle(::CreateFileW(Wide(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~OtherHandle() {
        if (held()) {
            ::CloseHandle(m_handle);
        }
    }
    OtherHandle(const OtherHandle&) = delete;
    OtherHandle& operator=(const OtherHandle&) = delete;
    bool held() const { return m_handle != INVALID_HANDLE_VALUE; }

  private:
    HANDLE m_handle;
};

struct Holder {
    const char* name;
    DWORD access;
    DWORD share;
};

// A program that holds the file refuses us whatever it lets others do: our share mode 0
// conflicts with any handle already open.
class HeldFile : public testing::TestWithParam<Holder> {};

TEST_P(HeldFile, IsRefusedAndLeftAlone) {
    TempDir dir;
    const auto fixture = DriverFixture().entry(1, 2, 3);
    const auto path = fixture.write(dir.file("KESTRIN.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    ASSERT_TRUE(image.SetEntry(0, 0xFFFF, 0xFFFF, 0x01));
    {
        OtherHandle holder(path, GetParam().access, GetParam().share);
        ASSERT_TRUE(holder.held());
        DriverImage other;
        other.AllocateBuffer();
        EXPECT_EQ(other.Load(path), LoadOutcome::readFailed);
        EXPECT_EQ(image.Save(path), SaveOutcome::writeFailed);
    }
    EXPECT_EQ(ReadFileBytes(path), fixture.bytes());
    EXPECT_EQ(image.Save(path), SaveOutcome::saved);
    EXPECT_NE(ReadFileBytes(path), fixture.bytes());
}

TEST_P(HeldFile, AsAReportKeepsItsBytes) {
    TempDir dir;
    const auto driver = DriverFixture().entry(1, 2, 3).write(dir.file("KESTRIN.SYS"));
    const auto report = dir.file("report.txt");
    test::WriteFileBytes(report, {'k', 'e', 'e', 'p'});
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(driver), LoadOutcome::loaded);
    {
        OtherHandle holder(report, GetParam().access, GetParam().share);
        ASSERT_TRUE(holder.held());
        EXPECT_EQ(TextReport::Write(report, image, driver), ReportOutcome::reportFailed);
    }
    EXPECT_EQ(ReadFileBytes(report), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
}

INSTANTIATE_TEST_SUITE_P(
    Win32FileSystem, HeldFile,
    testing::Values(Holder{"ExclusiveReader", GENERIC_READ, 0},
                    Holder{"SharingReader", GENERIC_READ, FILE_SHARE_READ},
                    Holder{"SharingEverything", GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}),
    [](const testing::TestParamInfo<Holder>& info) { return std::string(info.param.name); });

TEST(Win32FileSystem, NobodyElseOpensAFileWeHold) {
    TempDir dir;
    const auto path = dir.file("data");
    test::WriteFileBytes(path, {1, 2, 3});
    for (const OpenMode mode :
         {OpenMode::readExisting, OpenMode::readWriteExisting, OpenMode::createOrReplace}) {
        auto file = SystemFileSystem().Open(path, mode);
        ASSERT_NE(file, nullptr);
        OtherHandle reader(path, GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        EXPECT_FALSE(reader.held());
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_TRUE(file->Close());
        OtherHandle later(path, GENERIC_READ, FILE_SHARE_READ);
        EXPECT_TRUE(later.held());
    }
}

TEST(Win32FileSystem, ExistingModesNeverCreate) {
    TempDir dir;
    for (const OpenMode mode : {OpenMode::readExisting, OpenMode::readWriteExisting}) {
        EXPECT_EQ(SystemFileSystem().Open(dir.file("none"), mode), nullptr);
        EXPECT_FALSE(std::filesystem::exists(dir.file("none")));
    }
}

TEST(Win32FileSystem, OnlyFilesOnADiskAreOpened) {
    TempDir dir;
    for (const OpenMode mode :
         {OpenMode::readExisting, OpenMode::readWriteExisting, OpenMode::createOrReplace}) {
        EXPECT_EQ(SystemFileSystem().Open("NUL", mode), nullptr);
        EXPECT_EQ(SystemFileSystem().Open(dir.path(), mode), nullptr);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
}

TEST(Win32FileSystem, ReadWriteDoesNotTruncateAndCreateReplaces) {
    TempDir dir;
    const auto path = dir.file("data");
    test::WriteFileBytes(path, {1, 2, 3, 4, 5});
    {
        auto file = SystemFileSystem().Open(path, OpenMode::readWriteExisting);
        ASSERT_NE(file, nullptr);
        const std::uint8_t nine[] = {9};
        EXPECT_TRUE(WriteFully(*file, 1, nine));
        EXPECT_TRUE(file->Sync());
        EXPECT_TRUE(file->Close());
    }
    EXPECT_EQ(ReadFileBytes(path), (std::vector<std::uint8_t>{1, 9, 3, 4, 5}));
    {
        auto file = SystemFileSystem().Open(path, OpenMode::createOrReplace);
        ASSERT_NE(file, nullptr);
        EXPECT_TRUE(file->Close());
    }
    EXPECT_TRUE(ReadFileBytes(path).empty());
}

TEST(Win32FileSystem, ReadsAtAndPastTheEndDeliverNothing) {
    TempDir dir;
    const auto path = dir.file("data");
    test::WriteFileBytes(path, {1, 2, 3, 4, 5});
    auto file = SystemFileSystem().Open(path, OpenMode::readExisting);
    ASSERT_NE(file, nullptr);
    std::uint8_t buffer[8] = {};
    const struct {
        std::uint64_t offset;
        std::size_t expected;
    } cases[] = {{0, 5}, {3, 2}, {5, 0}, {6, 0}, {std::uint64_t{1} << 33, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        EXPECT_EQ(file->ReadAt(c.offset, buffer), std::optional<std::size_t>(c.expected));
    }
    EXPECT_EQ(buffer[0], 4);
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(file->ReadAt(0, buffer), std::nullopt);
    EXPECT_FALSE(file->Close());
}

TEST(Win32FileSystem, AReadOnlyFileIsReadButNeitherSavedNorReplaced) {
    TempDir dir;
    const auto fixture = DriverFixture().entry(1, 2, 3);
    const auto path = fixture.write(dir.file("KESTRIN.SYS"));
    ASSERT_TRUE(::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    ASSERT_TRUE(image.SetEntry(0, 0xFFFF, 0xFFFF, 0x01));
    EXPECT_EQ(image.Save(path), SaveOutcome::writeFailed);
    EXPECT_EQ(TextReport::Write(path, image, path), ReportOutcome::reportFailed);
    ::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(path), fixture.bytes());
}

// The core hands over bytes in the ANSI code page; the file must get the name those bytes
// mean there, not their Latin-1 or UTF-8 reading.
TEST(Win32FileSystem, PathsAreReadInTheAnsiCodePage) {
    TempDir dir;
    const std::wstring name = L"d\u00E9j\u00E0 \u00FC.sys";
    BOOL lossy = FALSE;
    char ansi[64] = {};
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, ansi,
                                             sizeof ansi, nullptr, &lossy);
    if (length <= 0 || lossy) {
        GTEST_SKIP() << "the ANSI code page " << ::GetACP() << " cannot spell the name";
    }
    const std::string path = dir.path() + "\\" + ansi;
    {
        auto file = SystemFileSystem().Open(path, OpenMode::createOrReplace);
        ASSERT_NE(file, nullptr);
        const std::uint8_t byte[] = {42};
        EXPECT_TRUE(WriteFully(*file, 0, byte));
        EXPECT_TRUE(file->Close());
    }
    const std::wstring widePath = Wide(dir.path()) + L"\\" + name;
    EXPECT_NE(::GetFileAttributesW(widePath.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(SystemFileSystem().Open(path, OpenMode::readExisting), nullptr);
    const auto absolute = AbsoluteFileName(path);
    ASSERT_TRUE(absolute.has_value());
    EXPECT_TRUE(NameTheSameFile(*absolute, path));
}

// A working folder the ANSI code page cannot spell: its absolute names would have to be a
// look-alike or '?', neither of which names the file, so there is none. Text shown to the user
// may lose the character to '?', which no file name holds.
TEST(Win32FileSystem, NamesTheCodePageCannotSpellAreNotGuessed) {
    const std::wstring name = L"\u4E2D\u6587";
    BOOL lossy = FALSE;
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, nullptr, 0, nullptr,
                          &lossy);
    if (!lossy) {
        GTEST_SKIP() << "the ANSI code page " << ::GetACP() << " can spell the folder";
    }
    TempDir dir;
    const std::wstring folder = Wide(dir.path()) + L"\\" + name;
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    wchar_t before[MAX_PATH] = {};
    ASSERT_NE(::GetCurrentDirectoryW(MAX_PATH, before), 0u);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.c_str()));
    const auto absolute = AbsoluteFileName("KESTRIN.SYS");
    ::SetCurrentDirectoryW(before);
    EXPECT_EQ(absolute, std::nullopt);
    const std::string spelt = dir.path() + "\\KESTRIN.SYS";
    EXPECT_EQ(AbsoluteFileName(spelt), spelt);

    EXPECT_EQ(TextToFileName("\xE4\xB8\xAD"), "?");
}

}  // namespace
}  // namespace morvex
