#pragma once

#include "categories.h"
#include "window_style.h"

#include <QPoint>

#include <span>

namespace vostrel {

enum class State { Solid, Liquid, Gas, Synthesized };

// Grid rows 1..7 are the periods; the two series stand below them.
inline constexpr int kLanthanides = 8;
inline constexpr int kActinides = 9;

inline constexpr int kElementButtonSize = 495; // twips, square; the 480 pitch overlaps neighbours by a pixel

// The button of element N.
struct ElementButtonSpec {
    int number; // CommandN and element N
    const char* caption;
    int column; // 1..18
    int row;    // period 1..7, kLanthanides or kActinides
    Category category;
    State state;
    int tabIndex;
};

std::span<const ElementButtonSpec> elementButtons();

// Top-left corner of a button in twips, from its place on the grid.
QPoint elementButtonPosition(const ElementButtonSpec& button);
FontSpec elementButtonFont(const ElementButtonSpec& button);
const char* stateTooltip(State state);

} // namespace vostrel
