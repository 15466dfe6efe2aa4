#include "window_style.h"

#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace vostrel {

// Built once per font; QFont shares its data between copies, so every control that uses one holds the
// same data, and controls with the same size and weight draw with one loaded font.
const QFont& thaiFont(FontSpec wanted) {
    static std::map<std::tuple<QString, double, int>, QFont> made;
    const QString& family = windowFontFamily();
    auto [found, added] = made.try_emplace({family, wanted.points, wanted.weight}, family);
    if (added) {
        found->second.setPointSizeF(wanted.points);
        found->second.setWeight(QFont::Weight(wanted.weight));
    }
    return found->second;
}

const QPalette& paletteWith(std::initializer_list<RoleColour> colours) {
    static std::map<std::vector<RoleColour>, QPalette> made;
    auto [found, added] = made.try_emplace(colours);
    if (added) {
        for (const auto& [role, colour] : colours)
            found->second.setColor(role, QColor::fromRgb(colour));
    }
    return found->second;
}

} // namespace vostrel
