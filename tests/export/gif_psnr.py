"""Reads exported GIFs with Pillow and compares every frame a viewer shows with the rendered one.

usage: gif_psnr.py GIF RENDERED_DIR OURS_DIR [GIF RENDERED_DIR OURS_DIR ...]
RENDERED_DIR holds the rendered frames as frame_NNN.png; OURS_DIR (or "-") holds the same
GIF's frames as our decoder composed them, as frame_NNN.png.
Prints one JSON list, an object per GIF: frames, delays (ms, as Pillow reports them), loop
(null without a loop extension), disposal (per frame), comment, pillowPsnr and oursPsnr (dB per
frame against the rendered frame; 100 for identical frames).
"""
import json
import math
import os
import sys

from PIL import Image, ImageChops, ImageSequence, ImageStat


def psnr(a, b):
    """PSNR in dB of two RGB pictures of one size, the squares summed in Pillow's C code."""
    if a.size != b.size:
        return 0.0
    squares = sum(ImageStat.Stat(ImageChops.difference(a, b)).sum2)
    if squares == 0:
        return 100.0
    mse = squares / (a.size[0] * a.size[1] * 3)
    return 10.0 * math.log10(255.0 * 255.0 / mse)


def frame_path(folder, index):
    return os.path.join(folder, "frame_%03d.png" % index)


def report(gif, rendered, ours):
    image = Image.open(gif)
    out = {"frames": 0, "delays": [], "disposal": [], "pillowPsnr": [], "oursPsnr": [],
           "loop": image.info.get("loop"),
           "comment": image.info.get("comment", b"").decode("latin-1")}
    for index, frame in enumerate(ImageSequence.Iterator(image)):
        out["frames"] += 1
        out["delays"].append(frame.info.get("duration"))
        out["disposal"].append(getattr(frame, "disposal_method", None))
        reference = Image.open(frame_path(rendered, index)).convert("RGB")
        out["pillowPsnr"].append(psnr(frame.convert("RGB"), reference))
        if ours != "-":
            decoded = Image.open(frame_path(ours, index)).convert("RGB")
            out["oursPsnr"].append(psnr(decoded, reference))
    return out


def main():
    args = sys.argv[1:]
    print(json.dumps([report(*args[i:i + 3]) for i in range(0, len(args) - 2, 3)]))


if __name__ == "__main__":
    main()
