#include "pictures.h"

#include <QPixmap>

namespace vostrel {

namespace {

// The pixel maps are compiled into the program, so it needs no files beside it to show them. They are
// C arrays, read by Qt's own XPM reader directly: read as files, Qt would first load every image format
// plugin to ask whether it reads XPM.
#include "hand.xpm"
#include "trefoil-16.xpm"
#include "trefoil-32.xpm"

} // namespace

QIcon trefoilIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap(trefoil_32));
    icon.addPixmap(QPixmap(trefoil_16));
    return icon;
}

QCursor handCursor() {
    return QCursor(QPixmap(hand), kHandHotSpot.x(), kHandHotSpot.y());
}

} // namespace vostrel
