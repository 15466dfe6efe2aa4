#pragma once

#include <QColor>

namespace vostrel {

// The four kinds of element, each with the face colour of its buttons and its legend swatch.
enum class Category { Metal, Metalloid, NonMetal, InertGas };

constexpr QRgb categoryColour(Category category) {
    switch (category) {
    case Category::Metal:
        return 0xFFC080;
    case Category::Metalloid:
        return 0x008000;
    case Category::NonMetal:
        return 0xFFFF00;
    case Category::InertGas:
        return 0xFF80FF;
    }
    return 0xFFC080;
}

} // namespace vostrel
