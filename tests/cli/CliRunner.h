// Runs the built morvex-cli in a child process, and holds files locked from another one.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace morvex::test {

struct CliResult {
    int status = -1;  // the exit status, or 128 + the signal that ended the program
    std::string out;
    std::string err;
};

struct CliEnvironment {
    std::string workingDirectory;  // empty: the test's own
    int standardOutput = -1;       // a descriptor to write to instead of the captured output
    // Run as a user who may read but not write files that only root may write (when the
    // tests run as root, who may write anything).
    bool withoutWriteAccess = false;
};

// One run of morvex-cli, started at construction.
class CliProcess {
  public:
    CliProcess(const std::vector<std::string>& args, const CliEnvironment& environment = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t pid() const { return m_pid; }
    // Waits for the end and collects the status and both outputs.
    CliResult Wait();

  private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
};

inline CliResult RunCli(const std::vector<std::string>& args,
                        const CliEnvironment& environment = {}) {
    return CliProcess(args, environment).Wait();
}

// A forked child that holds an exclusive flock() on `path` until destroyed.
class LockHolder {
  public:
    explicit LockHolder(const std::string& path);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

  private:
    pid_t m_pid = -1;
    int m_release = -1;
};

// Whether process `pid` holds an exclusive flock() on `path`, as the kernel lists it; asks
// without taking the lock itself.
bool HoldsExclusiveLock(pid_t pid, const std::string& path);

// Makes the file and its folder readable for the user of CliEnvironment::withoutWriteAccess
// and the file read-only.
void MakeReadOnly(const std::string& folder, const std::string& file);

}  // namespace morvex::test
