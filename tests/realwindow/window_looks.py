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
