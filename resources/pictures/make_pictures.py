#!/usr/bin/env python3
"""Makes the program's picture files from their XPM pixel maps.

    make_pictures.py icon --ico OUT.ico --group OUT.bin --image MAP.xpm ID OUT.bin [--image ...]
    make_pictures.py cursor --cur OUT.cur MAP.xpm
    make_pictures.py png --png OUT.png [--scale N] MAP.xpm

Every pixel of a map is one of the 16 standard Windows colours or transparent ("None"). Icon and cursor
images are device-independent bitmaps of 4 bits per pixel over that palette with an AND mask, as Windows
has always stored them. Besides the .ico file, `icon` writes each image as a raw RT_ICON resource and the
RT_GROUP_ICON directory naming them by ID, for the Windows resource script. A cursor's hot spot is the one
in its map's values line ("32 32 17 1 12 1": width height colours chars-per-pixel hot-x hot-y).

Only the Python standard library is used, so the tool runs wherever the build runs.
"""

import argparse
import re
import struct
import sys
import zlib

# The standard 16-colour palette, in the order of its indexes.
PALETTE = [
    ("black", 0x000000),
    ("maroon", 0x800000),
    ("green", 0x008000),
    ("olive", 0x808000),
    ("navy", 0x000080),
    ("purple", 0x800080),
    ("teal", 0x008080),
    ("silver", 0xC0C0C0),
    ("grey", 0x808080),
    ("red", 0xFF0000),
    ("lime", 0x00FF00),
    ("yellow", 0xFFFF00),
    ("blue", 0x0000FF),
    ("fuchsia", 0xFF00FF),
    ("aqua", 0x00FFFF),
    ("white", 0xFFFFFF),
]
PALETTE_INDEX = {rgb: index for index, (_, rgb) in enumerate(PALETTE)}

BITS_PER_PIXEL = 4
BITMAP_HEADER_SIZE = 40
ICON_TYPE, CURSOR_TYPE = 1, 2
LARGEST_SIDE = 255  # a directory entry keeps width and height in one byte each


class PictureError(Exception):
    pass


class Picture:
    """A pixel map: rows of palette indexes, None where transparent."""

    def __init__(self, name, width, height, rows, hot_spot):
        self.name = name
        self.width = width
        self.height = height
        self.rows = rows
        self.hot_spot = hot_spot


def xpm_strings(text, name):
    """The string literals of an XPM file, in order, with the line each starts on; comments are skipped."""
    strings = []
    pos, line = 0, 1
    while pos < len(text):
        if text.startswith("/*", pos):
            end = text.find("*/", pos + 2)
            if end < 0:
                raise PictureError(f"{name}:{line}: comment is not closed")
            line += text.count("\n", pos, end)
            pos = end + 2
        elif text[pos] == '"':
            end = text.find('"', pos + 1)
            if end < 0 or "\n" in text[pos:end]:
                raise PictureError(f"{name}:{line}: string is not closed on its line")
            literal = text[pos + 1 : end]
            if "\\" in literal:
                raise PictureError(f"{name}:{line}: escapes are not allowed in a pixel map")
            strings.append((line, literal))
            pos = end + 1
        else:
            if text[pos] == "\n":
                line += 1
            pos += 1
    return strings


