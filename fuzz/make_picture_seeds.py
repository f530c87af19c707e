"""Writes small seed pictures for the picture-loader fuzz target into the folder given.

Each seed is one format-code byte followed by a file of that format, made by ImageMagick.
"""
import os
import subprocess
import sys
import tempfile

FORMATS = {1: "bmp", 2: "gif", 3: "jpg", 4: "png", 5: "ico", 6: "tif", 7: "tga", 8: "pcx",
           9: "wbmp", 11: "jp2", 12: "j2k", 14: "ppm", 15: "ras"}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        for code, ext in FORMATS.items():
            path = os.path.join(work, "seed." + ext)
            subprocess.run(["/usr/bin/convert", "-size", "7x5", "gradient:red-blue", path],
                           check=True)
            data = open(path, "rb").read()
            for guess in (code, 0):
                with open(os.path.join(out, "%s_%d" % (ext, guess)), "wb") as seed:
                    seed.write(bytes([guess]) + data)


if __name__ == "__main__":
    main()
