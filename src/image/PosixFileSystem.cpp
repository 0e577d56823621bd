// The POSIX file layer: exclusive flock() for the whole open-to-close, positional I/O,
// and every failure reported.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "image/FileSystem.h"

namespace morvex {
namespace {

class PosixFile final : public FileHandle {
  public:
    explicit PosixFile(int fd) : m_fd(fd) {}
    ~PosixFile() override {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> dest) override {
        if (m_fd < 0) {
            return std::nullopt;
        }
        for (;;) {
            const ssize_t got = ::pread(m_fd, dest.data(), dest.size(), static_cast<off_t>(offset));
            if (got >= 0) {
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) {
                return std::nullopt;
            }
        }
    }

    std::optional<std::size_t> WriteAt(std::uint64_t offset,
                                       std::span<const std::uint8_t> src) override {
        if (m_fd < 0) {
            return std::nullopt;
        }
        for (;;) {
            const ssize_t put = ::pwrite(m_fd, src.data(), src.size(), static_cast<off_t>(offset));
            if (put >= 0) {
                return static_cast<std::size_t>(put);
            }
            if (errno != EINTR) {
                return std::nullopt;
            }
        }
    }

    bool Sync() override {
        if (m_fd < 0 || ::fsync(m_fd) != 0) {
            return false;
        }
        // The pages are clean now; dropping them makes the read-back come from the device.
        ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_DONTNEED);
        return true;
    }

    bool Close() override {
        if (m_fd < 0) {
            return false;
        }
        const int fd = m_fd;
        m_fd = -1;
        // The lock goes with the descriptor. After a failed close() the descriptor is gone
        // on Linux, so it is not retried.
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

// A path is handed to the system as a C string: one with a zero byte would be cut there and
// name another file (opened, emptied or created in its place), so it names none.
bool NamesAFile(const std::string& path) {
    return !path.empty() && path.find('\0') == std::string::npos;
}

class PosixFileSystem final : public FileSystem {
  public:
    std::unique_ptr<FileHandle> Open(const std::string& path, OpenMode mode) override {
        if (!NamesAFile(path)) {
            return nullptr;
        }
        int flags = O_CLOEXEC | O_NOCTTY;
        switch (mode) {
            case OpenMode::readExisting:
                flags |= O_RDONLY | O_NONBLOCK;
                break;
            case OpenMode::readWriteExisting:
                flags |= O_RDWR | O_NONBLOCK;
                break;
            case OpenMode::createOrReplace:
                flags |= O_WRONLY | O_CREAT | O_NONBLOCK;
                break;
        }
        int fd;
        do {
            fd = ::open(path.c_str(), flags, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            return nullptr;
        }
        auto file = std::make_unique<PosixFile>(fd);
        // Only regular files: a FIFO or a device would block or lie about its length.
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            return nullptr;
        }
        // O_NONBLOCK only kept open() from waiting; regular-file I/O ignores it, clear anyway.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        int locked;
        do {
            locked = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            return nullptr;
        }
        // Emptied only once it is ours: a report another process holds stays as it is.
        if (mode == OpenMode::createOrReplace && ::ftruncate(fd, 0) != 0) {
            return nullptr;
        }
        return file;
    }
};

}  // namespace

FileSystem& SystemFileSystem() {
    static PosixFileSystem files;
    return files;
}

std::string FileNameToText(const std::string& fileName) {
    return fileName;
}

std::string TextToFileName(const std::string& text) {
    return text;
}

std::optional<std::string> AbsoluteFileName(const std::string& path) {
    if (!NamesAFile(path)) {
        return std::nullopt;
    }
    std::string full;
    if (path.front() != '/') {
        const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
        if (!folder) {
            return std::nullopt;
        }
        full = folder.get();
    }
    full += '/';
    full += path;
    // Only "." parts and empty ones go: dropping "a/.." would be wrong where "a" is a link.
    std::string clean;
    std::size_t start = 0;
    while (start < full.size()) {
        std::size_t end = full.find('/', start);
        if (end == std::string::npos) {
            end = full.size();
        }
        const std::string_view part(full.data() + start, end - start);
        if (!part.empty() && part != ".") {
            clean += '/';
            clean += part;
        }
        start = end + 1;
    }
    if (clean.empty() || full.back() == '/') {
        clean += '/';
    }
    return clean;
}

bool NameTheSameFile(const std::string& first, const std::string& second) {
    struct stat one {};
    struct stat other {};
    return NamesAFile(first) && NamesAFile(second) && ::stat(first.c_str(), &one) == 0 &&
           ::stat(second.c_str(), &other) == 0 && one.st_dev == other.st_dev &&
           one.st_ino == other.st_ino;
}

}  // namespace morvex