def read_xpm(path):
    try:
        with open(path, encoding="ascii") as f:
            text = f.read()
    except (OSError, UnicodeDecodeError) as e:
        raise PictureError(f"{path}: cannot read: {e}") from None
    if not text.startswith("/* XPM */"):
        raise PictureError(f"{path}: not an XPM file (it must begin with /* XPM */)")
    strings = xpm_strings(text, path)
    if not strings:
        raise PictureError(f"{path}: no values line")

    line, values = strings[0]
    numbers = values.split()
    if len(numbers) not in (4, 6) or not all(n.isdigit() for n in numbers):
        raise PictureError(f"{path}:{line}: values line must be 'width height colours chars-per-pixel [hot-x hot-y]'")
    width, height, colour_count, chars = (int(n) for n in numbers[:4])
    hot_spot = (int(numbers[4]), int(numbers[5])) if len(numbers) == 6 else None
    if not (1 <= width <= LARGEST_SIDE and 1 <= height <= LARGEST_SIDE):
        raise PictureError(f"{path}:{line}: size {width} x {height} is not between 1 and {LARGEST_SIDE}")
    if colour_count < 1 or chars < 1:
        raise PictureError(f"{path}:{line}: needs at least one colour of at least one character")
    if len(strings) != 1 + colour_count + height:
        raise PictureError(
            f"{path}: expected {colour_count} colours and {height} rows after the values line, "
            f"found {len(strings) - 1} strings"
        )

    colours = {}
    for line, entry in strings[1 : 1 + colour_count]:
        key, colour_spec = entry[:chars], entry[chars:].split()
        if len(key) != chars or len(colour_spec) != 2 or colour_spec[0] != "c":
            raise PictureError(f"{path}:{line}: colour must read '<key> c <#RRGGBB or None>'")
        if key in colours:
            raise PictureError(f"{path}:{line}: key {key!r} is given twice")
        colours[key] = palette_index(colour_spec[1], f"{path}:{line}")

    rows = []
    for y, (line, row) in enumerate(strings[1 + colour_count :]):
        if len(row) != width * chars:
            raise PictureError(f"{path}:{line}: row {y} has {len(row)} characters, not {width * chars}")
        keys = [row[x : x + chars] for x in range(0, len(row), chars)]
        unknown = [k for k in keys if k not in colours]
        if unknown:
            raise PictureError(f"{path}:{line}: row {y} uses key {unknown[0]!r}, which is not a colour")
        rows.append([colours[k] for k in keys])
    return Picture(path, width, height, rows, hot_spot)


def palette_index(colour, where):
    if colour.lower() == "none":
        return None
    if not re.fullmatch(r"#[0-9A-Fa-f]{6}", colour):
        raise PictureError(f"{where}: colour {colour!r} must be #RRGGBB or None")
    rgb = int(colour[1:], 16)
    if rgb not in PALETTE_INDEX:
        raise PictureError(f"{where}: colour {colour} is not one of the 16 standard colours")
    return PALETTE_INDEX[rgb]


