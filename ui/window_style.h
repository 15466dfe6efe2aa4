#pragma once

#include "window_font.h"

#include <QColor>
#include <QFont>
#include <QPalette>

#include <initializer_list>
#include <utility>

namespace vostrel {

// Colours of the window and its controls.
inline constexpr QRgb kNavy = 0x000080;
inline constexpr QRgb kYellow = 0xFFFF00;
inline constexpr QRgb kLightYellow = 0xFFFFC0;
inline constexpr QRgb kRed = 0xFF0000;
inline constexpr QRgb kWhite = 0xFFFFFF;

// A font as the layout names it: the Thai face (the window font, or its substitute where that is not
// installed) at a point size and weight.
struct FontSpec {
    double points;
    int weight; // 400 regular, 700 bold
};

inline constexpr FontSpec kWindowFont{kWindowFontPoints, 700};
inline constexpr FontSpec kTitleFont{36, 700};
inline constexpr FontSpec kCaptionFont{14.25, 700}; // region captions, element buttons, detail boxes

// The Thai face at that size and weight, one shared value per font. The face holds every character the
// captions use; only what the user types into a box may need other fonts to fill in, and Qt looks for
// those only when a character is missing.
const QFont& thaiFont(FontSpec wanted);

// A palette that sets only these colour roles; the rest comes from the control's parent. One shared
// value per set of colours.
using RoleColour = std::pair<QPalette::ColorRole, QRgb>;
const QPalette& paletteWith(std::initializer_list<RoleColour> colours);

} // namespace vostrel
