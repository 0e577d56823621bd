// Writing a command's result and its one-line failures.
#include "cli/Console.h"

namespace morvex::cli {

int Console::Fail(ExitStatus status, std::string_view message) {
    m_err << "morvex-cli: " << message << '\n' << std::flush;
    return status;
}

bool Console::Print(std::string_view text) {
    m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
    m_out.flush();
    return m_out.good();
}

}  // namespace morvex::cli