def bitmap(picture):
    """The image as an icon or cursor resource holds it: header, palette, colour bits, AND mask."""
    colour_stride = (picture.width * BITS_PER_PIXEL + 31) // 32 * 4
    mask_stride = (picture.width + 31) // 32 * 4
    colour_bits, mask_bits = bytearray(), bytearray()
    for row in reversed(picture.rows):  # bitmaps are stored bottom row first
        colour_line, mask_line = bytearray(colour_stride), bytearray(mask_stride)
        for x, index in enumerate(row):
            if index is None:  # transparent: mask bit set over colour 0, so the screen shows through
                mask_line[x // 8] |= 0x80 >> (x % 8)
                index = 0
            colour_line[x // 2] |= index << 4 if x % 2 == 0 else index
        colour_bits += colour_line
        mask_bits += mask_line
    # The height counts colour bits and mask together, as icon bitmaps do.
    header = struct.pack(
        "<IiiHHIIiiII",
        BITMAP_HEADER_SIZE,
        picture.width,
        2 * picture.height,
        1,
        BITS_PER_PIXEL,
        0,
        len(colour_bits) + len(mask_bits),
        0,
        0,
        0,
        0,
    )
    palette = b"".join(struct.pack("<BBBx", rgb & 0xFF, rgb >> 8 & 0xFF, rgb >> 16) for _, rgb in PALETTE)
    return header + palette + bytes(colour_bits) + bytes(mask_bits)


def entry_head(picture, second, third):
    """The first eight bytes every directory entry shares; icons put planes and bit count in the last two
    fields, cursors the hot spot."""
    return struct.pack("<BBBBHH", picture.width, picture.height, 1 << BITS_PER_PIXEL, 0, second, third)


def icon_files(images):
    """The .ico file and the RT_GROUP_ICON directory for (picture, resource id) pairs."""
    count = len(images)
    ico = struct.pack("<HHH", 0, ICON_TYPE, count)
    group = struct.pack("<HHH", 0, ICON_TYPE, count)
    offset = len(ico) + 16 * count
    data = []
    for picture, resource_id in images:
        image = bitmap(picture)
        head = entry_head(picture, 1, BITS_PER_PIXEL)
        ico += head + struct.pack("<II", len(image), offset)
        group += head + struct.pack("<IH", len(image), resource_id)
        offset += len(image)
        data.append(image)
    return ico + b"".join(data), group, data


def cursor_file(picture):
    if picture.hot_spot is None:
        raise PictureError(f"{picture.name}: a cursor needs a hot spot in its values line")
    x, y = picture.hot_spot
    if not (x < picture.width and y < picture.height):
        raise PictureError(f"{picture.name}: hot spot {x},{y} lies outside the {picture.width} x {picture.height} map")
    if picture.rows[y][x] is None:
        raise PictureError(f"{picture.name}: hot spot {x},{y} is a transparent pixel")
    image = bitmap(picture)
    directory = struct.pack("<HHH", 0, CURSOR_TYPE, 1)
    entry = entry_head(picture, x, y) + struct.pack("<II", len(image), len(directory) + 16)
    return directory + entry + image


def png_file(picture, scale=1):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    def rgba(index):
        if index is None:
            return b"\0\0\0\0"
        rgb = PALETTE[index][1]
        return bytes((rgb >> 16, rgb >> 8 & 0xFF, rgb & 0xFF, 0xFF))

    # An enlargement repeats every pixel scale times across and every row scale times down, so that the
    # larger desktop icons are the same picture, pixel for pixel, with no new colour at any edge.
    rows = [b"\0" + b"".join(rgba(i) * scale for i in row) for row in picture.rows]
    scanlines = b"".join(row * scale for row in rows)
    header = struct.pack(">IIBBBBB", picture.width * scale, picture.height * scale, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(scanlines, 9))
        + chunk(b"IEND", b"")
    )


def resource_id(text):
    if not text.isdigit() or not 1 <= int(text) <= 0xFFFF:
        raise PictureError(f"resource id {text!r} is not a number from 1 to 65535")
    return int(text)


def make_icon(args):
    ids = [resource_id(i) for _, i, _ in args.image]
    if len(set(ids)) != len(ids):
        raise PictureError("two images have the same resource id")
    pictures = [read_xpm(path) for path, _, _ in args.image]
    ico, group, images = icon_files(list(zip(pictures, ids)))
    outputs = [(args.ico, ico), (args.group, group)] + [(out, data) for (_, _, out), data in zip(args.image, images)]
    return outputs


def make_cursor(args):
    return [(args.cur, cursor_file(read_xpm(args.map)))]


def make_png(args):
    if not 1 <= args.scale <= 16:
        raise PictureError(f"scale {args.scale} is not a whole number from 1 to 16")
    return [(args.png, png_file(read_xpm(args.map), args.scale))]


def main(argv):
    parser = argparse.ArgumentParser(description="Makes icon, cursor and PNG files from XPM pixel maps.")
    commands = parser.add_subparsers(dest="command", required=True)
    icon = commands.add_parser("icon", help="an .ico file and its Windows resources")
    icon.add_argument("--ico", required=True)
    icon.add_argument("--group", required=True, help="the RT_GROUP_ICON directory")
    icon.add_argument("--image", nargs=3, action="append", required=True, metavar=("MAP", "ID", "OUT"))
    icon.set_defaults(make=make_icon)
    cursor = commands.add_parser("cursor", help="a .cur file")
    cursor.add_argument("--cur", required=True)
    cursor.add_argument("map")
    cursor.set_defaults(make=make_cursor)
    png = commands.add_parser("png", help="a PNG file")
    png.add_argument("--png", required=True)
    png.add_argument("--scale", type=int, default=1, help="an enlargement, each pixel N x N")
    png.add_argument("map")
    png.set_defaults(make=make_png)
    args = parser.parse_args(argv)

    try:
        outputs = args.make(args)  # everything is made before anything is written
        for path, data in outputs:
            with open(path, "wb") as f:
                f.write(data)
    except PictureError as e:
        print(f"make_pictures.py: {e}", file=sys.stderr)
        return 1
    except OSError as e:
        print(f"make_pictures.py: cannot write: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
