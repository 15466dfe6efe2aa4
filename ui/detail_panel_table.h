#pragma once

#include "window_style.h"

#include <span>

namespace vostrel {

// Where every panel row's field label and detail box stand horizontally, and their heights (twips).
inline constexpr int kFieldLabelLeft = 8760, kFieldLabelWidth = 1695, kFieldLabelHeight = 375;
inline constexpr int kDetailBoxLeft = 10560, kDetailBoxWidth = 1215, kDetailBoxHeight = 495;

enum class BoxBackground { Scheme, White };

// One row of the detail panel: a right-aligned field label and, to its right, detail box TextN.
struct PanelRowSpec {
    int row;
    int labelNumber; // LabelN
    const char* caption;
    int labelTop;
    int textNumber; // TextN, which always shows field N of the element record
    int textTop;
    BoxBackground background;
    int labelTabIndex;
    int textTabIndex;
};

std::span<const PanelRowSpec> detailPanelRows();

} // namespace vostrel
