#include "window_style.h"

namespace vostrel {

QFont thaiFont(FontSpec spec) {
    QFont font(QString::fromLatin1(kThaiFace));
    font.setPointSizeF(spec.points);
    font.setWeight(QFont::Weight(spec.weight));
    return font;
}

} // namespace vostrel
