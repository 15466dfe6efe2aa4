#pragma once

#include "categories.h"
#include "window_style.h"

#include <QColor>

namespace vostrel {

enum class Align { Left, Right, Centre };

// A text label: opaque, no border, caption from its top edge, never focused.
struct LabelSpec {
    int number; // LabelN
    const char* caption;
    int left, top, width, height; // twips
    QRgb textColour;
    FontSpec font;
    Align align;
    int tabIndex; // kept for the record: labels never take the focus
};

// A legend swatch: a filled circle inscribed in its square, drawn on the window surface.
struct ShapeSpec {
    int number; // ShapeN
    int left, top, width, height;
    Category category; // filled with that kind of element's colour
};

// One yellow bracket line drawn on the window surface.
struct LineSpec {
    int number; // LineN
    int x1, y1, x2, y2;
};

// A push button in the system's face colour.
struct ButtonSpec {
    int number; // CommandN
    const char* caption;
    int left, top, width, height;
    int tabIndex;
};

} // namespace vostrel
