#pragma once

#include "control_specs.h"

#include <span>

namespace vostrel {

// The window's client area, in twips.
inline constexpr int kClientWidth = 11880;
inline constexpr int kClientHeight = 6240;
inline constexpr const char* kWindowTitle = "Vostrel";

std::span<const LabelSpec> titleAndCaptionLabels(); // Label9 .. Label17
std::span<const ShapeSpec> legendSwatches();        // Shape1 .. Shape4
std::span<const LineSpec> bracketLines();           // Line1 .. Line8
const ButtonSpec& exitButton();                     // Command113

} // namespace vostrel
