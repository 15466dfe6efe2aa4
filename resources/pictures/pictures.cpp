#include "pictures.h"

#include <QPixmap>

namespace vostrel {

namespace {

// The pixel maps are compiled into the program, so it needs no files beside it to show them.
QPixmap picture(const char* name) {
    QPixmap pixmap(QStringLiteral(":/vostrel/pictures/") + QLatin1String(name));
    Q_ASSERT_X(!pixmap.isNull(), "picture", name); // only a broken build can lose a compiled-in resource
    return pixmap;
}

} // namespace

QIcon trefoilIcon() {
    QIcon icon;
    icon.addPixmap(picture("trefoil-32.xpm"));
    icon.addPixmap(picture("trefoil-16.xpm"));
    return icon;
}

QCursor handCursor() {
    return QCursor(picture("hand.xpm"), kHandHotSpot.x(), kHandHotSpot.y());
}

} // namespace vostrel
