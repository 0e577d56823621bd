// The system file layer: exclusive access against a second process, no creation, no truncation.
#include "image/FileSystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A child process that holds an exclusive lock on a file until it is destroyed.
class LockingProcess {
  public:
    explicit LockingProcess(const std::string& path) {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) {
            throw std::runtime_error("pipe");
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            // Only this child's own ends stay open, or the release would never arrive.
            ::close(ready[0]);
            ::close(release[1]);
            const int fd = ::open(path.c_str(), O_RDONLY);
            const char ok = (fd >= 0 && ::flock(fd, LOCK_EX) == 0) ? 'y' : 'n';
            (void)!::write(ready[1], &ok, 1);
            char byte;
            (void)!::read(release[0], &byte, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        m_release = release[1];
        char ok = 'n';
        (void)!::read(ready[0], &ok, 1);
        ::close(ready[0]);
        m_locked = ok == 'y';
    }
    ~LockingProcess() {
        ::close(m_release);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
    bool locked() const { return m_locked; }

  private:
    pid_t m_pid = -1;
    int m_release = -1;
    bool m_locked = false;
};

TEST(SystemFileSystem, AFileLockedByAnotherProcessIsRefusedAndLeftAlone) {
    TempDir dir;
    const auto fixture = DriverFixture().entry(1, 2, 3);
    const auto path = fixture.write(dir.file("KESTRIN.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    ASSERT_TRUE(image.SetEntry(0, 0xFFFF, 0xFFFF, 0x01));
    {
        LockingProcess holder(path);
        ASSERT_TRUE(holder.locked());
        DriverImage other;
        other.AllocateBuffer();
        EXPECT_EQ(other.Load(path), LoadOutcome::readFailed);
        EXPECT_EQ(image.Save(path), SaveOutcome::writeFailed);
        EXPECT_EQ(ReadFileBytes(path), fixture.bytes());
    }
    EXPECT_EQ(image.Save(path), SaveOutcome::saved);
}

TEST(SystemFileSystem, AReportFileLockedByAnotherProcessKeepsItsBytes) {
    TempDir dir;
    const auto driver = DriverFixture().entry(1, 2, 3).write(dir.file("KESTRIN.SYS"));
    const auto report = dir.file("report.txt");
    test::WriteFileBytes(report, {'k', 'e', 'e', 'p'});
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(driver), LoadOutcome::loaded);
    LockingProcess holder(report);
    ASSERT_TRUE(holder.locked());
    EXPECT_EQ(TextReport::Write(report, image, driver), ReportOutcome::reportFailed);
    EXPECT_EQ(ReadFileBytes(report), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
}

TEST(SystemFileSystem, ExistingModesNeverCreate) {
    TempDir dir;
    for (const OpenMode mode : {OpenMode::readExisting, OpenMode::readWriteExisting}) {
        EXPECT_EQ(SystemFileSystem().Open(dir.file("none"), mode), nullptr);
        EXPECT_FALSE(std::filesystem::exists(dir.file("none")));
    }
}

TEST(SystemFileSystem, OnlyRegularFilesAreOpened) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(SystemFileSystem().Open(dir.file("fifo"), OpenMode::readExisting), nullptr);
    EXPECT_EQ(SystemFileSystem().Open(dir.path(), OpenMode::readExisting), nullptr);
    EXPECT_EQ(SystemFileSystem().Open(dir.path(), OpenMode::createOrReplace), nullptr);
}

TEST(SystemFileSystem, ReadWriteDoesNotTruncateAndCreateReplaces) {
    TempDir dir;
    const auto path = dir.file("data");
    test::WriteFileBytes(path, {1, 2, 3, 4, 5});
    {
        auto file = SystemFileSystem().Open(path, OpenMode::readWriteExisting);
        ASSERT_NE(file, nullptr);
        const std::uint8_t nine[] = {9};
        EXPECT_TRUE(WriteFully(*file, 1, nine));
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

}  // namespace
}  // namespace morvex
