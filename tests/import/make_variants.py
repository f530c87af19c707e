"""Writes picture variants that other programs write and readers get wrong, with the pixels each
must give: by hand from the format's own rules (TGA, BMP, PCX, PNG, PBM headers and pixels
written byte by byte), by Pillow, or by ImageMagick's convert from a known source. Called by
make_pictures.py; writes into <folder>/variants and lists every file in variants.txt, one line
each: group file width height expected tolerance, where expected names a raw file of RGBA rows,
top row first, and tolerance is the largest difference allowed per channel."""
import struct
import subprocess
import zlib

from PIL import Image

W, H = 21, 13  # odd sizes pad every row; wider and taller than a 16 x 16 TIFF tile
CONVERT = "/usr/bin/convert"
PALETTE = [(0, 0, 0), (255, 255, 255), (255, 0, 0), (0, 160, 0), (0, 0, 255), (255, 200, 0),
           (120, 40, 200), (30, 200, 220)]
ALPHAS = [255, 0, 128, 64, 200, 255, 17, 255]


def index_at(x, y):
    # 3 x 3 blocks plus a diagonal: no symmetry, so any mirror or turn shows.
    return (x // 3 + 2 * (y // 3) + (1 if x == y else 0)) % len(PALETTE)


def grey_of(rgb):
    r, g, b = rgb
    return (r * 299 + g * 587 + b * 114 + 500) // 1000


INDEX = [[index_at(x, y) for x in range(W)] for y in range(H)]
RGB = [[PALETTE[i] for i in row] for row in INDEX]
RGBA = [[PALETTE[i] + (ALPHAS[i],) for i in row] for row in INDEX]
GREY = [[grey_of(PALETTE[i]) for i in row] for row in INDEX]


def opaque(rows):
    return [[tuple(p) + (255,) for p in row] for row in rows]


def grey_rgba(rows, alphas=None):
    return [[(v, v, v, alphas[y][x] if alphas else 255) for x, v in enumerate(row)]
            for y, row in enumerate(rows)]


def image_of(rows):
    img = Image.new("RGBA", (len(rows[0]), len(rows)))
    img.putdata([p for row in rows for p in row])
    return img


class Writer:
    def __init__(self, folder):
        self.folder = folder
        self.lines = []
        self.expected = {}

    def add(self, group, name, data, rows, tolerance=0):
        if data is not None:
            (self.folder / name).write_bytes(data)
        raw = b"".join(bytes(p) for row in rows for p in row)
        key = self.expected.setdefault(raw, "expected_%d.rgba" % len(self.expected))
        (self.folder / key).write_bytes(raw)
        self.lines.append("%s %s %d %d %s %d" % (group, name, len(rows[0]), len(rows), key,
                                                 tolerance))

    def convert(self, group, name, source_rows, options, rows, tolerance=0):
        src = self.folder / ("source_for_" + name + ".png")
        image_of(source_rows).convert("RGB").save(src)
        subprocess.run([CONVERT, str(src), *options, str(self.folder / name)], check=True)
        self.add(group, name, None, rows, tolerance)

    def finish(self):
        (self.folder / "variants.txt").write_text("\n".join(self.lines) + "\n")


# ---- TGA: header(18) id map pixels; descriptor bit 4 right-to-left, bit 5 top-down ----------

def tga_rle(pixels):
    """Run-length packets over the whole picture (runs cross rows, as many writers do)."""
    out, i = b"", 0
    while i < len(pixels):
        run = 1
        while i + run < len(pixels) and run < 128 and pixels[i + run] == pixels[i]:
            run += 1
        if run > 1:
            out += bytes([0x80 | (run - 1)]) + pixels[i]
            i += run
            continue
        raw = 1
        while i + raw < len(pixels) and raw < 128 and pixels[i + raw] != pixels[i + raw - 1]:
            raw += 1
        out += bytes([raw - 1]) + b"".join(pixels[i:i + raw])
        i += raw
    return out


def tga(kind, bits, top=False, right=False, rle=False, ident=b"", alpha_bits=None):
    """kind: rgb, grey or map; the pixels are the pattern, stored in the origin's order."""
    mapped = kind == "map"
    image_type = {"rgb": 2, "grey": 3, "map": 1}[kind] + (8 if rle else 0)
    if alpha_bits is None:
        alpha_bits = {32: 8}.get(bits, 8 if (kind == "grey" and bits == 16) else 0)
    descriptor = alpha_bits | (0x10 if right else 0) | (0x20 if top else 0)
    colour_map = b"".join(bytes((b, g, r)) for r, g, b in PALETTE) if mapped else b""
    header = struct.pack("<BBBHHBHHHHBB", len(ident), 1 if mapped else 0, image_type, 0,
                         len(PALETTE) if mapped else 0, 24 if mapped else 0, 0, 0, W, H, bits,
                         descriptor)
    pixels = []
    for y in (range(H) if top else range(H - 1, -1, -1)):
        for x in (range(W - 1, -1, -1) if right else range(W)):
            i = INDEX[y][x]
            r, g, b = PALETTE[i]
            if mapped:
                pixels.append(bytes([i]))
            elif kind == "grey":
                pixels.append(bytes([GREY[y][x]] + ([ALPHAS[i]] if bits == 16 else [])))
            elif bits == 24:
                pixels.append(bytes((b, g, r)))
            elif bits == 32:
                pixels.append(bytes((b, g, r, ALPHAS[i])))
            else:  # 15 or 16: x r5 g5 b5, the top bit is alpha when the descriptor says so
                v = (r >> 3) << 10 | (g >> 3) << 5 | b >> 3
                if alpha_bits and ALPHAS[i] >= 128:
                    v |= 0x8000
                pixels.append(struct.pack("<H", v))
    data = tga_rle(pixels) if rle else b"".join(pixels)
    return header + ident + colour_map + data + b"\0" * 8 + b"TRUEVISION-XFILE.\0"


def five_bits(rows, alpha):
    def scale(v):
        return ((v >> 3) * 255 + 15) // 31
    return [[(scale(p[0]), scale(p[1]), scale(p[2]), (255 if p[3] >= 128 else 0) if alpha
              else 255) for p in row] for row in rows]


def tga_variants(w):
    for rle in (False, True):
        s = "_rle" if rle else ""
        for top in (False, True):
            for right in (False, True):
                origin = ("t" if top else "b") + ("r" if right else "l")
                w.add("tga", "rgb24_%s%s.tga" % (origin, s), tga("rgb", 24, top, right, rle),
                      opaque(RGB))
                w.add("tga", "rgb32_%s%s.tga" % (origin, s), tga("rgb", 32, top, right, rle),
                      RGBA)
                w.add("tga", "grey_alpha_%s%s.tga" % (origin, s),
                      tga("grey", 16, top, right, rle), grey_rgba(GREY, [[p[3] for p in row]
                                                                         for row in RGBA]))
        w.add("tga", "image_id%s.tga" % s, tga("rgb", 24, rle=rle, ident=b"made by hand 0123"),
              opaque(RGB))
        w.add("tga", "rgb16_alpha%s.tga" % s, tga("rgb", 16, True, rle=rle, alpha_bits=1),
              five_bits(RGBA, True), 1)
        w.add("tga", "rgb16%s.tga" % s, tga("rgb", 16, rle=rle), five_bits(RGBA, False), 1)
        w.add("tga", "rgb15%s.tga" % s, tga("rgb", 15, rle=rle), five_bits(RGBA, False), 1)
        w.add("tga", "grey8%s.tga" % s, tga("grey", 8, rle=rle), grey_rgba(GREY))
        w.add("tga", "mapped%s.tga" % s, tga("map", 8, right=True, rle=rle), opaque(RGB))
    image_of(RGB).convert("RGB").save(w.folder / "pillow_rle.tga", rle=True)
    w.add("tga", "pillow_rle.tga", None, opaque(RGB))


# ---- TIFF: Pillow and convert, expected from the source and the tag's rule --------------------

ORIENTED = {1: [], 2: [Image.Transpose.FLIP_LEFT_RIGHT], 3: [Image.Transpose.ROTATE_180],
            4: [Image.Transpose.FLIP_TOP_BOTTOM], 5: [Image.Transpose.TRANSPOSE],
            6: [Image.Transpose.ROTATE_270], 7: [Image.Transpose.TRANSVERSE],
            8: [Image.Transpose.ROTATE_90]}


def rows_of(img):
    img = img.convert("RGBA")
    data = list(img.getdata())
    return [data[y * img.width:(y + 1) * img.width] for y in range(img.height)]


def tiff_variants(w):
    stored = image_of(RGB).convert("RGB")
    for tag, steps in ORIENTED.items():
        # How a viewer shows it: the stored rows turned by the orientation tag's rule.
        shown = stored
        for step in steps:
            shown = shown.transpose(step)
        stored.save(w.folder / ("orientation_%d.tif" % tag), tiffinfo={274: tag})
        w.add("tiff", "orientation_%d.tif" % tag, None, rows_of(shown))
    w.convert("tiff", "planar16.tif", RGB, ["-depth", "16", "-interlace", "plane"], opaque(RGB))
    w.convert("tiff", "planar8.tif", RGB, ["-depth", "8", "-interlace", "plane"], opaque(RGB))
    w.convert("tiff", "tiled16.tif", RGB, ["-depth", "16", "-define", "tiff:tile-geometry=16x16"],
              opaque(RGB))
    grey_rows = [[(v, v, v) for v in row] for row in GREY]
    for name, options in (("grey12.tif", ["-depth", "12"]), ("grey32.tif", ["-depth", "32"]),
                          ("grey_float.tif", ["-depth", "32", "-define",
                                              "quantum:format=floating-point"])):
        w.convert("tiff", name, grey_rows, ["-colorspace", "gray", "-type", "grayscale",
                                            *options], grey_rgba(GREY), 1)
    # CMYK without a colour profile: red = (255 - C) x (255 - K) / 255, and so on.
    cmyk = Image.new("CMYK", (W, H))
    cmyk.putdata([(i * 30 % 256, i * 70 % 256, i * 110 % 256, i * 20) for row in INDEX
                  for i in row])
    cmyk.save(w.folder / "cmyk8.tif")
    def rgb_of(c, m, y, k):
        return tuple(((255 - v) * (255 - k) + 127) // 255 for v in (c, m, y)) + (255,)
    data = list(cmyk.getdata())
    expected = [[rgb_of(*p) for p in data[y * W:(y + 1) * W]] for y in range(H)]
    w.add("tiff", "cmyk8.tif", None, expected, 1)
    subprocess.run([CONVERT, str(w.folder / "cmyk8.tif"), "-depth", "16",
                    str(w.folder / "cmyk16.tif")], check=True)
    w.add("tiff", "cmyk16.tif", None, expected, 1)
    # Alpha, a private tag (reported as a warning), and a second page that must be ignored.
    first = image_of(RGBA)
    first.save(w.folder / "rgba_private_tag.tif", compression="tiff_lzw",
               tiffinfo={65000: "private"})
    w.add("tiff", "rgba_private_tag.tif", None, RGBA)
    stored.save(w.folder / "two_pages.tif", save_all=True,
                append_images=[Image.new("RGB", (W, H), (9, 9, 9))])
    w.add("tiff", "two_pages.tif", None, opaque(RGB))


# ---- PNG: chunks by hand ----------------------------------------------------------------------

def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def bit_rows(rows, depth):
    out = []
    for row in rows:
        bits = "".join(format(v, "0%db" % depth) for v in row)
        bits += "0" * (-len(bits) % 8)
        out.append(bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8)))
    return out


