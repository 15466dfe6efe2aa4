#include "window_pictures.h"

#include "pictures.h"

namespace vostrel {

QIcon windowIcon() {
    return trefoilIcon();
}

QCursor windowCursor() {
    return handCursor();
}

} // namespace vostrel
