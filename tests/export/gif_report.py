"""Reads an exported GIF with Pillow and compares its frames with rendered PNG frames.

usage: gif_report.py OUT.gif RENDERED_DIR
Prints one JSON object: frames, delays (ms, as Pillow reports them), loop (null without a
loop extension), disposal (per frame), comment, local (per frame: has a local colour table,
read from the image descriptors), meanDifference (per frame, 0..255, against
RENDERED_DIR/frame_NNN.png).
"""
import json
import os
import sys

from PIL import Image, ImageSequence


def local_tables(data):
    """Walks the GIF blocks and returns, per image, whether it carries a local colour table."""
    flags = data[10]
    pos = 13 + (3 * (2 << (flags & 7)) if flags & 0x80 else 0)
    result = []
    while pos < len(data):
        block = data[pos]
        if block == 0x3B:
            break
        if block == 0x21:
            pos += 2
            while data[pos]:
                pos += data[pos] + 1
            pos += 1
        elif block == 0x2C:
            packed = data[pos + 9]
            result.append(bool(packed & 0x80))
            pos += 10
            if packed & 0x80:
                pos += 3 * (2 << (packed & 7))
            pos += 1  # minimum code size
            while data[pos]:
                pos += data[pos] + 1
            pos += 1
        else:
            raise ValueError("unknown block 0x%02x at %d" % (block, pos))
    return result


def main():
    path, rendered = sys.argv[1], sys.argv[2]
    data = open(path, "rb").read()
    image = Image.open(path)
    report = {"frames": 0, "delays": [], "disposal": [], "meanDifference": [],
              "loop": image.info.get("loop"), "comment": image.info.get("comment", b"").decode("latin-1"),
              "local": local_tables(data), "globalTable": bool(data[10] & 0x80)}
    for index, frame in enumerate(ImageSequence.Iterator(image)):
        report["frames"] += 1
        report["delays"].append(frame.info.get("duration"))
        report["disposal"].append(getattr(frame, "disposal_method", None))
        reference = os.path.join(rendered, "frame_%03d.png" % index)
        if os.path.exists(reference):
            a = frame.convert("RGB").tobytes()
            b = Image.open(reference).convert("RGB").tobytes()
            report["meanDifference"].append(sum(abs(x - y) for x, y in zip(a, b)) / len(a))
    print(json.dumps(report))


if __name__ == "__main__":
    main()
