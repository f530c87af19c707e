"""Writes one small picture per file format into the folder given, made by Pillow and by
ImageMagick's convert (never by the program under test), plus the reference pixels:
reference_rgb.raw, reference_grey.raw and reference_bw.raw hold the 15 x 9 source pictures as
packed RGB rows, top row first. Also writes camera.jpg, a 6000 x 4000 photo of four coloured
quarters, and the variants of make_variants.py into the sub-folder variants."""
import subprocess
import sys
from pathlib import Path

from PIL import Image

import make_variants

WIDTH, HEIGHT = 15, 9  # odd width: BMP, TGA and PCX rows need padding
COLOURS = [(0, 0, 0), (255, 255, 255), (255, 0, 0), (0, 160, 0), (0, 0, 255),
           (255, 200, 0), (120, 40, 200), (30, 200, 220)]
CONVERT = "/usr/bin/convert"


def pattern(mode):
    img = Image.new("RGB", (WIDTH, HEIGHT))
    for y in range(HEIGHT):
        for x in range(WIDTH):
            # Blocks of 3 x 3 keep JPEG's error small; the diagonal term breaks symmetry.
            index = (x // 3 + 2 * (y // 3) + (1 if x == y else 0)) % len(COLOURS)
            img.putpixel((x, y), COLOURS[index])
    if mode == "grey":
        img = img.convert("L")
    elif mode == "bw":
        img = img.convert("L").point(lambda v: 255 if v > 100 else 0).convert("1", dither=0)
    return img


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    rgb, grey, bw = pattern("rgb"), pattern("grey"), pattern("bw")
    for name, img in (("rgb", rgb), ("grey", grey), ("bw", bw)):
        (out / f"reference_{name}.raw").write_bytes(img.convert("RGB").tobytes())
        img.save(out / f"source_{name}.png")

    rgb.save(out / "pillow.bmp")
    rgb.save(out / "pillow.gif")
    rgb.save(out / "pillow.jpg", quality=95, subsampling=0)
    rgb.save(out / "pillow.png")
    rgb.save(out / "pillow.tif")
    rgb.save(out / "pillow.tiff", compression="tiff_lzw")
    rgb.save(out / "pillow.tga")
    # Run-length TGA by Pillow: ImageMagick 6 writes its TGA rows top row first under a
    # bottom-left header, so its files stand upside down for every other reader.
    rgb.save(out / "pillow_rle.tga", rle=True)
    rgb.save(out / "pillow.pcx")
    rgb.save(out / "pillow.jp2")
    rgb.save(out / "pillow.j2k")
    rgb.save(out / "pillow.jpc", "JPEG2000", no_jp2=True)
    rgb.save(out / "pillow.j2c", "JPEG2000", no_jp2=True)
    rgb.save(out / "pillow.ppm")
    rgb.save(out / "pillow.pnm", "PPM")
    grey.save(out / "pillow.pgm")
    exif = Image.Exif()
    exif[0x010F] = "ZenCam"
    exif[0x0110] = "Model 7"
    exif[0x0132] = "2024:05:06 07:08:09"
    exif[0x0112] = 6
    rgb.save(out / "photo.JPG", "JPEG", quality=95, subsampling=0, exif=exif)

    src = str(out / "source_rgb.png")
    for target, options in (("magick.ico", []), ("magick.ras", []),
                            ("magick_ascii.ppm", ["-compress", "none"]),
                            ("magick.jpeg", ["-quality", "95"])):
        subprocess.run([CONVERT, src, *options, str(out / target)], check=True)
    subprocess.run([CONVERT, str(out / "source_bw.png"), str(out / "magick.wbmp")], check=True)
    # PGX (JPEG 2000 test-suite format): "PG ML + 8 width height\n", then unsigned 8-bit
    # samples. Written here: convert pads odd-width rows to even length, which no reader expects.
    (out / "written.pgx").write_bytes(b"PG ML + 8 %d %d\n" % (WIDTH, HEIGHT) + grey.tobytes())

    # A camera-sized photo (24 megapixels): quarters red, green, blue and white.
    camera = Image.new("RGB", (6000, 4000), (220, 30, 30))
    camera.paste((30, 200, 30), (3000, 0, 6000, 2000))
    camera.paste((30, 30, 220), (0, 2000, 3000, 4000))
    camera.paste((250, 250, 250), (3000, 2000, 6000, 4000))
    camera.save(out / "camera.jpg", quality=90)

    make_variants.write(out / "variants")


if __name__ == "__main__":
    main()
