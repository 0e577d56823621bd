// The texts morvex-cli reports: the setup dialog's words for the same outcomes, and the few
// that only a command line needs.
#pragma once

#include <string_view>

namespace morvex::cli::message {

// The dialog's texts, word for word.
inline constexpr std::string_view kNoMemory = "Not enoght memory space.";
inline constexpr std::string_view kCannotRead = "Can not read driver's image.";
inline constexpr std::string_view kInvalidImage = "Invalid driver's image.";
inline constexpr std::string_view kMaximumEntryOver = "Maximum entry over.";
inline constexpr std::string_view kInvalidHex = "Invalid hex string.";
inline constexpr std::string_view kInvalidProtocol = "Invalid protocol type.";
inline constexpr std::string_view kDuplicateEntry = "The same VID/PID is already exist.";
inline constexpr std::string_view kCannotUpdate = "Can not update driver's image.";
inline constexpr std::string_view kTextOutFailure = "Text-out failure.";

// The dialog disables its apply button instead of saying this.
inline constexpr std::string_view kWriteProtected = "The entry is write-protected.";

// Standard output is where list, the dry runs and "report DRIVER -" deliver their result.
inline constexpr std::string_view kCannotWriteOutput = "Can not write to standard output.";

}  // namespace morvex::cli::message
