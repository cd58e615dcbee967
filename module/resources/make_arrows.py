#!/usr/bin/python3
"""Draws the arrow pictures of the layer rows: up.png and down.png, 16 x 16, a light grey
triangle on a transparent ground. Run from this folder; the PNGs beside it are its output."""

from PIL import Image, ImageDraw

SIZE = 16
# Drawn four times larger and scaled down, for smooth edges.
SCALE = 4
GREY = (220, 220, 220, 255)


def arrow(points):
    big = Image.new("RGBA", (SIZE * SCALE, SIZE * SCALE), (0, 0, 0, 0))
    ImageDraw.Draw(big).polygon([(x * SCALE, y * SCALE) for x, y in points], fill=GREY)
    return big.resize((SIZE, SIZE), Image.LANCZOS)


arrow([(8, 3), (14, 12), (2, 12)]).save("up.png")
arrow([(2, 4), (14, 4), (8, 13)]).save("down.png")
