#include "window_style.h"

#include <map>
#include <utility>
#include <vector>

namespace vostrel {

// Built once per font and per colour; QFont and QPalette share their data between copies, so every
// control that uses one holds the same data.
const QFont& thaiFont(FontSpec wanted) {
    static std::map<std::pair<double, int>, QFont> made;
    auto [found, added] = made.try_emplace({wanted.points, wanted.weight}, QString::fromLatin1(kThaiFace));
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
