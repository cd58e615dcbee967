#!/usr/bin/python3
"""Draws the pictures of the tool windows. Run from this folder; the PNGs beside it are its output.

- s00.png to s07.png, 25 x 25: the eight path patterns, a snaking line with small arrows over a
  3 x 3 grid of boxes. Pattern bit 2 walks by columns instead of rows; along rows, bit 1 starts
  at the bottom row and bit 0 runs the first row right to left; along columns, bit 0 starts at
  the right column and bit 1 runs the first column upwards. Lines alternate direction.
- d.png and s.png, 24 x 24: cabinet names written forwards ("1 2") and backwards ("2 1").
- logo.png, 456 x 256: the product logo of the About window.
- The program's icon for the desktop, the logo's coloured cabinets on its dark ground, square, at the
  icon theme's usual sizes: ../../packaging/icons/N.png, N x N pixels."""

from PIL import Image, ImageDraw, ImageFont

SCALE = 4
GRID = (90, 90, 90, 255)
PATH = (240, 240, 240, 255)
START = (80, 200, 120, 255)
LOGO_GROUND = (24, 24, 28, 255)
LOGO_COLOURS = [(64, 128, 128), (215, 1, 1), (160, 160, 48), (64, 128, 64), (128, 32, 128), (32, 32, 128)]
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def smooth(size, draw):
    big = Image.new("RGBA", (size[0] * SCALE, size[1] * SCALE), (0, 0, 0, 0))
    draw(ImageDraw.Draw(big), lambda v: v * SCALE)
    return big.resize(size, Image.LANCZOS)


def pattern_cells(mode):
    by_columns = mode & 4
    reverse_lines = mode & (1 if by_columns else 2)
    first_reversed = mode & (2 if by_columns else 1)
    lines = list(range(3))
    if reverse_lines:
        lines.reverse()
    cells = []
    for k, line in enumerate(lines):
        steps = list(range(3))
        if bool(first_reversed) != (k % 2 == 1):
            steps.reverse()
        cells += [(line, s) if by_columns else (s, line) for s in steps]
    return cells


def arrow_head(d, s, tip, direction, size):
    dx, dy = direction
    px, py = -dy, dx
    back = (tip[0] - dx * size, tip[1] - dy * size)
    d.polygon([(s(tip[0]), s(tip[1])),
               (s(back[0] + px * size * 0.7), s(back[1] + py * size * 0.7)),
               (s(back[0] - px * size * 0.7), s(back[1] - py * size * 0.7))], fill=PATH)


def pattern_picture(mode):
    def draw(d, s):
        cell = 8
        for c in range(3):
            for r in range(3):
                d.rectangle([s(0.5 + c * cell), s(0.5 + r * cell), s(0.5 + c * cell + cell - 1), s(0.5 + r * cell + cell - 1)],
                            outline=GRID, width=round(s(1)))
        centres = [(0.5 + c * cell + cell / 2 - 0.5, 0.5 + r * cell + cell / 2 - 0.5) for c, r in pattern_cells(mode)]
        d.line([(s(x), s(y)) for x, y in centres], fill=PATH, width=round(s(1.2)))
        d.ellipse([s(centres[0][0] - 2), s(centres[0][1] - 2), s(centres[0][0] + 2), s(centres[0][1] + 2)], fill=START)
        for a, b in zip(centres, centres[1:]):
            direction = ((b[0] - a[0]) / cell, (b[1] - a[1]) / cell)
            middle = ((a[0] + b[0]) / 2 + direction[0] * 1.5, (a[1] + b[1]) / 2 + direction[1] * 1.5)
            arrow_head(d, s, middle, direction, 2.2)
    return smooth((25, 25), draw)


def font(size):
    for name in ("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"):
        try:
            return ImageFont.truetype(name, size)
        except OSError:
            pass
    return ImageFont.load_default()


def names_picture(text):
    picture = Image.new("RGBA", (24, 24), (0, 0, 0, 0))
    d = ImageDraw.Draw(picture)
    d.rectangle([0, 3, 23, 20], outline=GRID)
    d.text((12, 12), text, font=font(10), fill=PATH, anchor="mm")
    return picture


def cabinet_colour(column, row):
    return LOGO_COLOURS[(column + row) % len(LOGO_COLOURS)] + (255,)


def logo_picture():
    picture = Image.new("RGBA", (456, 256), LOGO_GROUND)
    d = ImageDraw.Draw(picture)
    for c in range(8):
        for r in range(3):
            d.rectangle([68 + c * 40, 30 + r * 40, 68 + c * 40 + 36, 30 + r * 40 + 36], fill=cabinet_colour(c, r))
    d.text((228, 200), "Brisvane Pro", font=font(36), fill=(240, 240, 240, 255), anchor="mm")
    return picture


def icon_picture(size):
    """Three by three cabinets of the logo on its ground. The cabinets and gaps are whole pixels, so
    that they stay sharp at the small sizes; only the ground's rounded corners are smoothed."""
    gap = max(1, round(size * 0.04))
    least_margin = max(1, round(size * 0.06))
    cell = (size - 2 * least_margin - 2 * gap) // 3
    cell -= (size - cell) % 2  # an even margin left over, so that both sides get the same
    margin = (size - 3 * cell - 2 * gap) // 2
    big = Image.new("RGBA", (size * SCALE, size * SCALE), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    d.rounded_rectangle([0, 0, size * SCALE - 1, size * SCALE - 1], radius=size * SCALE * 0.1, fill=LOGO_GROUND)
    for c in range(3):
        for r in range(3):
            left = (margin + c * (cell + gap)) * SCALE
            top = (margin + r * (cell + gap)) * SCALE
            d.rectangle([left, top, left + cell * SCALE - 1, top + cell * SCALE - 1], fill=cabinet_colour(c, r))
    return big.resize((size, size), Image.BOX)


for mode in range(8):
    pattern_picture(mode).save("s%02d.png" % mode)
names_picture("1 2").save("d.png")
names_picture("2 1").save("s.png")
logo_picture().save("logo.png")
for size in ICON_SIZES:
    icon_picture(size).save("../../packaging/icons/%d.png" % size)
