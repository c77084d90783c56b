#!/usr/bin/env python3
"""Draw the application icon procedurally and write it as a multi-image .ico.

The icon shows a flatbed document scanner (grey-blue body, light lid, green
scan light) with a white report sheet sticking out from under the lid.

Usage: python3 tools/make_icon.py [output-path]   (default: app/MAINICON.ico)
Standard library only; the output is byte-for-byte deterministic.
"""
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SIZES = (48, 32, 16)
DEPTHS = (32, 8, 4)
SS = 4  # subsamples per pixel axis: antialiased edges for the 32-bit images

INK = (40, 44, 56)  # outlines and text lines
PAPER = (250, 250, 250)
LID = (214, 222, 232)
BODY = (72, 104, 144)
BODY_HI = (102, 140, 190)
GLOW = (30, 200, 60)
GLOW_CORE = (80, 255, 80)

# Standard 16-colour Windows VGA palette, in palette-index order.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
         (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
         (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
         (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
# 256 colours: 6x6x6 colour cube followed by 40 greys.
CUBE256 = ([(r * 51, g * 51, b * 51)
            for r in range(6) for g in range(6) for b in range(6)]
           + [(i * 255 // 39,) * 3 for i in range(40)])


def layout(size):
    """Back-to-front list of (x0, y0, x1, y1, colour, radius) in pixels."""
    if size <= 16:  # hand-placed, simpler shapes for the smallest icon
        return [(3, 0, 13, 8, INK, 0), (4, 1, 12, 8, PAPER, 0),
                (5, 2, 11, 3, INK, 0), (5, 4, 10, 5, INK, 0),
                (1, 7, 15, 16, INK, 0), (0, 8, 16, 15, INK, 0),
                (1, 8, 15, 10, LID, 0), (1, 11, 15, 15, BODY, 0),
                (2, 12, 14, 14, GLOW, 0)]

    def s(v):  # design units (48 per icon) -> whole pixels at this size
        return int(v * size / 48 + 0.5)

    def box(x0, y0, x1, y1, col, r=0, inset=0):
        return (s(x0) + inset, s(y0) + inset, s(x1) - inset, s(y1) - inset,
                col, max(r * size / 48 - inset, 0))

    t = max(1, s(2))  # thickness of the text lines
    shapes = [box(11, 1, 37, 24, INK), box(11, 1, 37, 24, PAPER, inset=1)]
    for y, x1 in ((5, 33), (10, 33), (15, 27)):
        shapes.append((s(15), s(y), s(x1), s(y) + t, INK, 0))
    shapes += [box(2, 19, 46, 46, INK, 3),          # outline of lid + body
               box(2, 19, 46, 29, LID, 3, inset=1),
               box(2, 28, 46, 46, BODY, 3, inset=1),
               (s(2) + 1, s(28) + 1, s(46) - 1, s(28) + 1 + t, BODY_HI, 0),
               box(7, 34, 41, 40, GLOW, 1),
               box(8, 36, 40, 38, GLOW_CORE)]
    return shapes


def inside(px, py, x0, y0, x1, y1, r):
    if not (x0 <= px < x1 and y0 <= py < y1):
        return False
    cx = min(max(px, x0 + r), x1 - r)
    cy = min(max(py, y0 + r), y1 - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def render(size, ss):
    """Return rows top-down of (r, g, b, a) pixels, straight alpha."""
    shapes = layout(size)[::-1]  # front-most first
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc, n = [0, 0, 0], 0
            for sy in range(ss):
                for sx in range(ss):
                    fx, fy = x + (sx + 0.5) / ss, y + (sy + 0.5) / ss
                    for *rect, col, r in shapes:
                        if inside(fx, fy, *rect, r):
                            acc = [a + c for a, c in zip(acc, col)]
                            n += 1
                            break
            if n:
                row.append(tuple((a + n // 2) // n for a in acc)
                           + ((n * 255 + ss * ss // 2) // (ss * ss),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((p - c) ** 2 for p, c in zip(palette[i], rgb)))


def icon_image(rows, bpp):
    """BITMAPINFOHEADER + palette + XOR bitmap + AND mask, rows bottom-up."""
    size = len(rows)
    xor, mask = b"", b""
    palette = {4: VGA16, 8: CUBE256}.get(bpp, [])
    for row in reversed(rows):
        if bpp == 32:
            line = b"".join(bytes((b, g, r, a)) for r, g, b, a in row)
        else:
            idx = [nearest(palette, p[:3]) if p[3] >= 128 else 0 for p in row]
            if bpp == 4:
                idx += [0] * (len(idx) % 2)
                idx = [idx[i] << 4 | idx[i + 1] for i in range(0, len(idx), 2)]
            line = bytes(idx)
        xor += line + b"\0" * (-len(line) % 4)
        bits = bytearray((size + 31) // 32 * 4)
        for x, p in enumerate(row):
            if p[3] < 128:
                bits[x >> 3] |= 0x80 >> (x & 7)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + pal + xor + mask


def build_ico():
    entries = []
    for size in SIZES:
        smooth, crisp = render(size, SS), render(size, 1)  # palette: no AA
        for bpp in DEPTHS:
            rows = smooth if bpp == 32 else crisp
            entries.append((size, bpp, icon_image(rows, bpp)))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, bpp, data in entries:
        out += struct.pack("<BBBBHHII", size % 256, size % 256,
                           16 if bpp == 4 else 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in entries)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "app", "MAINICON.ico")
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(build_ico())
    print(path)


if __name__ == "__main__":
    main()
