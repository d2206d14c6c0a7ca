#pragma once
// The program's emblem, an alarm clock: drawn in the month grid, shown as the
// window's icon, and installed as the desktop's icon (PNG and SVG, made from
// this same bitmap at build time by tools/make_icons.cpp).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace almanouk {

// Two bells, a ring with its hands at twelve and four, two feet; "x" is drawn.
inline constexpr std::array<std::string_view, 25> kEmblem = {
    "............................",
    "..xxxx......xxxx......xxxx..",
    ".xxxxxx......xx......xxxxxx.",
    ".xxxxxx..............xxxxxx.",
    ".xxxxxx...xxxxxxxx...xxxxxx.",
    ".xxxxx..xxxxxxxxxxxx..xxxxx.",
    "..xxx..xxx........xxx..xxx..",
    "......xxx....xx....xxx......",
    ".....xxx.....xx.....xxx.....",
    ".....xx......xx......xx.....",
    ".....xx......xx......xx.....",
    "....xx.......xx.......xx....",
    "....xx.......xx.......xx....",
    "....xx.......xx.......xx....",
    "....xx........xx......xx....",
    "....xx.........xx.....xx....",
    ".....xx.........xx...xx.....",
    ".....xx..........xx..xx.....",
    ".....xxx............xxx.....",
    "......xxx..........xxx......",
    ".......xxx........xxx.......",
    "......xxxxxxxxxxxxxxxx......",
    ".....xx...xxxxxxxx...xx.....",
    "....xx................xx....",
    "............................",
};

inline constexpr std::uint32_t kEmblemColour = 0xFFFF00;
// The icon's tile: the blue of the month grid's day box, which is drawn in it too.
inline constexpr std::uint32_t kDayBoxBlue = 0x2727D8;

// The icon: the yellow emblem on a blue tile with rounded corners, size x
// size pixels of 0xAARRGGBB, rows from the top, edges smoothed.
std::vector<std::uint32_t> emblemIcon(int size);
// The same icon as an SVG document.
std::string emblemSvg();

}  // namespace almanouk
