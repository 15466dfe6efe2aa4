#include "detail_panel_table.h"

#include <array>

namespace vostrel {
namespace {

// Rows 7 and 8 hold Text8 above Text7: the number of electrons stands above the group.
// clang-format off
constexpr std::array kRows{
//  row label caption                  label top text field top background              label tab text tab
    PanelRowSpec{1, 1, "เลขอะตอม",           360,  1, 240,  BoxBackground::Scheme, 131, 130},
    PanelRowSpec{2, 2, "เลขออกซิเดชั่น",       1080, 2, 960,  BoxBackground::Scheme, 114, 111},
    PanelRowSpec{3, 3, "ชื่อธาตุ",             1800, 3, 1680, BoxBackground::Scheme, 115, 112},
    PanelRowSpec{4, 4, "จุดเดือด",             2520, 4, 2400, BoxBackground::Scheme, 116, 113},
    PanelRowSpec{5, 5, "จุดหลอมเหลว",         3240, 5, 3120, BoxBackground::Scheme, 117, 118},
    PanelRowSpec{6, 6, "จำนวนโปรตรอน",        3960, 6, 3840, BoxBackground::Scheme, 119, 120},
    PanelRowSpec{7, 8, "จำนวนอิเล็กตรอน",      4680, 8, 4560, BoxBackground::Scheme, 124, 122},
    PanelRowSpec{8, 7, "หมู่ธาตุ",              5400, 7, 5280, BoxBackground::White,  123, 121},
};
// clang-format on

} // namespace

std::span<const PanelRowSpec> detailPanelRows() {
    return kRows;
}

} // namespace vostrel
