#!/usr/bin/python3
"""Prints what one independent reader sees in a layered document, in a text form that every
reader shares, so that a test can compare them all with one expectation:

    size W H
    composite
    r,g,b r,g,b ...            one line per row
    layer NAME LEFT TOP RIGHT BOTTOM OPACITY
    r,g,b,a r,g,b,a ...        one line per row

Usage: read_psd.py psd-tools|pillow|magick FILE
Pillow reports neither a layer's opacity nor, in the version at hand, its pixels (it reads them
from the wrong offsets): for Pillow the layer lines end after the bottom, with no pixel rows.
"""
import subprocess
import sys


def rows(pixels, width):
    pixels = [",".join(str(c) for c in p) for p in pixels]
    return [" ".join(pixels[i:i + width]) for i in range(0, len(pixels), width)]


def chunks(data, size):
    return [tuple(data[i:i + size]) for i in range(0, len(data), size)]


def read_with_psd_tools(path):
    from psd_tools import PSDImage
    psd = PSDImage.open(path)
    out = ["size %d %d" % psd.size, "composite"]
    out += rows(psd.topil().convert("RGB").getdata(), psd.width)
    for layer in psd:
        out.append("layer %s %d %d %d %d %d" % ((layer.name,) + tuple(layer.bbox) + (layer.opacity,)))
        out += rows(layer.topil().convert("RGBA").getdata(), layer.width)
    return out


def read_with_pillow(path):
    from PIL import Image
    image = Image.open(path)
    image.load()
    out = ["size %d %d" % image.size, "composite"]
    out += rows(image.convert("RGB").getdata(), image.width)
    for name, _mode, bbox, _tile in image.layers:
        out.append("layer %s %d %d %d %d" % ((name,) + tuple(bbox)))
    return out


def magick(*arguments):
    return subprocess.run(arguments, check=True, capture_output=True).stdout


def read_with_magick(path):
    frames = magick("identify", "-format", "%l|%X|%Y|%w|%h|%[psd:layer.opacity]\n", path)
    frames = frames.decode("utf-8").splitlines()
    _, _, _, width, height, _ = frames[0].split("|")
    width, height = int(width), int(height)
    out = ["size %d %d" % (width, height), "composite"]
    out += rows(chunks(magick("convert", path + "[0]", "-depth", "8", "rgb:-"), 3), width)
    for index, frame in enumerate(frames[1:], start=1):
        name, left, top, w, h, opacity = frame.split("|")
        left, top, w, h = int(left), int(top), int(w), int(h)
        out.append("layer %s %d %d %d %d %d" % (name, left, top, left + w, top + h, int(opacity) // 257))
        out += rows(chunks(magick("convert", "%s[%d]" % (path, index), "-depth", "8", "rgba:-"), 4), w)
    return out


READERS = {"psd-tools": read_with_psd_tools, "pillow": read_with_pillow, "magick": read_with_magick}

if __name__ == "__main__":
    text = "\n".join(READERS[sys.argv[1]](sys.argv[2])) + "\n"
    # psd-tools hands characters beyond 16 bits over as two surrogates: join them again.
    sys.stdout.buffer.write(text.encode("utf-16-le", "surrogatepass").decode("utf-16-le").encode("utf-8"))