def adam7(rows, depth):
    raw = b""
    for x0, y0, dx, dy in ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4),
                           (1, 0, 2, 2), (0, 1, 1, 2)):
        sub = [row[x0::dx] for row in rows[y0::dy]]
        if sub and sub[0]:
            raw += b"".join(b"\0" + r for r in bit_rows(sub, depth))
    return raw


def png_variants(w):
    bits = [[1 if INDEX[y][x] in (1, 5, 7) else 0 for x in range(W)] for y in range(H)]
    for transparent in (0, 1):
        for interlace in (0, 1):
            raw = adam7(bits, 1) if interlace else b"".join(b"\0" + r for r in bit_rows(bits, 1))
            data = (b"\x89PNG\r\n\x1a\n" +
                    png_chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 1, 0, 0, 0, interlace)) +
                    png_chunk(b"tRNS", struct.pack(">H", transparent)) +
                    png_chunk(b"IDAT", zlib.compress(raw)) + png_chunk(b"IEND", b""))
            rows = [[(255 * v,) * 3 + (0 if v == transparent else 255,) for v in row]
                    for row in bits]
            w.add("png", "grey1_trns%d_interlace%d.png" % (transparent, interlace), data, rows)


# ---- BMP: file header(14), info header, masks or palette, rows bottom first -------------------

