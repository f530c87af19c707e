"""Runs `zentravo-cli text-sheet` and checks the sheet with Pillow: nine style rows, each drawn
at opacity 255 and 128, every cell showing text, the half-opaque cell lighter than the opaque
one (except for the fallback style, which stays opaque), and a bad size refused."""
import subprocess
import sys

from PIL import Image

cli, out = sys.argv[1], sys.argv[2]
HEADER, LABEL, CHECKER = 28, 200, {(204, 204, 204), (240, 240, 240), (255, 255, 255)}

result = subprocess.run([cli, "text-sheet", out, "--text", "Text", "--size", "36"])
assert result.returncode == 0, "text-sheet failed"
sheet = Image.open(out).convert("RGB")
width, height = sheet.size
cell_w, cell_h = (width - LABEL) // 2, (height - HEADER) // 9
assert cell_h > 48 and cell_w > 60, (cell_w, cell_h)


def inked(x0, y0):
    """Pixels of a cell that are neither background nor checker."""
    pixels = [sheet.getpixel((x, y)) for y in range(y0 + 3, y0 + cell_h - 3)
              for x in range(x0 + 3, x0 + cell_w - 3)]
    return [p for p in pixels if p not in CHECKER]


for row in range(9):
    top = HEADER + row * cell_h
    opaque, half = inked(LABEL, top), inked(LABEL + cell_w, top)
    assert len(opaque) > 300 and len(half) > 300, (row, len(opaque), len(half))
    if row == 0:  # the fallback style ignores the opacity
        assert half == opaque, row
    else:
        darkness = lambda ink: sum(255 * 3 - sum(p) for p in ink) / len(ink)
        assert darkness(half) < darkness(opaque), (row, darkness(half), darkness(opaque))

refused = subprocess.run([cli, "text-sheet", out, "--size", "0"], capture_output=True)
assert refused.returncode == 2, refused.returncode
print("text sheet ok:", width, "x", height)
