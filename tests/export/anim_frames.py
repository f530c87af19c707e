"""Reads an animated WebP or PNG with Pillow: every frame as a viewer shows it.

usage: anim_frames.py OUT.rgba FILE...
Writes the frames of every FILE one after the other to OUT.rgba as raw RGBA (4 bytes a pixel,
rows top to bottom, the canvas size) and prints a JSON list with one object per FILE: format,
width, height, frames, loop (null when the file has none), durations (ms per frame, as Pillow
reports them).
"""
import json
import sys

from PIL import Image


def read(path, out):
    image = Image.open(path)
    durations = []
    frames = getattr(image, "n_frames", 1)
    for n in range(frames):
        image.seek(n)
        image.load()  # Pillow fills in the frame's duration when it decodes the frame
        durations.append(image.info.get("duration"))
        out.write(image.convert("RGBA").tobytes())
    return {
        "format": image.format,
        "width": image.size[0],
        "height": image.size[1],
        "frames": frames,
        "loop": image.info.get("loop"),
        "durations": durations,
    }


def main():
    with open(sys.argv[1], "wb") as out:
        print(json.dumps([read(path, out) for path in sys.argv[2:]]))


main()