def bmp(bits, pixel, header=40, compression=0, masks=(), palette=(), top_down=False,
        os2=False):
    stride = (W * bits + 31) // 32 * 4
    rows = b""
    for y in (range(H) if top_down else range(H - 1, -1, -1)):
        row = pixel(y)
        rows += row + b"\0" * (stride - len(row))
    if os2:
        info = struct.pack("<IHHHH", 12, W, H, 1, bits)
        table = b"".join(bytes((b, g, r)) for r, g, b in palette)
    else:
        info = struct.pack("<IiiHHIIiiII", header, W, -H if top_down else H, 1, bits,
                           compression, len(rows), 2835, 2835, len(palette), 0)
        info += b"".join(struct.pack("<I", m) for m in masks)
        info += b"\0" * (header - len(info)) if header > len(info) else b""
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + len(info) + len(table)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + info + table + rows


def packed(y, bits):
    values = [INDEX[y][x] for x in range(W)]
    return bit_rows([values], bits)[0]


def fields(y, layout, size):
    out = b""
    for x in range(W):
        r, g, b = PALETTE[INDEX[y][x]]
        a = ALPHAS[INDEX[y][x]]
        v = 0
        for value, (shift, width) in zip((r, g, b, a), layout):
            if width:
                v |= (value * ((1 << width) - 1) + 127) // 255 << shift
        out += struct.pack("<H" if size == 16 else "<I", v)
    return out


