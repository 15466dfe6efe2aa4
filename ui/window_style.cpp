#include "window_style.h"

namespace vostrel {

QFont thaiFont(FontSpec wanted) {
    QFont font(QString::fromLatin1(kThaiFace));
    font.setPointSizeF(wanted.points);
    font.setWeight(QFont::Weight(wanted.weight));
    return font;
}

} // namespace vostrel
