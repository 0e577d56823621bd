// The messages for the outcomes of loading, editing, saving and the report, exactly as the
// program has always shown them: one source for the dialog and the command line.
#pragma once

#include <string_view>

namespace morvex::res::text {

inline constexpr std::string_view kNotEnoughMemory = "Not enoght memory space.";
inline constexpr std::string_view kCannotRead = "Can not read driver's image.";
inline constexpr std::string_view kInvalidImage = "Invalid driver's image.";
inline constexpr std::string_view kMaximumEntryOver = "Maximum entry over.";
inline constexpr std::string_view kInvalidHex = "Invalid hex string.";
inline constexpr std::string_view kInvalidProtocol = "Invalid protocol type.";
inline constexpr std::string_view kDuplicateEntry = "The same VID/PID is already exist.";
inline constexpr std::string_view kSaveSettings = "Save settings ?";
inline constexpr std::string_view kCannotUpdate = "Can not update driver's image.";
inline constexpr std::string_view kTextOutFailure = "Text-out failure.";
inline constexpr std::string_view kTextOutDone = "Text-out done.";

}  // namespace morvex::res::text
