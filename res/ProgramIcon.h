// The program icon IDR_MAINFRAME, drawn for MORVEX: a driver file holding a device table,
// with the USB mark. 16 colours; one character per pixel (palette index, '.' transparent).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "framework/Template.h"
#include "resource.h"

namespace morvex::res::icon {

// The 16 standard colours.
inline constexpr std::array<std::uint32_t, 16> kPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// clang-format off
inline constexpr std::string_view kRows32[] = {
    "................................",
    "...0000000000000000.............",
    "...0FFFFFFFFFFFFFF00............",
    "...0FFFFFFFFFFFFFF070...........",
    "...0FFFFFFFFFFFFFF0770..........",
    "...0FFFFFFFFFFFFFF07770.........",
    "...0FFFFFFFFFFFFFF077770........",
    "...0FFFFFFFFFFFFFF0000000.......",
    "...0FFFFFFFFFFFFFFFFFFFF0.......",
    "...0FF444444444444444FFF0.......",
    "...0FF444444444444444FFF0.......",
    "...0FFFFFFFFFFFFFFFFFF440.......",
    "...0FFFFFFFFFFFFFFFFF4CC4.......",
    "...0FF888888F888888F4CCCC4......",
    "...0FFFFFFFFFFFFFFF44CCCC44.....",
    "...0FFFFFFFFFFFFFFFFFFCC0.......",
    "...0FF888888F888888FFFCC0..4444.",
    "...0FFFFFFFFFFFF44FFFFCC0..4CC4.",
    "...0FFFFFFFFFFF4CC4FFFCC0..4CC4.",
    "...0FF888888F884CC4FFFCC0..4CC4.",
    "...0FFFFFFFFFFFF4CCFFFCC0...CC..",
    "...0FFFFFFFFFFFFFCCFFFCC0..CC...",
    "...0FF888888F88888CCFFCC0.CC....",
    "...0FFFFFFFFFFFFFFFCCFCC0CC.....",
    "...0FFFFFFFFFFFFFFFFCCCCCC......",
    "...0FFFFFFFFFFFFFFFFFFCC0.......",
    "...0FFFFFFFFFFFFFFFFF4CC4.......",
    "...0FFFFFFFFFFFFFFFF4CCCC4......",
    "...0FFFFFFFFFFFFFFFF4CCCC4......",
    "...0FFFFFFFFFFFFFFFFF4444.......",
    "...0000000000000000000000.......",
    "................................",
};

inline constexpr std::string_view kRows16[] = {
    ".00000000.......",
    ".0FFFFFF00......",
    ".0FFFFFF070.....",
    ".0FFFFFF0000....",
    ".0F4444444F0....",
    ".0FFFFFFFF4C4...",
    ".0F8888884CCC4..",
    ".0FFFFFFFFFC..44",
    ".0F888884FFC..CC",
    ".0FFFFF4C4FC..C.",
    ".0F88888CFFC.C..",
    ".0FFFFFFFCFCC...",
    ".0FFFFFFFFCC....",
    ".0FFFFFFFFFC....",
    ".0FFFFFFFFCCC...",
    ".0000000004C4...",
};
// clang-format on

inline constexpr fw::IconImage kImages[] = {{32, kRows32}, {16, kRows16}};

inline constexpr fw::IconResource kProgramIcon{IDR_MAINFRAME, kPalette, kImages};

}  // namespace morvex::res::icon
