#pragma once

#include <QLine>
#include <QRect>

namespace vostrel {

// Window coordinates are kept in twips, as the layout was drawn; 15 twips are one device-independent
// pixel. Qt's high-DPI scaling maps those pixels to the screen.
inline constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips) {
    return twips / kTwipsPerPixel;
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

constexpr QLine twipsLine(int x1, int y1, int x2, int y2) {
    return QLine(px(x1), px(y1), px(x2), px(y2));
}

} // namespace vostrel
