"""Writes GIF files whose import takes much memory into the folder given: a logical screen many
times larger than their frames, and an ordinary large animation. The first frame of ordinary.gif
comes from Pillow; every other image is written here: descriptor, then LZW codes that never
let the code table grow (a clear code before it would), which any decoder reads.

  screen16000.gif  16000 x 16000 screen, 20 frames of 4 x 4 pixels (a few hundred bytes)
  ordinary.gif     4000 x 3000, 100 frames: a grey picture, then a 40 x 30 block of palette
                   colour 1 + (k mod 3) at (k x 37, k x 29) in frame k, each kept (disposal 1)
"""
import struct
import sys
from pathlib import Path

from PIL import Image


def lzw_codes(indices, min_code_size):
    """Codes of min_code_size + 1 bits: a clear code, then literals, a clear code again before
    the table would widen the codes, and the end code; packed into sub-blocks."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    width = min_code_size + 1
    room = (1 << width) - (1 << min_code_size) - 2  # literals before the table fills the width
    codes, since_clear = [clear], 0
    for i in indices:
        if since_clear == room:
            codes.append(clear)
            since_clear = 0
        codes.append(i)
        since_clear += 1
    codes.append(end)
    bits, count, out = 0, 0, bytearray()
    for code in codes:
        bits |= code << count
        count += width
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    blocks = b"".join(bytes([len(out[i:i + 255])]) + out[i:i + 255]
                      for i in range(0, len(out), 255))
    return bytes([min_code_size]) + blocks + b"\0"


def image(left, top, width, height, index, delay=4):
    # Graphic control: disposal 1 (keep), delay; image descriptor; data.
    control = b"\x21\xF9\x04" + bytes([1 << 2]) + struct.pack("<H", delay) + b"\0\0"
    descriptor = b"\x2C" + struct.pack("<HHHHB", left, top, width, height, 0)
    return control + descriptor + lzw_codes([index] * (width * height), 2)


def screen_gif(path):
    palette = bytes((0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255))
    head = b"GIF89a" + struct.pack("<HHBBB", 16000, 16000, 0x81, 0, 0) + palette
    frames = b"".join(image(k * 700, k * 500, 4, 4, 1 + k % 3) for k in range(20))
    path.write_bytes(head + frames + b";")


def ordinary_gif(path):
    first = Image.new("P", (4000, 3000), 0)
    first.putpalette([128, 128, 128, 255, 0, 0, 0, 200, 0, 0, 0, 255])
    first.save(path)
    data = path.read_bytes()
    assert data.endswith(b";")
    frames = b"".join(image(k * 37, k * 29, 40, 30, 1 + k % 3) for k in range(1, 100))
    path.write_bytes(data[:-1] + frames + b";")


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    screen_gif(out / "screen16000.gif")
    ordinary_gif(out / "ordinary.gif")


if __name__ == "__main__":
    main()
