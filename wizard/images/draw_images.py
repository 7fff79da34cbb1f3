#!/usr/bin/env python3
"""Draws the wizard's images (banner, footer, logo, window icon, program icon).

Standard library only; run from any directory, writes next to this script.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# 5x7 capitals, enough for the product name.
GLYPHS = {
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'D': ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'G': ["01111", "10000", "10000", "10011", "10001", "10001", "01111"],
    'H': ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    'I': ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'W': ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    ' ': ["00000"] * 7,
}

NAVY = (10, 36, 106)
SKY = (92, 140, 214)
WHITE = (255, 255, 255)


def canvas(w, h, colour):
    return [[tuple(colour) for _ in range(w)] for _ in range(h)]


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def text(img, s, x, y, scale, colour):
    for ch in s:
        for r, row in enumerate(GLYPHS[ch]):
            for c, bit in enumerate(row):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            px, py = x + c * scale + dx, y + r * scale + dy
                            if 0 <= py < len(img) and 0 <= px < len(img[0]):
                                img[py][px] = colour
        x += 6 * scale


def png(path, img):
    h, w, channels = len(img), len(img[0]), len(img[0][0])
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in img)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    colour_type = 6 if channels == 4 else 2
    data = (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, colour_type, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(data)


def banner():
    w, h = 532, 36
    img = canvas(w, h, NAVY)
    for y in range(h):
        for x in range(w):
            c = mix(NAVY, SKY, x / (w - 1))
            if (x + y) % 24 < 2 and x > 380:  # faint diagonal hatching on the right
                c = mix(c, WHITE, 0.25)
            img[y][x] = c
    text(img, "HEADWRIGHT", 12, 8, 3, WHITE)
    return img


def footer():
    w, h = 532, 19
    img = canvas(w, h, WHITE)
    for y in range(h):
        for x in range(w):
            img[y][x] = mix(SKY, NAVY, y / (h - 1)) if y >= 3 else mix(WHITE, SKY, y / 3)
    return img


def mark(img, x0, y0, size):
    # Three stacked blocks, a header over its forwarding copies.
    step = size // 3
    for i in range(3):
        colour = mix(NAVY, SKY, i / 2)
        for y in range(y0 + i * step // 2, y0 + i * step // 2 + step * 2):
            for x in range(x0 + i * step // 2, x0 + i * step // 2 + step * 2):
                if 0 <= y < len(img) and 0 <= x < len(img[0]):
                    img[y][x] = colour


def logo():
    w, h = 169, 54
    img = canvas(w, h, WHITE)
    mark(img, 4, 8, 36)
    text(img, "HEAD", 56, 9, 2, NAVY)
    text(img, "WRIGHT", 56, 29, 2, SKY)
    return img


def icon():
    size = 32
    img = [[(0, 0, 0, 0)] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            # rounded square with a 5 pixel corner radius
            cx = min(max(x, 5), size - 6)
            cy = min(max(y, 5), size - 6)
            if (x - cx) ** 2 + (y - cy) ** 2 <= 25:
                img[y][x] = mix(NAVY, SKY, y / (size - 1)) + (255,)
    glyph = GLYPHS['H']
    for r, row in enumerate(glyph):
        for c, bit in enumerate(row):
            if bit == "1":
                for dy in range(3):
                    for dx in range(3):
                        img[6 + r * 3 + dy][9 + c * 3 + dx] = WHITE + (255,)
    return img


def ico(path, img):
    """32x32, 16-colour Windows icon drawn from the RGBA window icon."""
    palette = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
               (128, 0, 128), (0, 128, 128), (192, 192, 192), (128, 128, 128),
               (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
               (0, 255, 255), (255, 255, 255)]

    def nearest(c):
        return min(range(16), key=lambda i: sum((palette[i][k] - c[k]) ** 2 for k in range(3)))

    size = 32
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):  # bottom-up
        row = img[y]
        idx = [nearest(px[:3]) if px[3] else 0 for px in row]
        xor_rows.append(bytes((idx[i] << 4) | idx[i + 1] for i in range(0, size, 2)))
        bits = 0
        for px in row:
            bits = (bits << 1) | (0 if px[3] else 1)
        and_rows.append(struct.pack(">I", bits))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor_rows) * 16 + len(and_rows) * 4, 0, 0, 16, 0)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    body = header + pal + b"".join(xor_rows) + b"".join(and_rows)
    data = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4,
                                                      len(body), 6 + 16) + body
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    png(os.path.join(HERE, "banner.png"), banner())
    png(os.path.join(HERE, "footer.png"), footer())
    png(os.path.join(HERE, "logo.png"), logo())
    window_icon = icon()
    png(os.path.join(HERE, "velk-icon.png"), window_icon)
    ico(os.path.join(HERE, "velk.ico"), window_icon)
