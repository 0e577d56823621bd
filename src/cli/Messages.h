// The texts morvex-cli reports: the setup dialog's words for the same outcomes, and the few
// that only a command line needs.
#pragma once

#include <string_view>

#include "OutcomeTexts.h"

namespace morvex::cli::message {

// The dialog's texts, word for word, from the one place both take them.
inline constexpr std::string_view kNoMemory = res::text::kNotEnoughMemory;
using res::text::kCannotRead;
using res::text::kCannotUpdate;
using res::text::kDuplicateEntry;
using res::text::kInvalidHex;
using res::text::kInvalidImage;
using res::text::kInvalidProtocol;
using res::text::kMaximumEntryOver;
using res::text::kTextOutFailure;

// The dialog disables its apply button instead of saying this.
inline constexpr std::string_view kWriteProtected = "The entry is write-protected.";

// Standard output is where list, the dry runs and "report DRIVER -" deliver their result.
inline constexpr std::string_view kCannotWriteOutput = "Can not write to standard output.";

}  // namespace morvex::cli::message
