#include "device_pixels.h"

#include <algorithm>

namespace vostrel {

QRectF crispLineRect(const QLine& line, qreal ratio) {
    const auto device = [ratio](int pixel) { return qRound(pixel * ratio); };
    const int left = std::min(line.x1(), line.x2()), right = std::max(line.x1(), line.x2());
    const int top = std::min(line.y1(), line.y2()), bottom = std::max(line.y1(), line.y2());
    const int thickness = std::max(1, qRound(ratio));
    const bool horizontal = top == bottom;
    const int x = device(left), y = device(top);
    const int width = horizontal ? device(right + 1) - x : thickness;
    const int height = horizontal ? thickness : device(bottom + 1) - y;
    return {x / ratio, y / ratio, width / ratio, height / ratio};
}

} // namespace vostrel
