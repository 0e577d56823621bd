// The Win32 file layer: CreateFileW with share mode 0 for the whole open-to-close,
// positional I/O, and every failure reported.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <string_view>

#include "image/EntryTable.h"
#include "image/FileSystem.h"

namespace morvex {

// One ReadFile or WriteFile moves at most a DWORD's worth; the image fits many times over.
static_assert(kImageBufferSize <= MAXDWORD);

namespace {

// The largest transfer asked of the system at once; callers loop over partial transfers.
constexpr DWORD kMaxTransfer = 1u << 30;

// The core's paths are bytes in the system's ANSI code page; the system's file calls take
// UTF-16. Bytes that are not valid in that code page, and embedded zeros (which would
// silently name another file), are refused rather than guessed at.
bool ToWidePath(const std::string& path, std::wstring& wide) {
    if (path.empty() || path.size() > static_cast<std::size_t>(INT_MAX) ||
        path.find('\0') != std::string::npos) {
        return false;
    }
    const int length = static_cast<int>(path.size());
    const int needed =
        ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), length, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    wide.assign(static_cast<std::size_t>(needed), L'\0');
    return ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), length, wide.data(),
                                 needed) == needed;
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

class Win32File final : public FileHandle {
  public:
    explicit Win32File(HANDLE handle) : m_handle(handle) {}
    ~Win32File() override {
        if (m_handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(m_handle);
        }
    }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> dest) override {
        if (m_handle == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        // An offset on a synchronous handle makes the read positional.
        OVERLAPPED at = At(offset);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(dest.size(), kMaxTransfer));
        DWORD got = 0;
        if (!::ReadFile(m_handle, dest.data(), want, &got, &at)) {
            // Reading at or past the end with an offset reports this instead of 0 bytes.
            if (::GetLastError() == ERROR_HANDLE_EOF) {
                return 0;
            }
            return std::nullopt;
        }
        return static_cast<std::size_t>(got);
    }

    std::optional<std::size_t> WriteAt(std::uint64_t offset,
                                       std::span<const std::uint8_t> src) override {
        if (m_handle == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        OVERLAPPED at = At(offset);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(src.size(), kMaxTransfer));
        DWORD put = 0;
        if (!::WriteFile(m_handle, src.data(), want, &put, &at)) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(put);
    }

    bool Sync() override {
        // The system offers no way to drop its cache for one file short of unbuffered I/O,
        // so the read-back after this may come from memory; the flush itself is checked.
        return m_handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(m_handle) != 0;
    }

    bool Close() override {
        if (m_handle == INVALID_HANDLE_VALUE) {
            return false;
        }
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        // The share-mode lock ends with the handle; a failed close is not retried, since the
        // handle is no longer valid either way.
        return ::CloseHandle(handle) != 0;
    }

  private:
    HANDLE m_handle;
};

class Win32FileSystem final : public FileSystem {
  public:
    Win32FileSystem() {
        // A drive without a medium then fails the open at once, like any other file error,
        // instead of stopping the program with the system's "insert a disk" box.
        ::SetErrorMode(::SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    }

    std::unique_ptr<FileHandle> Open(const std::string& path, OpenMode mode) override {
        std::wstring wide;
        if (!ToWidePath(path, wide)) {
            return nullptr;
        }
        DWORD access = 0;
        DWORD disposition = OPEN_EXISTING;
        switch (mode) {
            case OpenMode::readExisting:
                access = GENERIC_READ;
                break;
            case OpenMode::readWriteExisting:
                // Read access too: the save reads its bytes back through the same handle.
                access = GENERIC_READ | GENERIC_WRITE;
                break;
            case OpenMode::createOrReplace:
                access = GENERIC_WRITE;
                disposition = OPEN_ALWAYS;
                break;
        }
        // Share mode 0: while we hold the file nobody else may open it, and a file that
        // someone else holds is refused here, not waited for.
        const HANDLE handle = ::CreateFileW(wide.c_str(), access, 0, nullptr, disposition,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        auto file = std::make_unique<Win32File>(handle);
        // Only files on a disk: a device name such as NUL, CON or COM1 opens as well, and
        // would swallow a save or never deliver a driver's bytes.
        if (::GetFileType(handle) != FILE_TYPE_DISK) {
            return nullptr;
        }
        // A file marked read-only is the user's "do not change". Windows refuses to open it
        // for writing; a system that lets a privileged user through anyway (Wine running as
        // root) is held to the same rule here.
        if (mode != OpenMode::readExisting) {
            BY_HANDLE_FILE_INFORMATION info{};
            if (!::GetFileInformationByHandle(handle, &info) ||
                (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
                return nullptr;
            }
        }
        // Emptied only once it is ours: a report another process holds never gets here.
        if (mode == OpenMode::createOrReplace) {
            LARGE_INTEGER start{};
            if (!::SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) ||
                !::SetEndOfFile(handle)) {
                return nullptr;
            }
        }
        return file;
    }
};

}  // namespace

FileSystem& SystemFileSystem() {
    static Win32FileSystem files;
    return files;
}

namespace {

// `wide` in code page `to`. No "best fit" on the way to a code page: a look-alike would name
// another file. A character the page lacks becomes '?', which no file name holds, or, when
// `lossless`, makes the whole conversion fail.
std::optional<std::string> FromWide(std::wstring_view wide, UINT to, bool lossless) {
    if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    const int length = static_cast<int>(wide.size());
    const DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lost = FALSE;
    BOOL* const lostAt = lossless ? &lost : nullptr;
    const int needed =
        ::WideCharToMultiByte(to, flags, wide.data(), length, nullptr, 0, nullptr, lostAt);
    if (needed <= 0 || lost) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(needed), '\0');
    if (::WideCharToMultiByte(to, flags, wide.data(), length, out.data(), needed, nullptr,
                              nullptr) != needed) {
        return std::nullopt;
    }
    return out;
}

std::string Recode(const std::string& text, UINT from, UINT to) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int wideLength = ::MultiByteToWideChar(from, 0, text.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(from, 0, text.data(), length, wide.data(), wideLength);
    return FromWide(wide, to, false).value_or(std::string());
}

}  // namespace

std::string FileNameToText(const std::string& fileName) {
    return Recode(fileName, CP_ACP, CP_UTF8);
}

std::string TextToFileName(const std::string& text) {
    return Recode(text, CP_UTF8, CP_ACP);
}

std::optional<std::string> AbsoluteFileName(const std::string& path) {
    std::wstring wide;
    if (!ToWidePath(path, wide)) {
        return std::nullopt;
    }
    const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return std::nullopt;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return std::nullopt;
    }
    // A name the code page cannot spell names no file for the program.
    return FromWide(std::wstring_view(full.data(), length), CP_ACP, true);
}

bool NameTheSameFile(const std::string& first, const std::string& second) {
    // The file's identity is its volume and index; asked through handles that share
    // everything, so a file someone holds is still recognised.
    auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        std::wstring wide;
        if (!ToWidePath(path, wide)) {
            return false;
        }
        const HANDLE handle =
            ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return false;
        }
        const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
        ::CloseHandle(handle);
        return known;
    };
    BY_HANDLE_FILE_INFORMATION one{};
    BY_HANDLE_FILE_INFORMATION other{};
    return identify(first, one) && identify(second, other) &&
           one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

}  // namespace morvex
