// Exit statuses and the two streams a command reports through.
#pragma once

#include <ostream>
#include <string_view>

namespace morvex::cli {

// 1 is the file or the table saying no; 2 is the command line being wrong. Scripts tell the
// two apart, so every refusal picks one of them deliberately.
enum ExitStatus : int {
    kExitSuccess = 0,
    kExitRefused = 1,
    kExitUsage = 2,
};

class Console {
  public:
    Console(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    // The one line "morvex-cli: MESSAGE" on the error stream; returns `status`.
    int Fail(ExitStatus status, std::string_view message);

    // Writes `text` to the output stream and flushes it; false when the stream did not take
    // it (a full disk, a closed pipe), so the caller can refuse instead of claiming success.
    bool Print(std::string_view text);

  private:
    std::ostream& m_out;
    std::ostream& m_err;
};

}  // namespace morvex::cli
