// The running backend.
#include "framework/Backend.h"

#include <cstdio>
#include <stdexcept>

namespace morvex::fw {
namespace {

Backend*& CurrentBackend() {
    static Backend* backend = nullptr;
    return backend;
}

}  // namespace

std::string HelpAnchor(unsigned context) {
    char anchor[32];
    std::snprintf(anchor, sizeof anchor, "context-0x%x", context);
    return anchor;
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
