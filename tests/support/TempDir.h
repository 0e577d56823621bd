// TempDir: a fresh folder per test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace morvex::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // `name` inside the folder.
    std::string file(const std::string& name) const { return m_path + "/" + name; }

  private:
    std::string m_path;
};

}  // namespace morvex::test
