#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

#include <optional>

// A reader of .ico and .cur files written for the tests, independent of the tool that makes them.

// The standard 16-colour palette, in the order of its indexes.
inline const QList<QRgb> kStandardPalette{
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

// One directory entry with the image bytes it points at.
struct IconEntry {
    int width = 0;
    int height = 0;
    int colourCount = 0;
    int reserved = 0;
    int planesOrHotX = 0;   // an icon's plane count, a cursor's hot spot x
    int bitCountOrHotY = 0; // an icon's bits per pixel, a cursor's hot spot y
    QByteArray head;        // the entry's first 8 bytes, shared by .ico files and RT_GROUP_ICON
    QByteArray data;        // the image: bitmap header, palette, colour bits, AND mask
};

struct IconFile {
    int type = 0; // 1 icon, 2 cursor
    QList<IconEntry> entries;
};

// An image's bitmap header and palette, and its pixels with the mask applied (transparent where it is set).
struct IconBitmap {
    quint32 headerSize = 0;
    qint32 width = 0;
    qint32 height = 0; // counts colour rows and mask rows
    quint16 planes = 0;
    quint16 bitCount = 0;
    quint32 compression = 0;
    QList<QRgb> palette;
    QImage image; // ARGB32; transparent pixels are 0
    int maskedNonZeroPixels =
        0; // transparent pixels whose colour index is not 0 (they would tint the screen)
};

// An RT_GROUP_ICON directory entry: the icon entry's first 8 bytes, the image size and its RT_ICON id.
struct GroupEntry {
    QByteArray head;
    quint32 bytes = 0;
    int id = 0;
};

// Each returns nothing and says why in *error when the bytes are not what their format requires.
std::optional<IconFile> readIconFile(const QByteArray& bytes, QString* error);
std::optional<IconBitmap> readIconBitmap(const QByteArray& data, QString* error);
std::optional<QList<GroupEntry>> readIconGroup(const QByteArray& bytes, QString* error);

// The bytes of a file, or an empty array with *error set.
QByteArray readWholeFile(const QString& path, QString* error);

// The same pixels: equal colours where opaque, transparent in the same places whatever colour they hide.
bool samePixels(const QImage& a, const QImage& b);
