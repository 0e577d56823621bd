// Loading the driver for a command and turning the load's outcome into its message.
#pragma once

#include <memory>
#include <string>

#include "cli/Console.h"
#include "image/DriverImage.h"
#include "image/FileSystem.h"

namespace morvex::cli {

enum class Access {
    read,  // loaded and released at once: list, report, dry runs
    edit,  // opened for writing and held locked until Save, so no other writer slips in
};

class DriverSession {
  public:
    explicit DriverSession(FileSystem& files = SystemFileSystem());

    // Loads `path` (already absolute). On failure the message is out and the exit status
    // returned; kExitSuccess when the table is loaded.
    int Load(const std::string& path, Access access, Console& console);

    DriverImage& image() { return m_image; }
    const std::string& path() const { return m_path; }

    // Whether Save can write at all: false when the file could be read but not opened for
    // writing (and always for Access::read).
    bool CanSave() const { return m_held != nullptr; }

    // Writes the image back through the held file and releases it; the message is out and
    // kExitRefused returned unless the file verifiably holds the image.
    int Save(Console& console);

  private:
    FileSystem& m_files;
    DriverImage m_image;
    std::string m_path;
    // Set while an edit holds the file; empty when it could only be read.
    std::unique_ptr<FileHandle> m_held;
};

}  // namespace morvex::cli
