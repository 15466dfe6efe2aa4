#pragma once

#include <QString>

namespace vostrel {

// The face every font request of the window names, and the size of the window font itself (bold).
inline constexpr char kWindowFontFamily[] = "EucrosiaUPC";
inline constexpr double kWindowFontPoints = 15.75;

// The family of the stand-in compiled into the program: Norasi rescaled to the small glyphs of a
// UPC Thai font, so that captions keep the widths the controls were sized for.
inline constexpr char kWindowFontSubstituteFamily[] = "Norasi UPC";

// Registers the regular and bold stand-in with Qt and, when the window font is not installed,
// makes requests for it resolve to the stand-in; where the window font is installed it is used.
// Call after the QGuiApplication exists; later calls return the first call's result.
// Returns false, after a warning that says why, when the window font will not resolve as it should.
bool installWindowFontSubstitute();

// The family every font of the window names: the window font where it is installed, otherwise,
// once installWindowFontSubstitute() has put it in, the substitute.
const QString& windowFontFamily();

} // namespace vostrel
