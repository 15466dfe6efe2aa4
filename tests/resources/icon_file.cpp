#include "icon_file.h"

#include <QFile>
#include <QtEndian>

namespace {

// Little-endian reads within a byte array; every read is checked against its end.
class Reader {
public:
    explicit Reader(const QByteArray& bytes, qsizetype at = 0)
        : bytes_(bytes)
        , at_(at) {}

    bool has(qsizetype count) const { return at_ >= 0 && count >= 0 && at_ + count <= bytes_.size(); }
    quint8 u8() { return static_cast<quint8>(take(1)[0]); }
    quint16 u16() { return qFromLittleEndian<quint16>(take(2).constData()); }
    quint32 u32() { return qFromLittleEndian<quint32>(take(4).constData()); }
    QByteArray take(qsizetype count) {
        Q_ASSERT(has(count));
        const QByteArray part = bytes_.mid(at_, count);
        at_ += count;
        return part;
    }

private:
    const QByteArray& bytes_;
    qsizetype at_;
};

std::nullopt_t fail(QString* error, const QString& why) {
    *error = why;
    return std::nullopt;
}

} // namespace

std::optional<IconFile> readIconFile(const QByteArray& bytes, QString* error) {
    Reader in(bytes);
    if (!in.has(6))
        return fail(error, "shorter than a directory header");
    IconFile file;
    const quint16 reserved = in.u16();
    file.type = in.u16();
    const int count = in.u16();
    if (reserved != 0 || (file.type != 1 && file.type != 2))
        return fail(error, "not an icon or cursor directory");
    if (!in.has(16 * count))
        return fail(error, "directory entries cut short");
    qsizetype expectedOffset = 6 + 16 * count; // images follow the directory, in order, with no gaps
    for (int i = 0; i < count; ++i) {
        IconEntry entry;
        Reader head(bytes, 6 + 16 * i);
        entry.head = bytes.mid(6 + 16 * i, 8);
        entry.width = head.u8();
        entry.height = head.u8();
        entry.colourCount = head.u8();
        entry.reserved = head.u8();
        entry.planesOrHotX = head.u16();
        entry.bitCountOrHotY = head.u16();
        const quint32 size = head.u32();
        const quint32 offset = head.u32();
        if (offset != expectedOffset)
            return fail(error,
                        QString("image %1 starts at %2, not %3").arg(i).arg(offset).arg(expectedOffset));
        if (!Reader(bytes, offset).has(size))
            return fail(error, QString("image %1 runs past the end of the file").arg(i));
        entry.data = bytes.mid(offset, size);
        expectedOffset += size;
        file.entries.append(entry);
    }
    if (expectedOffset != bytes.size())
        return fail(error, "bytes after the last image");
    return file;
}

std::optional<IconBitmap> readIconBitmap(const QByteArray& data, QString* error) {
    Reader in(data);
    if (!in.has(40))
        return fail(error, "shorter than a bitmap header");
    IconBitmap bitmap;
    bitmap.headerSize = in.u32();
    bitmap.width = static_cast<qint32>(in.u32());
    bitmap.height = static_cast<qint32>(in.u32());
    bitmap.planes = in.u16();
    bitmap.bitCount = in.u16();
    bitmap.compression = in.u32();
    if (bitmap.headerSize != 40 || bitmap.bitCount != 4 || bitmap.compression != 0)
        return fail(error, "not an uncompressed 4-bit bitmap with a 40-byte header");
    const int width = bitmap.width;
    const int height = bitmap.height / 2;
    if (width < 1 || width > 256 || height < 1 || height > 256 || bitmap.height % 2 != 0)
        return fail(error, QString("unlikely size %1 x %2").arg(bitmap.width).arg(bitmap.height));

    const qsizetype colourStride = (width * 4 + 31) / 32 * 4;
    const qsizetype maskStride = (width + 31) / 32 * 4;
    const qsizetype paletteAt = 40, colourAt = paletteAt + 16 * 4, maskAt = colourAt + colourStride * height;
    if (data.size() != maskAt + maskStride * height)
        return fail(error, QString("%1 bytes, not the %2 a %3 x %4 image takes")
                               .arg(data.size())
                               .arg(maskAt + maskStride * height)
                               .arg(width)
                               .arg(height));

    Reader palette(data, paletteAt);
    for (int i = 0; i < 16; ++i) {
        const quint32 bgrx = palette.u32();
        bitmap.palette.append(0xFF000000 | (bgrx & 0xFFFFFF));
    }
    bitmap.image = QImage(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const int stored = height - 1 - y; // bottom row first
        for (int x = 0; x < width; ++x) {
            const auto colourByte = static_cast<quint8>(data[colourAt + stored * colourStride + x / 2]);
            const int index = x % 2 == 0 ? colourByte >> 4 : colourByte & 0x0F;
            const auto maskByte = static_cast<quint8>(data[maskAt + stored * maskStride + x / 8]);
            const bool transparent = maskByte & (0x80 >> (x % 8));
            if (transparent && index != 0)
                ++bitmap.maskedNonZeroPixels;
            bitmap.image.setPixel(x, y, transparent ? 0 : bitmap.palette[index]);
        }
    }
    return bitmap;
}

std::optional<QList<GroupEntry>> readIconGroup(const QByteArray& bytes, QString* error) {
    Reader in(bytes);
    if (!in.has(6))
        return fail(error, "shorter than a group header");
    const quint16 reserved = in.u16(), type = in.u16(), count = in.u16();
    if (reserved != 0 || type != 1)
        return fail(error, "not an icon group");
    if (bytes.size() != 6 + 14 * count)
        return fail(error, QString("%1 bytes for %2 entries").arg(bytes.size()).arg(count));
    QList<GroupEntry> entries;
    for (int i = 0; i < count; ++i) {
        GroupEntry entry;
        entry.head = in.take(8);
        entry.bytes = in.u32();
        entry.id = in.u16();
        entries.append(entry);
    }
    return entries;
}

QByteArray readWholeFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + ": " + file.errorString();
        return {};
    }
    return file.readAll();
}

bool samePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return false;
    const QImage left = a.convertToFormat(QImage::Format_ARGB32),
                 right = b.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < left.height(); ++y)
        for (int x = 0; x < left.width(); ++x) {
            const QRgb p = left.pixel(x, y), q = right.pixel(x, y);
            if (qAlpha(p) != qAlpha(q) || (qAlpha(p) != 0 && p != q))
                return false;
        }
    return true;
}
