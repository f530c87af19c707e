"""Reads an exported GIF with Pillow and compares every frame a viewer shows with the rendered one.

usage: gif_psnr.py GIF RENDERED.rgb
RENDERED.rgb holds the rendered frames one after the other as raw RGB (3 bytes a pixel, rows
top to bottom, the GIF's screen size).
Prints one JSON object: frames, delays (ms, as Pillow reports them), loop (null without a loop
extension), disposal (per frame), comment, psnr (dB per frame against the rendered frame, 100
for identical frames) and imageBytes (per image, the bytes from the end of the image before it,
or of the header and tables, to the end of its data: extensions, descriptor, table, data).
"""
import json
import math
import sys

from PIL import Image, ImageChops, ImageSequence, ImageStat


def psnr(a, b):
    """PSNR in dB of two RGB pictures of one size, the squares summed in Pillow's C code."""
    squares = sum(ImageStat.Stat(ImageChops.difference(a, b)).sum2)
    if squares == 0:
        return 100.0
    mse = squares / (a.size[0] * a.size[1] * 3)
    return 10.0 * math.log10(255.0 * 255.0 / mse)


def image_bytes(data):
    """Walks the GIF blocks; the size of each image with what precedes it since the last one."""
    flags = data[10]
    pos = 13 + (3 * (2 << (flags & 7)) if flags & 0x80 else 0)
    start = pos
    sizes = []
    while pos < len(data) and data[pos] != 0x3B:
        block = data[pos]
        if block == 0x21:
            pos += 2
        elif block == 0x2C:
            packed = data[pos + 9]
            pos += 10 + (3 * (2 << (packed & 7)) if packed & 0x80 else 0) + 1
        else:
            raise ValueError("unknown block 0x%02x at %d" % (block, pos))
        while data[pos]:
            pos += data[pos] + 1
        pos += 1
        if block == 0x2C:
            sizes.append(pos - start)
            start = pos
    return sizes


def main():
    path, rendered = sys.argv[1], sys.argv[2]
    data = open(path, "rb").read()
    image = Image.open(path)
    frame_size = image.size[0] * image.size[1] * 3
    raw = open(rendered, "rb").read()
    report = {"frames": 0, "delays": [], "disposal": [], "psnr": [],
              "loop": image.info.get("loop"),
              "comment": image.info.get("comment", b"").decode("latin-1"),
              "imageBytes": image_bytes(data)}
    for index, frame in enumerate(ImageSequence.Iterator(image)):
        report["frames"] += 1
        report["delays"].append(frame.info.get("duration"))
        report["disposal"].append(getattr(frame, "disposal_method", None))
        chunk = raw[index * frame_size:(index + 1) * frame_size]
        if len(chunk) == frame_size:
            reference = Image.frombytes("RGB", image.size, chunk)
            report["psnr"].append(psnr(frame.convert("RGB"), reference))
    print(json.dumps(report))


if __name__ == "__main__":
    main()
