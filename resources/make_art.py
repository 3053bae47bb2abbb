#!/usr/bin/env python3
"""Draws the programs' own art and the sample pictures, with nothing but the standard library.

Run from anywhere: python3 resources/make_art.py. It writes
  resources/Install/install.ico   16-colour icon, 32x32 and 16x16
  resources/Kovilan/kovilan.ico   16-colour icon, 32x32
  resources/Author/author.ico     16-colour icon, 32x32 and 16x16
  resources/Author/author.cur     32x32 cursor, hot spot at the top-left corner
  resources/Author/author.bmp     115x179 24-bit bitmap
  sample/*.gif                    the encyclopedia's sample pictures
"""
import math
import random
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The 16 colours of the standard VGA palette, as (r, g, b).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DRED, DGREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(16)


def write(path, data):
    path = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def dib_4bpp(pixels, size):
    """A 16-colour icon image: header, palette, colour rows and AND mask, bottom-up.
    pixels[y][x] is a palette index, or None for transparent."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in VGA)
    xor_rows = []
    and_rows = []
    for y in reversed(range(size)):
        row = pixels[y]
        nibbles = [(c if c is not None else 0) for c in row]
        packed = bytes((nibbles[x] << 4) | nibbles[x + 1] for x in range(0, size, 2))
        xor_rows.append(packed + b'\0' * ((4 - len(packed) % 4) % 4))
        bits = 0
        mask = bytearray()
        for x in range(size):
            bits = (bits << 1) | (1 if row[x] is None else 0)
            if x % 8 == 7:
                mask.append(bits)
                bits = 0
        and_rows.append(bytes(mask) + b'\0' * ((4 - len(mask) % 4) % 4))
    return header + palette + b''.join(xor_rows) + b''.join(and_rows)


def icon_file(images, kind=1, hotspot=(0, 0)):
    """An .ico (kind 1) or .cur (kind 2) file from (size, pixels) images."""
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, pixels in images:
        blob = dib_4bpp(pixels, size)
        planes, bits = (hotspot if kind == 2 else (1, 4))
        out += struct.pack('<BBBBHHII', size, size, 16, 0, planes, bits, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b''.join(blobs)


def canvas(size, fill=None):
    return [[fill] * size for _ in range(size)]


def rect(px, x0, y0, x1, y1, c):
    for y in range(y0, y1):
        for x in range(x0, x1):
            px[y][x] = c


def disc(px, cx, cy, r, c):
    for y in range(len(px)):
        for x in range(len(px[0])):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                px[y][x] = c


def install_icon(size):
    s = size / 32
    px = canvas(size)
    # a box the game comes in, and an arrow going down into it
    rect(px, int(4 * s), int(16 * s), int(28 * s), int(30 * s), OLIVE)
    rect(px, int(5 * s), int(17 * s), int(27 * s), int(29 * s), YELLOW)
    rect(px, int(4 * s), int(16 * s), int(28 * s), int(18 * s), DRED)
    rect(px, int(13 * s), int(2 * s), int(19 * s), int(14 * s), BLUE)
    for i in range(int(8 * s)):
        rect(px, int(16 * s) - int(8 * s) + i, int(12 * s) + i, int(16 * s) + int(8 * s) - i, int(13 * s) + i, BLUE)
    return px


def kovilan_icon(size):
    px = canvas(size)
    # an open book
    rect(px, 2, 6, 15, 27, WHITE)
    rect(px, 17, 6, 30, 27, WHITE)
    rect(px, 15, 5, 17, 28, DRED)
    for y in range(9, 25, 3):
        rect(px, 4, y, 13, y + 1, NAVY)
        rect(px, 19, y, 28, y + 1, NAVY)
    rect(px, 2, 27, 30, 28, GREY)
    return px


def author_icon(size):
    s = size / 32
    px = canvas(size)
    disc(px, 15.5 * s, 15.5 * s, 14 * s, BLUE)
    disc(px, 11 * s, 12 * s, 5 * s, GREEN)
    disc(px, 20 * s, 20 * s, 4 * s, DGREEN)
    disc(px, 22 * s, 9 * s, 2.5 * s, WHITE)
    return px


def author_cursor():
    px = canvas(32)
    # an arrow whose tip is the top-left pixel
    for y in range(20):
        for x in range(y // 1 + 1):
            if x <= y * 0.7:
                px[y][x] = BLACK if x in (0,) or x >= int(y * 0.7) - 0 or y == 19 else WHITE
    for y in range(14, 26):
        for x in range(7 + (y - 14) // 3, 10 + (y - 14) // 3):
            px[y][x] = BLACK if x == 7 + (y - 14) // 3 or x == 9 + (y - 14) // 3 else WHITE
    return px


def author_bitmap():
    """115x179: the Earth seen from space, under a small sun, with stars."""
    w, h = 115, 179
    rng = random.Random(2004)
    stars = {(rng.randrange(w), rng.randrange(h)) for _ in range(70)}
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            r, g, b = 0, 0, 16 + y // 12
            if (x, y) in stars:
                r = g = b = 230
            d_sun = math.hypot(x - 90, y - 22)
            if d_sun < 11:
                r, g, b = 255, 230 - int(d_sun * 6), 60
            d = math.hypot(x - 57, y - 110)
            if d < 48:
                shade = max(0.25, 1 - (math.hypot(x - 40, y - 92) / 80))
                land = math.sin(x / 7.0) + math.cos(y / 9.0) + math.sin((x + y) / 13.0) > 0.9
                base = (40, 150, 50) if land else (30, 80, 200)
                r, g, b = (int(c * shade) for c in base)
                if abs(d - 47.5) < 1.5:
                    r, g, b = 120, 170, 255
            row.append((r, g, b))
        rows.append(row)
    stride = (w * 3 + 3) & ~3
    data = b''
    for row in reversed(rows):
        line = b''.join(struct.pack('BBB', b, g, r) for r, g, b in row)
        data += line + b'\0' * (stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    file_header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    return file_header + header + data


def gif(width, height, palette, pixels):
    """A GIF89a file: one image, LZW-compressed; palette holds up to 256 (r, g, b)."""
    bits = max(2, (len(palette) - 1).bit_length())
    table = palette + [(0, 0, 0)] * ((1 << bits) - len(palette))
    out = b'GIF89a' + struct.pack('<HHBBB', width, height, 0x80 | (bits - 1), 0, 0)
    out += b''.join(struct.pack('BBB', *c) for c in table)
    out += b',' + struct.pack('<HHHHB', 0, 0, width, height, 0)
    clear, end = 1 << bits, (1 << bits) + 1
    codes = []
    size = bits + 1
    dictionary = {(i,): i for i in range(clear)}
    next_code = end + 1
    codes.append((clear, size))
    current = ()
    for p in (p for row in pixels for p in row):
        candidate = current + (p,)
        if candidate in dictionary:
            current = candidate
            continue
        codes.append((dictionary[current], size))
        if next_code < 4096:
            dictionary[candidate] = next_code
            next_code += 1
            if next_code - 1 == (1 << size) and size < 12:
                size += 1
        else:
            codes.append((clear, size))
            dictionary = {(i,): i for i in range(clear)}
            next_code = end + 1
            size = bits + 1
        current = (p,)
    if current:
        codes.append((dictionary[current], size))
    codes.append((end, size))
    stream = bytearray()
    acc = nacc = 0
    for code, n in codes:
        acc |= code << nacc
        nacc += n
        while nacc >= 8:
            stream.append(acc & 0xff)
            acc >>= 8
            nacc -= 8
    if nacc:
        stream.append(acc & 0xff)
    out += bytes([bits])
    for i in range(0, len(stream), 255):
        chunk = stream[i:i + 255]
        out += bytes([len(chunk)]) + bytes(chunk)
    return out + b'\0;'


def scene(width, height, draw):
    palette = [(0, 0, 40), (255, 255, 255), (255, 220, 0), (30, 80, 200), (40, 150, 50), (200, 60, 30),
               (90, 90, 90), (0, 0, 0), (240, 140, 0), (150, 200, 255)]
    px = [[0] * width for _ in range(height)]
    draw(px, width, height)
    return gif(width, height, palette, px)


def fill_disc(px, cx, cy, r, c):
    for y in range(max(0, int(cy - r)), min(len(px), int(cy + r) + 1)):
        for x in range(max(0, int(cx - r)), min(len(px[0]), int(cx + r) + 1)):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                px[y][x] = c


def penguin(px, w, h):
    for y in range(h):
        for x in range(w):
            px[y][x] = 9 if y < h * 0.7 else 1
    fill_disc(px, w / 2, h * 0.58, w * 0.22, 7)
    fill_disc(px, w / 2, h * 0.62, w * 0.15, 1)
    fill_disc(px, w / 2, h * 0.3, w * 0.14, 7)
    fill_disc(px, w / 2 - 8, h * 0.28, 3, 1)
    fill_disc(px, w / 2 + 8, h * 0.28, 3, 1)
    fill_disc(px, w / 2, h * 0.36, 5, 8)


def planet(px, w, h):
    for i in range(60):
        px[(i * 37) % h][(i * 91) % w] = 1
    fill_disc(px, w / 2, h / 2, min(w, h) * 0.35, 3)
    for y in range(h):
        for x in range(w):
            if px[y][x] == 3 and math.sin(x / 6) + math.cos(y / 8) > 1.0:
                px[y][x] = 4


def sun(px, w, h):
    fill_disc(px, w / 2, h / 2, min(w, h) * 0.3, 8)
    fill_disc(px, w / 2, h / 2, min(w, h) * 0.24, 2)


def galaxy(px, w, h):
    for t in range(2000):
        a = t / 40.0
        r = t / 2000 * min(w, h) * 0.45
        for arm in (0, math.pi):
            x = int(w / 2 + r * math.cos(a + arm))
            y = int(h / 2 + r * math.sin(a + arm))
            if 0 <= x < w and 0 <= y < h:
                px[y][x] = 1 if t % 3 else 9
    fill_disc(px, w / 2, h / 2, 6, 2)


def main():
    write('resources/Install/install.ico', icon_file([(32, install_icon(32)), (16, install_icon(16))]))
    write('resources/Kovilan/kovilan.ico', icon_file([(32, kovilan_icon(32))]))
    write('resources/Author/author.ico', icon_file([(32, author_icon(32)), (16, author_icon(16))]))
    write('resources/Author/author.cur', icon_file([(32, author_cursor())], kind=2, hotspot=(0, 0)))
    write('resources/Author/author.bmp', author_bitmap())
    write('sample/penguin.gif', scene(120, 140, penguin))
    write('sample/earth.gif', scene(200, 150, planet))
    write('sample/sun.gif', scene(160, 160, sun))
    write('sample/galaxy.gif', scene(260, 160, galaxy))


if __name__ == '__main__':
    main()
