#pragma once

#include <QCursor>
#include <QIcon>
#include <QPoint>

namespace vostrel {

// The pixel the hand cursor points with: the tip of its index finger.
inline constexpr QPoint kHandHotSpot{12, 1};

// The window's icon: the trefoil at 32 x 32 and 16 x 16, the same images as the program file's icon.
// Needs a QGuiApplication.
QIcon trefoilIcon();

// The hand shown over the window's surface and its labels, pointing with its hot spot kHandHotSpot.
// Needs a QGuiApplication.
QCursor handCursor();

} // namespace vostrel
