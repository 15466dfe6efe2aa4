#include "window_style.h"

#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace vostrel {

namespace {

// Built once per font and per colour; QFont and QPalette share their data between copies, so every
// control that uses one holds the same data.
const QFont& sharedThaiFont(FontSpec wanted, QFont::StyleStrategy strategy) {
    static std::map<std::tuple<QString, double, int, QFont::StyleStrategy>, QFont> made;
    const QString& family = windowFontFamily();
    auto [found, added] = made.try_emplace({family, wanted.points, wanted.weight, strategy}, family);
    if (added) {
        found->second.setPointSizeF(wanted.points);
        found->second.setWeight(QFont::Weight(wanted.weight));
        found->second.setStyleStrategy(strategy);
    }
    return found->second;
}

} // namespace

const QFont& thaiFont(FontSpec wanted) {
    return sharedThaiFont(wanted, QFont::NoFontMerging);
}

const QFont& thaiTextFont(FontSpec wanted) {
    return sharedThaiFont(wanted, QFont::PreferDefault);
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
