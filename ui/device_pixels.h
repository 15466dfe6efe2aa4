#pragma once

#include <QLine>
#include <QRectF>

namespace vostrel {

// The rectangle, in the window's own pixels, to fill for a one-pixel line of the layout (horizontal or
// vertical, both ends included) so that on a screen with the given device pixel ratio it covers whole
// device pixels: it starts and ends where the layout pixels do, rounded to the device grid, and is
// max(1, round(ratio)) device pixels thick. A stroked line at 125 % or 150 % would instead fall
// across two device rows, or come out one pixel thick in one place and two in another.
QRectF crispLineRect(const QLine& line, qreal ratio);

} // namespace vostrel
