// Faults the running system raises through the POSIX file layer: files and folders the user
// may not read or write (as an unprivileged user, also when the tests run as root), a driver
// path that stops being a regular file between load and save, and a report aimed at the
// driver itself.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "image/DriverImage.h"
#include "report/TextReport.h"
#include "support/DriverFixture.h"
#include "support/TempDir.h"

namespace morvex {
namespace {

using test::DriverFixture;
using test::ReadFileBytes;
using test::TempDir;

constexpr uid_t kNobody = 65534;

struct Unprivileged {
    bool ran = false;
    std::string result;  // what `body` returned, or why it could not run
};

// Runs `body` as a user the permission bits apply to. Root is not such a user, so as root
// the body runs in a child that has dropped to nobody for good; anyone else runs it here.
Unprivileged RunUnprivileged(const std::function<std::string()>& body) {
    if (::geteuid() != 0) {
        return {true, body()};
    }
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return {false, "pipe failed"};
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return {false, "fork failed"};
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        // Groups first: once the user id is gone, the right to change them is gone too.
        const bool dropped = ::setgroups(0, nullptr) == 0 &&
                             ::setresgid(kNobody, kNobody, kNobody) == 0 &&
                             ::setresuid(kNobody, kNobody, kNobody) == 0 && ::geteuid() == kNobody;
        const std::string out = dropped ? "ran:" + body() : "cannot drop root";
        (void)!::write(pipeEnds[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string out;
    char chunk[256];
    for (ssize_t got; (got = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0;) {
        out.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return {false, "the unprivileged child crashed: " + out};
    }
    if (!out.starts_with("ran:")) {
        return {false, out};
    }
    return {true, out.substr(4)};
}

const char* Name(LoadOutcome outcome) {
    switch (outcome) {
        case LoadOutcome::loaded:
            return "loaded";
        case LoadOutcome::readFailed:
            return "readFailed";
        case LoadOutcome::noTable:
            return "noTable";
    }
    return "?";
}
const char* Name(SaveOutcome outcome) {
    return outcome == SaveOutcome::saved ? "saved" : "writeFailed";
}
const char* Name(ReportOutcome outcome) {
    return outcome == ReportOutcome::written ? "written" : "reportFailed";
}

// A folder the user may enter but not change, holding a driver the user may only read and
// one the user may not even read.
class NoPermission : public testing::Test {
  protected:
    void SetUp() override {
        readOnly = readable.write(dir.file("KESTRIN.SYS"));
        unreadable = DriverFixture().size(3000).tableAt(700).write(dir.file("SECRET.SYS"));
        ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
        ASSERT_EQ(::chmod(unreadable.c_str(), 0), 0);
        ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    }
    // The folder must be writable again for it to be removed.
    void TearDown() override { ::chmod(dir.path().c_str(), 0755); }

    TempDir dir;
    DriverFixture readable = DriverFixture().size(4096).tableAt(512).entry(1, 2, 3);
    std::string readOnly;
    std::string unreadable;
};

TEST_F(NoPermission, NothingIsWrittenReadOrCreatedAndEveryFailureIsReported) {
    const std::string report = dir.file("report.txt");
    const Unprivileged run = RunUnprivileged([&] {
        DriverImage image;
        image.AllocateBuffer();
        std::string out = std::string("load ") + Name(image.Load(readOnly));
        image.SetEntry(0, 0xBEEF, 0xCAFE, 0x02);
        out += std::string(", save ") + Name(image.Save(readOnly));
        out += std::string(", report ") + Name(TextReport::Write(report, image, readOnly));
        out += std::string(", unreadable ") + Name(image.Load(unreadable));
        out += " keeping " + std::to_string(image.GetLength()) + "/" +
               std::to_string(image.GetTableOffset());
        return out;
    });
    ASSERT_TRUE(run.ran) << run.result;
    EXPECT_EQ(run.result,
              "load loaded, save writeFailed, report reportFailed, unreadable readFailed "
              "keeping 4096/512");
    EXPECT_EQ(ReadFileBytes(readOnly), readable.bytes());
    EXPECT_FALSE(std::filesystem::exists(report));
}

// Between load and save the driver's path turns into something that is not a regular file:
// the save fails at once (a FIFO must not block it), and nothing is created.
struct ReplacementCase {
    const char* name;
    std::function<void(const std::string& path, const TempDir& dir)> replace;
};

class ReplacedBeforeSave : public testing::TestWithParam<ReplacementCase> {};

TEST_P(ReplacedBeforeSave, IsWriteFailedAndCreatesNothing) {
    TempDir dir;
    const auto path = DriverFixture().entry(1, 2, 3).write(dir.file("KESTRIN.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    ASSERT_TRUE(std::filesystem::remove(path));
    GetParam().replace(path, dir);
    const auto before = std::filesystem::symlink_status(path).type();

    EXPECT_EQ(image.Save(path), SaveOutcome::writeFailed);

    EXPECT_EQ(std::filesystem::symlink_status(path).type(), before);
    EXPECT_FALSE(std::filesystem::exists(dir.file("elsewhere.sys")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplacedBeforeSave,
    testing::Values(ReplacementCase{"fifo",
                                    [](const std::string& path, const TempDir&) {
                                        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
                                    }},
                    ReplacementCase{"danglingSymlink",
                                    [](const std::string& path, const TempDir& dir) {
                                        std::filesystem::create_symlink(dir.file("elsewhere.sys"),
                                                                        path);
                                    }},
                    ReplacementCase{"symlinkToAFolder",
                                    [](const std::string& path, const TempDir& dir) {
                                        std::filesystem::create_directory(dir.file("folder"));
                                        std::filesystem::create_symlink(dir.file("folder"), path);
                                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// The report replaces its file: aimed at the driver, by any name, it would wipe the driver.
struct SameFileCase {
    const char* name;
    std::function<std::string(const std::string& driver, const TempDir& dir)> reportPath;
};

class ReportOverTheDriver : public testing::TestWithParam<SameFileCase> {};

TEST_P(ReportOverTheDriver, IsRefusedAndLeavesTheDriverAlone) {
    TempDir dir;
    const auto fixture = DriverFixture().size(70000).entry(1, 2, 3);
    const auto driver = fixture.write(dir.file("KESTRIN.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(driver), LoadOutcome::loaded);
    const std::string report = GetParam().reportPath(driver, dir);

    EXPECT_EQ(TextReport::Write(report, image, driver), ReportOutcome::reportFailed);

    EXPECT_EQ(ReadFileBytes(driver), fixture.bytes());
}

INSTANTIATE_TEST_SUITE_P(
    Names, ReportOverTheDriver,
    testing::Values(SameFileCase{"samePath",
                                 [](const std::string& driver, const TempDir&) { return driver; }},
                    SameFileCase{"throughTheFolderAgain",
                                 [](const std::string&, const TempDir& dir) {
                                     return dir.path() + "/./KESTRIN.SYS";
                                 }},
                    SameFileCase{"symlink",
                                 [](const std::string& driver, const TempDir& dir) {
                                     std::filesystem::create_symlink(driver, dir.file("link.txt"));
                                     return dir.file("link.txt");
                                 }},
                    SameFileCase{"hardLink",
                                 [](const std::string& driver, const TempDir& dir) {
                                     std::filesystem::create_hard_link(driver,
                                                                       dir.file("hard.txt"));
                                     return dir.file("hard.txt");
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace morvex
