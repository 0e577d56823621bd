// Child processes for the end-to-end tests: fork, redirect, exec and collect.
#include "CliRunner.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace morvex::test {
namespace {

// "nobody" on Debian; only used when the tests run as root.
constexpr uid_t kUnprivilegedId = 65534;

// Only async-signal-safe calls between fork and exec: say why and leave.
[[noreturn]] void ChildFails(const char* what) {
    const ssize_t ignored = ::write(STDERR_FILENO, what, std::strlen(what));
    (void)ignored;
    ::_exit(125);
}

std::string ReadAll(int fd) {
    std::string text;
    char chunk[4096];
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(fd, chunk, sizeof chunk, at);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(chunk, static_cast<std::size_t>(got));
        at += got;
    }
    return text;
}

int CaptureFile(const char* name) {
    const int fd = ::memfd_create(name, MFD_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("memfd_create failed");
    }
    return fd;
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const CliEnvironment& environment) {
    m_out = CaptureFile("morvex-cli-out");
    m_err = CaptureFile("morvex-cli-err");
    std::vector<std::string> words{MORVEX_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const int standardOutput = environment.standardOutput >= 0 ? environment.standardOutput : m_out;
    const bool dropRoot = environment.withoutWriteAccess && ::geteuid() == 0;
    const char* const folder =
        environment.workingDirectory.empty() ? nullptr : environment.workingDirectory.c_str();

    m_pid = ::fork();
    if (m_pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0) {
        if (::dup2(m_err, STDERR_FILENO) < 0 || ::dup2(standardOutput, STDOUT_FILENO) < 0) {
            ::_exit(125);
        }
        const int nothing = ::open("/dev/null", O_RDONLY);
        if (nothing < 0 || ::dup2(nothing, STDIN_FILENO) < 0) {
            ChildFails("test harness: no /dev/null\n");
        }
        if (folder != nullptr && ::chdir(folder) != 0) {
            ChildFails("test harness: chdir failed\n");
        }
        if (dropRoot && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 ||
                         ::setuid(kUnprivilegedId) != 0)) {
            ChildFails("test harness: cannot drop root\n");
        }
        ::execv(argv[0], argv.data());
        ChildFails("test harness: exec failed\n");
    }
}

CliProcess::~CliProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) {
        ::close(m_out);
    }
    if (m_err >= 0) {
        ::close(m_err);
    }
}

CliResult CliProcess::Wait() {
    CliResult result;
    int status = 0;
    pid_t done;
    do {
        done = ::waitpid(m_pid, &status, 0);
    } while (done < 0 && errno == EINTR);
    if (done != m_pid) {
        throw std::runtime_error("waitpid failed");
    }
    m_pid = -1;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadAll(m_out);
    result.err = ReadAll(m_err);
    return result;
}

LockHolder::LockHolder(const std::string& path) {
    int ready[2];
    int release[2];
    if (::pipe2(ready, O_CLOEXEC) != 0 || ::pipe2(release, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    m_pid = ::fork();
    if (m_pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        const char answer = (fd >= 0 && ::flock(fd, LOCK_EX) == 0) ? '1' : '0';
        if (::write(ready[1], &answer, 1) != 1) {
            ::_exit(1);
        }
        char ignored;
        // Returns at end of file: the holder closed its end.
        while (::read(release[0], &ignored, 1) > 0) {
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    m_release = release[1];
    char answer = '0';
    const ssize_t got = ::read(ready[0], &answer, 1);
    ::close(ready[0]);
    if (got != 1 || answer != '1') {
        throw std::runtime_error("the lock holder could not lock " + path);
    }
}

LockHolder::~LockHolder() {
    ::close(m_release);
    ::waitpid(m_pid, nullptr, 0);
}

bool HoldsExclusiveLock(pid_t pid, const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    // Lines read "1: FLOCK  ADVISORY  WRITE 4567 fe:00:10953411 0 EOF".
    std::ifstream locks("/proc/locks");
    const std::string owner = " WRITE " + std::to_string(pid) + " ";
    const std::string inode = ":" + std::to_string(info.st_ino) + " ";
    for (std::string line; std::getline(locks, line);) {
        if (line.find("FLOCK") != std::string::npos && line.find(owner) != std::string::npos &&
            line.find(inode) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void MakeReadOnly(const std::string& folder, const std::string& file) {
    if (::chmod(folder.c_str(), 0755) != 0 || ::chmod(file.c_str(), 0444) != 0) {
        throw std::runtime_error("chmod failed");
    }
}

}  // namespace morvex::test
