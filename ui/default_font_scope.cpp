#include "default_font_scope.h"

#include <QGuiApplication>

namespace vostrel {

// QGuiApplication's rather than QApplication's setter: the latter also forgets the fonts the platform
// gives single classes of widgets (tool tips, menus), which the default put back would not restore.
DefaultFontScope::DefaultFontScope(const QFont& font)
    : saved_(QGuiApplication::font()) {
    QGuiApplication::setFont(font);
}

DefaultFontScope::~DefaultFontScope() {
    QGuiApplication::setFont(saved_);
}

} // namespace vostrel
