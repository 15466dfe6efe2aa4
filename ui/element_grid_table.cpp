#include "element_grid_table.h"

#include <array>

namespace vostrel {
namespace {

// clang-format off
constexpr std::array kButtons{
//                  N  caption  column row           colour category     state tooltip      tab index
    ElementButtonSpec{  1, "H",     1, 1,            Category::NonMetal,  State::Gas,           0},
    ElementButtonSpec{  2, "He",   18, 1,            Category::InertGas,  State::Gas,           1},
    ElementButtonSpec{  3, "Li",    1, 2,            Category::Metal,     State::Solid,         7},
    ElementButtonSpec{  4, "Be",    2, 2,            Category::Metal,     State::Solid,         8},
    ElementButtonSpec{  5, "B",    13, 2,            Category::Metalloid, State::Solid,        13},
    ElementButtonSpec{  6, "C",    14, 2,            Category::NonMetal,  State::Solid,        12},
    ElementButtonSpec{  7, "N",    15, 2,            Category::NonMetal,  State::Gas,          11},
    ElementButtonSpec{  8, "O",    16, 2,            Category::NonMetal,  State::Gas,          10},
    ElementButtonSpec{  9, "F",    17, 2,            Category::NonMetal,  State::Gas,           9},
    ElementButtonSpec{ 10, "Ne",   18, 2,            Category::InertGas,  State::Gas,           2},
    ElementButtonSpec{ 11, "Na",    1, 3,            Category::Metal,     State::Solid,        24},
    ElementButtonSpec{ 12, "Mg",    2, 3,            Category::Metal,     State::Solid,        25},
    ElementButtonSpec{ 13, "Al",   13, 3,            Category::Metal,     State::Solid,        26},
    ElementButtonSpec{ 14, "Si",   14, 3,            Category::Metalloid, State::Solid,        27},
    ElementButtonSpec{ 15, "P",    15, 3,            Category::NonMetal,  State::Solid,        28},
    ElementButtonSpec{ 16, "S",    16, 3,            Category::NonMetal,  State::Solid,        29},
    ElementButtonSpec{ 17, "Cl",   17, 3,            Category::NonMetal,  State::Gas,          30},
    ElementButtonSpec{ 18, "Ar",   18, 3,            Category::InertGas,  State::Gas,           3},
    ElementButtonSpec{ 19, "K",     1, 4,            Category::Metal,     State::Solid,       136},
    ElementButtonSpec{ 20, "Ca",    2, 4,            Category::Metal,     State::Solid,        31},
    ElementButtonSpec{ 21, "Sc",    3, 4,            Category::Metal,     State::Solid,        18},
    ElementButtonSpec{ 22, "Ti",    4, 4,            Category::Metal,     State::Solid,        17},
    ElementButtonSpec{ 23, "V",     5, 4,            Category::Metal,     State::Solid,        16},
    ElementButtonSpec{ 24, "Cr",    6, 4,            Category::Metal,     State::Solid,        15},
    ElementButtonSpec{ 25, "Mn",    7, 4,            Category::Metal,     State::Solid,        14},
    ElementButtonSpec{ 26, "Fe",    8, 4,            Category::Metal,     State::Solid,        23},
    ElementButtonSpec{ 27, "Co",    9, 4,            Category::Metal,     State::Solid,        22},
    ElementButtonSpec{ 28, "Ni",   10, 4,            Category::Metal,     State::Solid,        21},
    ElementButtonSpec{ 29, "Cu",   11, 4,            Category::Metal,     State::Solid,        20},
    ElementButtonSpec{ 30, "Zn",   12, 4,            Category::Metal,     State::Solid,        19},
    ElementButtonSpec{ 31, "Ga",   13, 4,            Category::Metal,     State::Liquid,       36},
    ElementButtonSpec{ 32, "Ge",   14, 4,            Category::Metalloid, State::Solid,        35},
    ElementButtonSpec{ 33, "As",   15, 4,            Category::Metalloid, State::Solid,        34},
    ElementButtonSpec{ 34, "Se",   16, 4,            Category::NonMetal,  State::Solid,        33},
    ElementButtonSpec{ 35, "Br",   17, 4,            Category::NonMetal,  State::Liquid,       32},
    ElementButtonSpec{ 36, "Kr",   18, 4,            Category::InertGas,  State::Gas,           4},
    ElementButtonSpec{ 37, "Rb",    1, 5,            Category::Metal,     State::Solid,        47},
    ElementButtonSpec{ 38, "Sr",    2, 5,            Category::Metal,     State::Solid,        48},
    ElementButtonSpec{ 39, "Y",     3, 5,            Category::Metal,     State::Solid,        41},
    ElementButtonSpec{ 40, "Zr",    4, 5,            Category::Metal,     State::Solid,        40},
    ElementButtonSpec{ 41, "Nb",    5, 5,            Category::Metal,     State::Solid,        39},
    ElementButtonSpec{ 42, "Mo",    6, 5,            Category::Metal,     State::Solid,        38},
    ElementButtonSpec{ 43, "Tc",    7, 5,            Category::Metal,     State::Synthesized,  37},
    ElementButtonSpec{ 44, "Ru",    8, 5,            Category::Metal,     State::Solid,        46},
    ElementButtonSpec{ 45, "Rh",    9, 5,            Category::Metal,     State::Solid,        45},
    ElementButtonSpec{ 46, "Pd",   10, 5,            Category::Metal,     State::Solid,        44},
    ElementButtonSpec{ 47, "Ag",   11, 5,            Category::Metal,     State::Solid,        43},
    ElementButtonSpec{ 48, "Cd",   12, 5,            Category::Metal,     State::Solid,        42},
    ElementButtonSpec{ 49, "In",   13, 5,            Category::Metal,     State::Solid,        53},
    ElementButtonSpec{ 50, "Sn",   14, 5,            Category::Metal,     State::Solid,        52},
    ElementButtonSpec{ 51, "Sb",   15, 5,            Category::Metalloid, State::Solid,        51},
    ElementButtonSpec{ 52, "Te",   16, 5,            Category::Metalloid, State::Solid,        50},
    ElementButtonSpec{ 53, "I",    17, 5,            Category::NonMetal,  State::Solid,        49},
    ElementButtonSpec{ 54, "Xe",   18, 5,            Category::InertGas,  State::Gas,           5},
    ElementButtonSpec{ 55, "Cs",    1, 6,            Category::Metal,     State::Solid,        64},
    ElementButtonSpec{ 56, "Ba",    2, 6,            Category::Metal,     State::Solid,        65},
    ElementButtonSpec{ 57, "La*",   3, 6,            Category::Metal,     State::Solid,        58},
    ElementButtonSpec{ 58, "*Ce",   5, kLanthanides, Category::Metal,     State::Solid,        76},
    ElementButtonSpec{ 59, "Pr",    6, kLanthanides, Category::Metal,     State::Solid,        77},
    ElementButtonSpec{ 60, "Nd",    7, kLanthanides, Category::Metal,     State::Solid,        78},
    ElementButtonSpec{ 61, "Pm",    8, kLanthanides, Category::Metal,     State::Synthesized,  79},
    ElementButtonSpec{ 62, "Sm",    9, kLanthanides, Category::Metal,     State::Solid,        80},
    ElementButtonSpec{ 63, "Eu",   10, kLanthanides, Category::Metal,     State::Solid,        81},
    ElementButtonSpec{ 64, "Gd",   11, kLanthanides, Category::Metal,     State::Solid,        82},
    ElementButtonSpec{ 65, "Tb",   12, kLanthanides, Category::Metal,     State::Solid,        83},
    ElementButtonSpec{ 66, "Dy",   13, kLanthanides, Category::Metal,     State::Solid,        84},
    ElementButtonSpec{ 67, "Ho",   14, kLanthanides, Category::Metal,     State::Solid,        85},
    ElementButtonSpec{ 68, "Er",   15, kLanthanides, Category::Metal,     State::Solid,        86},
    ElementButtonSpec{ 69, "Tm",   16, kLanthanides, Category::Metal,     State::Solid,        87},
    ElementButtonSpec{ 70, "Yb",   17, kLanthanides, Category::Metal,     State::Solid,        88},
    ElementButtonSpec{ 71, "Lu",   18, kLanthanides, Category::Metal,     State::Solid,        89},
    ElementButtonSpec{ 72, "Hf",    4, 6,            Category::Metal,     State::Solid,        57},
    ElementButtonSpec{ 73, "Ta",    5, 6,            Category::Metal,     State::Solid,        56},
    ElementButtonSpec{ 74, "W",     6, 6,            Category::Metal,     State::Solid,        55},
    ElementButtonSpec{ 75, "Re",    7, 6,            Category::Metal,     State::Solid,        54},
    ElementButtonSpec{ 76, "Os",    8, 6,            Category::Metal,     State::Solid,        63},
    ElementButtonSpec{ 77, "Ir",    9, 6,            Category::Metal,     State::Solid,        62},
    ElementButtonSpec{ 78, "Pt",   10, 6,            Category::Metal,     State::Solid,        61},
    ElementButtonSpec{ 79, "Au",   11, 6,            Category::Metal,     State::Solid,        60},
    ElementButtonSpec{ 80, "Hg",   12, 6,            Category::Metal,     State::Liquid,       59},
    ElementButtonSpec{ 81, "Tl",   13, 6,            Category::Metal,     State::Solid,        70},
    ElementButtonSpec{ 82, "Pb",   14, 6,            Category::Metal,     State::Solid,        69},
    ElementButtonSpec{ 83, "Bi",   15, 6,            Category::Metal,     State::Solid,        68},
    ElementButtonSpec{ 84, "Po",   16, 6,            Category::Metalloid, State::Solid,        67},
    ElementButtonSpec{ 85, "At",   17, 6,            Category::Metalloid, State::Solid,        66},
    ElementButtonSpec{ 86, "Rn",   18, 6,            Category::InertGas,  State::Gas,           6},
    ElementButtonSpec{ 87, "Fr",    1, 7,            Category::Metal,     State::Liquid,       71},
    ElementButtonSpec{ 88, "Ra",    2, 7,            Category::Metal,     State::Solid,        72},
    ElementButtonSpec{ 89, "Ac**",  3, 7,            Category::Metal,     State::Solid,        73},
    ElementButtonSpec{ 90, "**Th",  5, kActinides,   Category::Metal,     State::Solid,        90},
    ElementButtonSpec{ 91, "Pa",    6, kActinides,   Category::Metal,     State::Solid,        91},
    ElementButtonSpec{ 92, "U",     7, kActinides,   Category::Metal,     State::Solid,        92},
    ElementButtonSpec{ 93, "Np",    8, kActinides,   Category::Metal,     State::Synthesized,  93},
    ElementButtonSpec{ 94, "Pu",    9, kActinides,   Category::Metal,     State::Synthesized,  94},
    ElementButtonSpec{ 95, "Am",   10, kActinides,   Category::Metal,     State::Synthesized,  95},
    ElementButtonSpec{ 96, "Cm",   11, kActinides,   Category::Metal,     State::Synthesized,  96},
    ElementButtonSpec{ 97, "Bk",   12, kActinides,   Category::Metal,     State::Synthesized,  97},
    ElementButtonSpec{ 98, "Cf",   13, kActinides,   Category::Metal,     State::Synthesized,  98},
    ElementButtonSpec{ 99, "Es",   14, kActinides,   Category::Metal,     State::Synthesized,  99},
    ElementButtonSpec{100, "Fm",   15, kActinides,   Category::Metal,     State::Synthesized, 100},
    ElementButtonSpec{101, "Md",   16, kActinides,   Category::Metal,     State::Synthesized, 101},
    ElementButtonSpec{102, "No",   17, kActinides,   Category::Metal,     State::Synthesized, 102},
    ElementButtonSpec{103, "Lw",   18, kActinides,   Category::Metal,     State::Synthesized, 103},
    ElementButtonSpec{104, "Rf",    4, 7,            Category::Metal,     State::Synthesized,  74},
    ElementButtonSpec{105, "Ha",    5, 7,            Category::Metal,     State::Synthesized,  75},
    ElementButtonSpec{106, "Sg",    6, 7,            Category::Metal,     State::Synthesized, 104},
    ElementButtonSpec{107, "Bh",    7, 7,            Category::Metal,     State::Synthesized, 105},
    ElementButtonSpec{108, "Hs",    8, 7,            Category::Metal,     State::Synthesized, 106},
    ElementButtonSpec{109, "Mt",    9, 7,            Category::Metal,     State::Synthesized, 107},
    ElementButtonSpec{110, "Uun",  10, 7,            Category::Metal,     State::Synthesized, 108},
    ElementButtonSpec{111, "Uuu",  11, 7,            Category::Metal,     State::Synthesized, 109},
    ElementButtonSpec{112, "Uub",  12, 7,            Category::Metal,     State::Synthesized, 110},
};
// clang-format on

constexpr int kHydrogen = 1;
constexpr int kPotassium = 19;

} // namespace

std::span<const ElementButtonSpec> elementButtons() {
    return kButtons;
}

QPoint elementButtonPosition(const ElementButtonSpec& button) {
    const int left = 120 + 480 * (button.column - 1);
    int top = 360 + 480 * (button.row - 1);
    if (button.row == kLanthanides)
        top = 4080;
    else if (button.row == kActinides)
        top = 4560;
    if (button.number == kHydrogen)
        top -= 120; // H stands raised above the rest of period 1
    return {left, top};
}

FontSpec elementButtonFont(const ElementButtonSpec& button) {
    // K alone has always been drawn in regular weight.
    return button.number == kPotassium ? FontSpec{kCaptionFont.points, 400} : kCaptionFont;
}

const char* stateTooltip(State state) {
    switch (state) {
    case State::Solid:
        return "ของแข็ง";
    case State::Liquid:
        return "ของเหลว";
    case State::Gas:
        return "ก๊าซ";
    case State::Synthesized:
        return "ธาตุที่นักวิทยาศาสตร์สังเคราะห์ขึ้น";
    }
    return "";
}

} // namespace vostrel
