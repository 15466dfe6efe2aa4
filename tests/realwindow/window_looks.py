"""Where things are in the window at 96 dpi and how they look there: shared by the tests that drive the
program in a real window, on Linux and under Wine."""

NAVY, YELLOW, WHITE, RED = (0, 0, 128), (255, 255, 0), (255, 255, 255), (255, 0, 0)
METAL, METALLOID, INERT_GAS = (255, 192, 128), (0, 128, 0), (255, 128, 255)

CLIENT_SIZE = (792, 416)


def px(twips):
    return twips // 15


def centre_of(left, top, size=495):
    return px(left) + px(size) // 2, px(top) + px(size) // 2


# The first and third detail boxes: atomic number and name.
TEXT1 = (px(10560 + 600), px(240 + 247))
TEXT3 = (px(10560 + 600), px(1680 + 247))
EXIT_BUTTON = (396, 400)
H = centre_of(120, 240)

# Points of the faces, the legend and the lines, each with its colour.
SAMPLES = {
    "background above He": ((560, 8), NAVY),
    "background left of the panel": ((540, 380), NAVY),
    "metal swatch": ((px(120 + 307), px(5160 + 307)), METAL),
    "metalloid swatch": ((px(2160 + 307), px(5160 + 307)), METALLOID),
    "non-metal swatch": ((px(4440 + 307), px(5160 + 307)), YELLOW),
    "inert gas swatch": ((px(6720 + 307), px(5160 + 307)), INERT_GAS),
    "swatch outline": ((px(120 + 307), px(5160) + 1), RED),
    "transition bracket": ((330, px(1560)), YELLOW),
    "transition tick": ((px(1320), px(1620)), YELLOW),
    "inner transition bracket": ((px(7000), px(3960)), YELLOW),
    "Text7": ((px(10560) + 6, px(5280) + 6), WHITE),
    "metal button face (Li)": ((px(120) + 5, px(840) + 5), METAL),
    "metalloid button face (B)": ((px(5880) + 5, px(840) + 5), METALLOID),
    "non-metal button face (C)": ((px(6360) + 5, px(840) + 5), YELLOW),
    "inert gas button face (Ne)": ((px(8280) + 5, px(840) + 5), INERT_GAS),
}

# Colours of the window's flat areas: ground, lines, faces, swatches, boxes and the buttons' bevels. Text is
# drawn anti-aliased, in shades between its colour and the ground, which none of these are.
FLAT_COLOURS = {NAVY, YELLOW, WHITE, RED, METAL, METALLOID, INERT_GAS, (0, 0, 0), (118, 118, 118),
                (159, 159, 159), (239, 239, 239), (255, 255, 192)}


def differences_beside_text(image, reference, reach=2):
    """Compares two pictures of the window where their text may be drawn by differently hinted fonts. Returns
    {"away": differing pixels away from text, "text": pixels of text in the reference, "mean": the mean
    difference (largest of the three channels, 0 to 255) of the differing pixels at text, "far": how many of
    those differ by more than half the scale}. A pixel is at text when a text shade lies within `reach`
    pixels of it in either picture."""
    width, height = reference.width, reference.height
    if (image.width, image.height) != (width, height):
        return {"away": width * height, "text": 0, "mean": 255, "far": width * height}

    def shaded(picture, x, y):
        i = 3 * (y * width + x)
        return tuple(picture.data[i:i + 3]) not in FLAT_COLOURS

    text = sum(shaded(reference, i % width, i // width) for i in range(width * height))
    away = far = total = at_text = 0
    for i in range(width * height):
        a, b = image.data[3 * i:3 * i + 3], reference.data[3 * i:3 * i + 3]
        if a == b:
            continue
        x, y = i % width, i // width
        if not any(shaded(picture, nx, ny)
                   for ny in range(max(0, y - reach), min(height, y + reach + 1))
                   for nx in range(max(0, x - reach), min(width, x + reach + 1))
                   for picture in (reference, image)):
            away += 1
            continue
        difference = max(abs(p - q) for p, q in zip(a, b))
        at_text += 1
        total += difference
        far += difference > 128
    return {"away": away, "text": text, "mean": total / at_text if at_text else 0, "far": far}
