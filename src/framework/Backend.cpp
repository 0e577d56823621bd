// The running backend.
#include "framework/Backend.h"

#include <stdexcept>

namespace morvex::fw {
namespace {

Backend*& CurrentBackend() {
    static Backend* backend = nullptr;
    return backend;
}

}  // namespace

std::string HelpAnchor(unsigned context) {
    // Lower-case hexadecimal without leading zeros, by hand: printf would bring its
    // floating-point machinery into the program.
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[context & 0xF]);
        context >>= 4;
    } while (context != 0);
    return "context-0x" + digits;
}

Backend& GetBackend() {
    if (CurrentBackend() == nullptr) {
        throw std::logic_error("no dialog backend is running");
    }
    return *CurrentBackend();
}

bool HasBackend() {
    return CurrentBackend() != nullptr;
}

BackendSession::BackendSession(int& argc, char** argv)
    : m_backend(CreateBackend(argc, argv)), m_previous(CurrentBackend()) {
    CurrentBackend() = m_backend.get();
}

BackendSession::~BackendSession() {
    CurrentBackend() = m_previous;
}

}  // namespace morvex::fw
