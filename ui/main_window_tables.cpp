#include "main_window_tables.h"

#include <array>

namespace vostrel {
namespace {

// clang-format off
constexpr std::array kLabels{
//  LabelN  caption                  Left  Top   Width Height text colour   font          alignment     tab
    LabelSpec{9,  "ตารางธาตุ",              1800, 120,  3495, 855, kLightYellow, kTitleFont,   Align::Centre, 125},
    LabelSpec{10, "Lanthanide series",      360,  4200, 1575, 255, kYellow,      kCaptionFont, Align::Right,  126},
    LabelSpec{11, "Actenide",               480,  4680, 1455, 255, kYellow,      kCaptionFont, Align::Right,  127},
    LabelSpec{12, "Transition Element",     2640, 1320, 1695, 255, kYellow,      kCaptionFont, Align::Centre, 128},
    LabelSpec{13, "Inner transition Metal", 4320, 3720, 1935, 255, kYellow,      kCaptionFont, Align::Centre, 129},
    LabelSpec{14, "โลหะ",                   840,  5280, 1095, 375, kYellow,      kWindowFont,  Align::Left,   132},
    LabelSpec{15, "กึ่งอโลหะ",                2880, 5280, 1095, 375, kYellow,      kWindowFont,  Align::Left,   133},
    LabelSpec{16, "อโลหะ",                  5160, 5280, 1095, 375, kYellow,      kWindowFont,  Align::Left,   134},
    LabelSpec{17, "ก๊าซเฉื่อย",                7440, 5280, 1095, 375, kYellow,      kWindowFont,  Align::Left,   135},
};

constexpr std::array kSwatches{
//  ShapeN  Left  Top   Width Height colour category
    ShapeSpec{1, 120,  5160, 615, 615, Category::Metal},
    ShapeSpec{2, 2160, 5160, 615, 615, Category::Metalloid},
    ShapeSpec{3, 4440, 5160, 615, 615, Category::NonMetal},
    ShapeSpec{4, 6720, 5160, 615, 615, Category::InertGas},
};

constexpr std::array kLines{
//  LineN  x1    y1    x2    y2
    LineSpec{1, 1320, 1680, 1320, 1560}, // transition bracket, left tick
    LineSpec{2, 2640, 1560, 1320, 1560}, // transition bracket, left half of the bar
    LineSpec{3, 4440, 1560, 5640, 1560}, // transition bracket, right half of the bar
    LineSpec{4, 5640, 1560, 5640, 1680}, // transition bracket, right tick
    LineSpec{5, 2280, 3960, 2280, 4080}, // inner transition bracket, left tick
    LineSpec{6, 8520, 4080, 8520, 3960}, // inner transition bracket, right tick
    LineSpec{7, 2280, 3960, 4320, 3960}, // inner transition bracket, left half of the bar
    LineSpec{8, 8520, 3960, 6240, 3960}, // inner transition bracket, right half of the bar
};

// Along the whole bottom edge; a pixel wider and two taller than the client area leaves room for.
constexpr ButtonSpec kExitButton{113, "จบการทำงาน", 0, 5880, 11895, 390, 137};
// clang-format on

} // namespace

std::span<const LabelSpec> titleAndCaptionLabels() {
    return kLabels;
}
std::span<const ShapeSpec> legendSwatches() {
    return kSwatches;
}
std::span<const LineSpec> bracketLines() {
    return kLines;
}
const ButtonSpec& exitButton() {
    return kExitButton;
}

} // namespace vostrel
