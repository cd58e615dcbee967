"""Saves raw straight RGBA pixels as PNG with Pillow's defaults; prints seconds per save and bytes."""
import io
import sys
import time

from PIL import Image

path, width, height, runs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
with open(path, "rb") as raw:
    picture = Image.frombytes("RGBA", (width, height), raw.read())
best = None
size = 0
for _ in range(runs):
    out = io.BytesIO()
    start = time.perf_counter()
    picture.save(out, "PNG")
    elapsed = time.perf_counter() - start
    best = elapsed if best is None else min(best, elapsed)
    size = out.tell()
print(best, size)