def field_rows(layout, alpha):
    def scale(value, width):
        top = (1 << width) - 1
        return ((value * top + 127) // 255 * 255 + top // 2) // top
    return [[tuple(scale(c, wd) for c, (_, wd) in zip(p[:3], layout[:3])) +
             ((scale(p[3], layout[3][1]) if alpha else 255),) for p in row] for row in RGBA]


def bmp_variants(w):
    # OS/2 1.x: 3-byte palette entries, only as many as the picture uses (8, not 2^bits).
    for bits in (4, 8):
        w.add("bmp", "os2_%dbit_short_palette.bmp" % bits,
              bmp(bits, lambda y: packed(y, bits), palette=PALETTE, os2=True), opaque(RGB))
    w.add("bmp", "os2_8bit_full_palette.bmp",
          bmp(8, lambda y: packed(y, 8), palette=PALETTE + [(1, 2, 3)] * 248, os2=True),
          opaque(RGB))
    w.add("bmp", "os2_24bit.bmp", bmp(24, lambda y: b"".join(bytes(PALETTE[i][::-1])
                                                            for i in INDEX[y]), os2=True),
          opaque(RGB))
    layouts = {  # (shift, width) of red, green, blue, alpha
        "rgb555": ((10, 5), (5, 5), (0, 5), (0, 0)),
        "rgb565": ((11, 5), (5, 6), (0, 5), (0, 0)),
        "argb4444": ((8, 4), (4, 4), (0, 4), (12, 4)),
        "argb1555": ((10, 5), (5, 5), (0, 5), (15, 1)),
        "rgb111110": ((21, 11), (10, 11), (0, 10), (0, 0)),
        "rgb101010": ((20, 10), (10, 10), (0, 10), (0, 0)),
        "argb8888": ((16, 8), (8, 8), (0, 8), (24, 8)),
    }

    def mask(shift, width):
        return ((1 << width) - 1) << shift
    w.add("bmp", "rgb555_plain.bmp", bmp(16, lambda y: fields(y, layouts["rgb555"], 16)),
          field_rows(layouts["rgb555"], False))
    w.add("bmp", "rgb555_top_down.bmp",
          bmp(16, lambda y: fields(y, layouts["rgb555"], 16), top_down=True),
          field_rows(layouts["rgb555"], False))
    for name, layout in layouts.items():
        size = 32 if sum(wd for _, wd in layout) > 16 else 16
        alpha = layout[3][1] > 0
        masks = [mask(*f) for f in layout[:4 if alpha else 3]]
        # Alpha needs a header that holds the alpha mask (V5, 124 bytes); the others put their
        # three masks right after the 40-byte header.
        header = 124 if alpha else 40
        w.add("bmp", name + ".bmp",
              bmp(size, lambda y: fields(y, layout, size), header, 3, masks),
              field_rows(layout, alpha))
    # Indices past a 4-entry palette: opaque black, like every other missing colour.
    rows = [[PALETTE[i] + (255,) if i < 4 else (0, 0, 0, 255) for i in row] for row in INDEX]
    w.add("bmp", "index_past_palette.bmp", bmp(8, lambda y: packed(y, 8), palette=PALETTE[:4]),
          rows)


# ---- PCX: header(128), run-length rows of planes ----------------------------------------------

EGA = [(0, 0, 0), (0, 0, 170), (0, 170, 0), (0, 170, 170), (170, 0, 0), (170, 0, 170),
       (170, 85, 0), (170, 170, 170), (85, 85, 85), (85, 85, 255), (85, 255, 85),
       (85, 255, 255), (255, 85, 85), (255, 85, 255), (255, 255, 85), (255, 255, 255)]


def pcx_rle(data):
    out, i = b"", 0
    while i < len(data):
        run = 1
        while i + run < len(data) and run < 63 and data[i + run] == data[i]:
            run += 1
        if run > 1 or data[i] >= 0xC0:
            out += bytes([0xC0 | run, data[i]])
        else:
            out += bytes([data[i]])
        i += run
    return out


def pcx(planes, values, palette=b"", version=5):
    line = ((W + 7) // 8 + 1) & ~1
    header = struct.pack("<BBBBHHHHHH", 10, version, 1, 1, 0, 0, W - 1, H - 1, 72, 72)
    header += palette.ljust(48, b"\0") + b"\0" + struct.pack("<BHHHH", planes, line, 1, 0, 0)
    data = b""
    for row in values:
        for p in range(planes):
            data += bit_rows([[(v >> p) & 1 for v in row]], 1)[0].ljust(line, b"\0")
    return header.ljust(128, b"\0") + pcx_rle(data)


def pcx_variants(w):
    bits = [[1 if i in (1, 5, 7) else 0 for i in row] for row in INDEX]
    white_on_black = [[(255 * v,) * 3 + (255,) for v in row] for row in bits]
    mono = Image.new("1", (W, H))
    mono.putdata([v for row in bits for v in row])
    mono.save(w.folder / "pillow_mono.pcx")
    w.add("pcx", "pillow_mono.pcx", None, white_on_black)
    # A header palette that says black on white changes nothing: one plane is white on black.
    w.add("pcx", "mono_header_palette.pcx",
          pcx(1, bits, bytes((255, 255, 255, 0, 0, 0))), white_on_black)
    sixteen = [[(x + 3 * y) % 16 for x in range(W)] for y in range(H)]
    ega_rows = [[EGA[v] + (255,) for v in row] for row in sixteen]
    w.add("pcx", "ega_palette.pcx", pcx(4, sixteen, b"".join(bytes(c) for c in EGA)), ega_rows)
    for version in (0, 3):  # no palette information: the default EGA palette
        w.add("pcx", "ega_version%d.pcx" % version, pcx(4, sixteen, version=version), ega_rows)
    own = [((v * 37) % 256, (v * 91) % 256, (v * 13) % 256) for v in range(16)]
    w.add("pcx", "own_palette.pcx", pcx(4, sixteen, b"".join(bytes(c) for c in own)),
          [[own[v] + (255,) for v in row] for row in sixteen])
    eight = [[v % 8 for v in row] for row in sixteen]
    w.add("pcx", "eight_colours.pcx", pcx(3, eight, b"".join(bytes(c) for c in EGA)),
          [[EGA[v] + (255,) for v in row] for row in eight])
    image_of(RGB).convert("RGB").quantize(8).save(w.folder / "pillow_palette.pcx")
    w.add("pcx", "pillow_palette.pcx", None, opaque(RGB))


# ---- Pictures without alpha that the picture library reads: every alpha byte must be 255 -------

def opaque_variants(w):
    grey_rows = [[(v, v, v) for v in row] for row in GREY]
    source = image_of(RGB).convert("RGB")
    source.save(w.folder / "pillow_24bit.pcx")
    w.add("opaque", "pillow_24bit.pcx", None, opaque(RGB))
    image_of(grey_rows).convert("L").save(w.folder / "pillow_grey.pcx")
    w.add("opaque", "pillow_grey.pcx", None, grey_rgba(GREY))
    source.save(w.folder / "pillow_rgb.jp2")
    w.add("opaque", "pillow_rgb.jp2", None, opaque(RGB))
    image_of(grey_rows).convert("L").save(w.folder / "pillow_grey.j2k")
    w.add("opaque", "pillow_grey.j2k", None, grey_rgba(GREY))
    w.convert("opaque", "rgb.ras", RGB, [], opaque(RGB))
    w.convert("opaque", "palette.ras", RGB, ["-type", "palette"], opaque(RGB))
    w.convert("opaque", "grey.ras", grey_rows, ["-type", "grayscale"], grey_rgba(GREY))
    w.add("opaque", "grey.pgx", b"PG ML + 8 %d %d\n" % (W, H) +
          bytes(v for row in GREY for v in row), grey_rgba(GREY))
    w.convert("opaque", "grey.tif", grey_rows, ["-type", "grayscale"], grey_rgba(GREY))
    w.convert("opaque", "palette.tif", RGB, ["-type", "palette"], opaque(RGB))


# ---- PNM: plain PBM, whose digits need no white space between them ----------------------------

def pnm_variants(w):
    bits = [[1 if i in (1, 5, 7) else 0 for i in row] for row in INDEX]
    rows = [[(0, 0, 0, 255) if v else (255, 255, 255, 255) for v in row] for row in bits]
    digits = ["".join(str(v) for v in row) for row in bits]
    w.add("pnm", "plain_packed.pbm.pnm", b"P1\n# packed digits\n%d %d\n" % (W, H) +
          "\n".join(digits).encode() + b"\n", rows)
    w.add("pnm", "plain_one_line.pbm.pnm", b"P1 %d %d " % (W, H) + "".join(digits).encode(),
          rows)
    w.add("pnm", "plain_spaced.pbm.pnm", b"P1\n%d %d\n" % (W, H) +
          "\n".join(" ".join(d) for d in digits).encode() + b"\n", rows)


def oversized(w):
    """A PNG whose header promises 20000 x 20000 pixels (400 million, over the limit)."""
    (w.folder / "oversized.png").write_bytes(
        b"\x89PNG\r\n\x1a\n" +
        png_chunk(b"IHDR", struct.pack(">IIBBBBB", 20000, 20000, 8, 2, 0, 0, 0)) +
        png_chunk(b"IDAT", zlib.compress(b"\0" * 64)) + png_chunk(b"IEND", b""))


def write(folder):
    folder.mkdir(parents=True, exist_ok=True)
    w = Writer(folder)
    for group in (tga_variants, tiff_variants, png_variants, bmp_variants, pcx_variants,
                  opaque_variants, pnm_variants):
        group(w)
    import make_reader_classes  # its classes use the pattern and helpers above
    make_reader_classes.write(w)
    oversized(w)
    w.finish()
