// The program's resources: lookups by ID, the version record, and the texts the setup
// dialog shows in its message boxes and controls.
#pragma once

#include <span>
#include <string_view>

#include "OutcomeTexts.h"
#include "framework/Template.h"
#include "resource.h"

namespace morvex::res {

// Null when there is no resource with that ID.
const fw::DialogTemplate* FindDialog(int id);
fw::IconHandle LoadIcon(int id);
// Empty when there is no string with that ID.
std::string_view LoadString(int id);
const fw::VersionRecord& Version();

std::span<const fw::DialogTemplate> AllDialogs();
std::span<const fw::StringResource> AllStrings();
std::span<const fw::IconResource* const> AllIcons();

// The protocol list's initial items, ProtocolChoice positions 0-5.
std::span<const std::string_view> ProtocolItems();

// Texts of the setup dialog's prompts and buttons (its messages: OutcomeTexts.h).
namespace text {
inline constexpr std::string_view kReferTitle = "Select location of KESTRIN.SYS";
inline constexpr std::string_view kReferFilter =
    "KESTRIN Driver Files (kestrin.sys)|kestrin.sys|All Files (*.*)|*.*||";
inline constexpr std::string_view kReferExtension = ".sys";
inline constexpr std::string_view kTextOutTitle = "Select the Text-out file";
inline constexpr std::string_view kTextOutFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
inline constexpr std::string_view kTextOutExtension = ".txt";

inline constexpr std::string_view kAddLabel = "&Add";
inline constexpr std::string_view kUpdateLabel = "&Update";
}  // namespace text

}  // namespace morvex::res
