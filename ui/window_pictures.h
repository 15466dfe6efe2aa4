#pragma once

#include <QCursor>
#include <QIcon>

namespace vostrel {

// The window's icon and the pointer over its surface and labels: set in this one place.
QIcon windowIcon();
QCursor windowCursor();

} // namespace vostrel
