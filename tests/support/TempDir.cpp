// A throwaway folder under the system's temporary directory.
#include "support/TempDir.h"

#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

namespace morvex::test {

TempDir::TempDir() {
    // create_directory reports whether it made the folder, so a name another test or
    // process took already is never shared: try the next one.
    const auto base = std::filesystem::temp_directory_path();
    std::random_device seed;
    std::mt19937_64 names(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate = base / ("morvex-" + std::to_string(names() % 1000000000000ULL));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            m_path = candidate.string();
            return;
        }
    }
    throw std::runtime_error("no fresh folder under " + base.string());
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

}  // namespace morvex::test
