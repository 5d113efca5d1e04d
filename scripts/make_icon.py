#!/usr/bin/env python3
"""Draws the program's icon and writes it as a one-image ICO file.

make_icon.py [OUT]   (default: src/app/Vendrilov.ico)

The file is exactly 67,646 bytes: 6-byte header, 16-byte directory entry, then one 32-bit
128 x 128 DIB (40-byte BITMAPINFOHEADER with height 256, 65,536 bytes of BGRA pixels stored
bottom-up, 2,048 bytes of 1-bit AND mask). The picture is a blue globe with a white grid and a
red power plug badge, drawn with 4 x 4 supersampling so the edges blend through alpha.
"""
import math
import os
import struct
import sys

SIZE = 128
SS = 4  # samples per pixel side


def globe_sample(x, y):
    """Colour (r, g, b, a) of one sample point, x and y in 0..128 pixel units."""
    # Badge: red disc with a white plug, lower right, drawn over the globe.
    bx, by, br = 96.0, 96.0, 26.0
    d = math.hypot(x - bx, y - by)
    if d <= br:
        if d >= br - 3:
            return (255, 255, 255, 255)  # white rim sets the badge off the globe
        u, v = x - bx, y - by
        # Plug body, two pins above it, cable below.
        if -9 <= u <= 9 and -4 <= v <= 8:
            return (255, 255, 255, 255)
        if (-7 <= u <= -3 or 3 <= u <= 7) and -13 <= v < -4:
            return (255, 255, 255, 255)
        if -2.5 <= u <= 2.5 and 8 < v <= 18:
            return (255, 255, 255, 255)
        return (214, 40, 40, 255)
    # Globe: shaded blue disc with meridians and parallels.
    cx, cy, r = 60.0, 60.0, 56.0
    dx, dy = x - cx, y - cy
    dist = math.hypot(dx, dy)
    if dist > r:
        return (0, 0, 0, 0)
    if dist > r - 3:
        return (18, 60, 140, 255)  # dark outline
    shade = 1.0 - 0.45 * (math.hypot(dx + 20, dy + 20) / (r * 1.6))
    base = (int(40 * shade), int(120 * shade), int(230 * shade), 255)
    line = 2.2
    ny = dy / r
    # Parallels: the equator and two latitudes.
    for lat in (-0.5, 0.0, 0.5):
        if abs(ny - lat) * r < line / 2 + 0.3:
            return (235, 245, 255, 255)
    # Meridians: ellipses x = k * sqrt(r^2 - y^2).
    half = math.sqrt(max(r * r - dy * dy, 0.0))
    for k in (-0.75, -0.35, 0.0, 0.35, 0.75):
        if abs(dx - k * half) < line / 2 + 0.3:
            return (235, 245, 255, 255)
    return base


def render():
    """128 x 128 rows of (b, g, r, a), top row first, with premultiplied-free averaging."""
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0, 0, 0, 0]
            for sy in range(SS):
                for sx in range(SS):
                    r, g, b, a = globe_sample(px + (sx + 0.5) / SS, py + (sy + 0.5) / SS)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SS * SS
            alpha = acc[3] // n
            if acc[3]:
                r, g, b = (acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3])
            else:
                r = g = b = 0
            row.append((b, g, r, alpha))
        rows.append(row)
    return rows


def ico_bytes(rows):
    pixels = bytearray()
    for row in reversed(rows):  # DIBs store the bottom row first
        for b, g, r, a in row:
            pixels += bytes((b, g, r, a))
    mask = bytearray()
    for row in reversed(rows):
        bits = 0
        line = bytearray()
        for x, (_, _, _, a) in enumerate(row):
            bits = (bits << 1) | (1 if a == 0 else 0)  # 1: transparent on displays without alpha
            if x % 8 == 7:
                line.append(bits)
                bits = 0
        mask += line  # 16 bytes: already a multiple of 4
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask),
                         0, 0, 0, 0)
    image = header + pixels + mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE & 0xFF, SIZE & 0xFF, 0, 0, 1, 32, len(image), 22)
    data = icondir + entry + image
    assert len(data) == 67646, len(data)
    return data


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "app", "Vendrilov.ico")
    data = ico_bytes(render())
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
