"""Writes small seed pictures for the picture-loader fuzz target into the folder given.

Each seed is one format-code byte followed by a file of that format: a gradient made by
ImageMagick for every format, and the variants the picture tests make (every reader's branch,
old-style JPEG and tiled CMYK JPEG TIFF among them, whole and cut off).
"""
import os
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "import"))
import make_variants  # noqa: E402

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
        codes = {"bmp": 1, "png": 4, "ico": 5, "tif": 6, "tga": 7, "pcx": 8, "jp2": 11, "j2k": 11,
                 "pgx": 13, "pnm": 14, "ras": 15}
        variants = Path(work) / "variants"
        make_variants.write(variants)
        for line in (variants / "variants.txt").read_text().splitlines():
            name = line.split()[1]
            data = (variants / name).read_bytes()
            if len(data) <= 65536:
                with open(os.path.join(out, "variant_" + name), "wb") as seed:
                    seed.write(bytes([codes[name.rsplit(".", 1)[1]]]) + data)
        # TIFFs whose JPEG data ends early (refused, but read up to there first).
        for path in sorted(variants.glob("*_cut_off.tif")):
            with open(os.path.join(out, "variant_" + path.name), "wb") as seed:
                seed.write(bytes([6]) + path.read_bytes())


if __name__ == "__main__":
    main()
