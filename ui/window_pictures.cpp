#include "window_pictures.h"

namespace vostrel {

QIcon windowIcon() {
    return {};
}

QCursor windowCursor() {
    return QCursor(Qt::PointingHandCursor);
}

} // namespace vostrel
