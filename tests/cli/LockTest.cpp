// Files that another process holds locked, and the lock an edit holds from load to save.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "CliFixtures.h"
#include "CliRunner.h"
#include "support/TempDir.h"

namespace morvex::test {
namespace {

struct LockedCase {
    std::string name;
    std::vector<std::string> args;
};

// Test lists name a case by its name, not by its bytes.
void PrintTo(const LockedCase& c, std::ostream* os) {
    *os << c.name;
}

class LockedDriverTest : public ::testing::TestWithParam<LockedCase> {};

TEST_P(LockedDriverTest, IsRefusedAsUnreadableAndLeftAlone) {
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);
    CliResult result;
    {
        LockHolder holder(driver);
        result = RunCli(Expand(GetParam().args, driver, dir.path()));
    }
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "morvex-cli: Can not read driver's image.\n");
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(ReadFileBytes(driver) == before);
    EXPECT_FALSE(std::ifstream(dir.file("report.txt")).is_open());
}

INSTANTIATE_TEST_SUITE_P(
    Cli, LockedDriverTest,
    ::testing::Values(
        LockedCase{"List", {"list", "{driver}"}},
        LockedCase{"Add", {"add", "{driver}", "--vid", "1", "--pid", "2", "--protocol", "cb"}},
        LockedCase{
            "AddDryRun",
            {"add", "{driver}", "--vid", "1", "--pid", "2", "--protocol", "cb", "--dry-run"}},
        LockedCase{"Update", {"update", "{driver}", "0", "--vid", "1"}},
        LockedCase{"Report", {"report", "{driver}", "{dir}/report.txt"}}),
    [](const auto& info) { return info.param.name; });

TEST(LockTest, AReportFileHeldByAnotherProcessIsNeitherReplacedNorEmptied) {
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));
    const std::string report = dir.file("report.txt");
    std::ofstream(report) << "an earlier report\n";
    CliResult result;
    {
        LockHolder holder(report);
        result = RunCli({"report", driver, report});
    }
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "morvex-cli: Text-out failure.\n");
    std::stringstream kept;
    kept << std::ifstream(report).rdbuf();
    EXPECT_EQ(kept.str(), "an earlier report\n");
}

// The system call process `pid` is blocked in, as the kernel shows it ("1 0x1 ..." is a write
// to descriptor 1).
std::string SyscallOf(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/syscall");
    std::string line;
    std::getline(file, line);
    return line;
}

// Standard output is a pipe filled to the brim, so the edit stops at printing its entry,
// which comes after the load and the apply and before the save. There the driver must still
// be locked and untouched; once the pipe drains, the save goes through.
TEST(LockTest, AnEditHoldsTheDriverLockedFromLoadToSave) {
    TempDir dir;
    const DriverFixture fixture = StandardDriver();
    const std::string driver = fixture.write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);

    int pipe[2];
    ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
    ASSERT_EQ(::fcntl(pipe[1], F_SETFL, O_NONBLOCK), 0);
    const std::string filler(4096, 'x');
    std::size_t filled = 0;
    for (;;) {
        const ssize_t put = ::write(pipe[1], filler.data(), filler.size());
        if (put <= 0) {
            ASSERT_TRUE(errno == EAGAIN || errno == EWOULDBLOCK);
            break;
        }
        filled += static_cast<std::size_t>(put);
    }
    // Blocking again: the flag belongs to the pipe, which the child shares.
    ASSERT_EQ(::fcntl(pipe[1], F_SETFL, 0), 0);

    CliEnvironment environment;
    environment.standardOutput = pipe[1];
    CliProcess cli({"add", driver, "--vid", "1", "--pid", "2", "--protocol", "bulk"}, environment);
    ::close(pipe[1]);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (SyscallOf(cli.pid()).rfind("1 0x1 ", 0) != 0) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "never reached its output";
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(HoldsExclusiveLock(cli.pid(), driver));
    const int other = ::open(driver.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(other, 0);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(errno, EWOULDBLOCK);
    ::close(other);
    EXPECT_TRUE(ReadFileBytes(driver) == before);

    std::string output;
    char chunk[4096];
    for (ssize_t got; (got = ::read(pipe[0], chunk, sizeof chunk)) != 0;) {
        if (got < 0) {
            ASSERT_EQ(errno, EINTR);
            continue;
        }
        output.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(pipe[0]);
    const CliResult result = cli.Wait();

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(output.substr(filled), "4  VID_0001&PID_0002  BULK Only\n");
    EXPECT_TRUE(ReadFileBytes(driver) ==
                WithCount(WithSlot(before, fixture, 4, 1, 2, 0x03), fixture, 5));
}

}  // namespace
}  // namespace morvex::test
