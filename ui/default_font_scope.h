#pragma once

#include <QFont>

namespace vostrel {

// Makes a font the application's default while the controls of one kind are made, and puts the
// default back afterwards.
//
// A QLineEdit lays out its empty text in the default font while it is constructed, before it takes
// its own font. On a desktop whose default family is an alias ("Sans Serif" without a desktop
// environment) that loads two fonts and searches fontconfig for fallbacks, for a layout thrown away
// at once. With the boxes' own font as the default, the construction uses the font they draw with.
class DefaultFontScope {
public:
    explicit DefaultFontScope(const QFont& font);
    ~DefaultFontScope();
    DefaultFontScope(const DefaultFontScope&) = delete;
    DefaultFontScope& operator=(const DefaultFontScope&) = delete;

private:
    QFont saved_;
};

} // namespace vostrel
