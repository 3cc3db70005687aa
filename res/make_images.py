#!/usr/bin/env python3
"""Draws the toolbar strip (toolbar.bmp) and the two program icons
(Varnek.ico, VarnekFrame.ico) of res/. Run it from anywhere; it writes
beside itself. The outputs are committed so that builds need no Python."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
GREY = (192, 192, 192)


class Canvas:
    def __init__(self, width, height, fill):
        self.w, self.h = width, height
        self.px = [[fill for _ in range(width)] for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y0, colour)
            self.put(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.put(x0, y, colour)
            self.put(x1, y, colour)

    def disc(self, cx, cy, r, colour):
        for y in range(self.h):
            for x in range(self.w):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.put(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), colour)


# Toolbar images, 16 x 14 each: open, start, stop, setup, about.
def draw_open(c, ox):
    c.rect(ox + 1, 3, ox + 6, 4, (200, 160, 0))
    c.rect(ox + 1, 4, ox + 13, 12, (255, 208, 64))
    c.frame(ox + 1, 4, ox + 13, 12, (128, 96, 0))
    for i in range(6):
        c.line(ox + 4 + i, 7 - 0, ox + 15, 7, (128, 96, 0))
    c.rect(ox + 4, 7, ox + 15, 7, (128, 96, 0))
    for y in range(8, 13):
        c.line(ox + 4 - (y - 8) // 2, y, ox + 14 - (y - 8) // 2, y, (255, 232, 140))
    c.line(ox + 15, 7, ox + 13, 12, (128, 96, 0))


def draw_start(c, ox):
    # A play triangle: left edge x = 4, tip at (13, 7).
    for y in range(1, 14):
        reach = 4 + (9 * (6 - abs(y - 7))) // 6
        c.line(ox + 4, y, ox + reach, y, (0, 160, 0))
        c.put(ox + reach, y, (0, 96, 0))
    c.line(ox + 4, 1, ox + 4, 13, (0, 96, 0))


def draw_stop(c, ox):
    c.rect(ox + 3, 2, ox + 12, 11, (216, 0, 0))
    c.frame(ox + 3, 2, ox + 12, 11, (128, 0, 0))
    c.rect(ox + 5, 4, ox + 6, 5, (255, 128, 128))


def draw_setup(c, ox):
    dark, metal = (64, 64, 64), (160, 160, 176)
    c.disc(ox + 8, 7, 5.5, dark)
    c.disc(ox + 8, 7, 4.5, metal)
    for dx, dy in ((0, -6), (0, 6), (-6, 0), (6, 0)):
        c.rect(ox + 7 + dx // 2 * 1 + (dx > 0) - (dx < 0) * 1, 6 + dy, ox + 8 + dx, 7 + dy, dark)
    c.rect(ox + 7, 0, ox + 8, 1, dark)
    c.rect(ox + 7, 12, ox + 8, 13, dark)
    c.rect(ox + 1, 6, ox + 2, 7, dark)
    c.rect(ox + 13, 6, ox + 14, 7, dark)
    c.disc(ox + 8, 7, 1.6, GREY)


def draw_about(c, ox):
    c.disc(ox + 8, 7, 6.5, (0, 64, 160))
    c.disc(ox + 8, 7, 5.5, (32, 112, 224))
    c.rect(ox + 7, 3, ox + 8, 4, (255, 255, 255))
    c.rect(ox + 7, 6, ox + 8, 11, (255, 255, 255))
    c.rect(ox + 6, 6, ox + 6, 6, (255, 255, 255))
    c.rect(ox + 6, 11, ox + 9, 11, (255, 255, 255))


def write_bmp(path, canvas):
    row = (canvas.w * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(canvas.h)):
        line = bytearray()
        for r, g, b in canvas.px[y]:
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


# Icons: a green speech bubble with a white envelope, as the program sends
# SMS; the frame's icon adds a small orange "send" arrow.
def draw_icon(size, with_arrow):
    c = Canvas(size, size, None)
    s = size / 32.0
    def sc(v):
        return int(round(v * s))
    green, dark, white = (0, 150, 0), (0, 90, 0), (255, 255, 255)
    c.rect(sc(1), sc(3), sc(30), sc(23), dark)
    c.rect(sc(2), sc(4), sc(29), sc(22), green)
    for y in range(sc(23), sc(30)):
        c.line(sc(6), y, sc(6) + (sc(30) - y), y, dark)
    c.rect(sc(7), sc(8), sc(24), sc(19), white)
    c.frame(sc(7), sc(8), sc(24), sc(19), dark)
    c.line(sc(7), sc(8), sc(15.5), sc(14), dark)
    c.line(sc(24), sc(8), sc(16), sc(14), dark)
    if with_arrow:
        orange = (255, 140, 0)
        for y in range(sc(20), sc(31)):
            half = sc(5) - abs(y - sc(25))
            if half > 0:
                c.line(sc(26), y, sc(26) + half, y, orange)
        c.rect(sc(20), sc(24), sc(26), sc(26), orange)
    return c


def icon_image(canvas):
    w, h = canvas.w, canvas.h
    pixels = bytearray()
    for y in reversed(range(h)):
        for p in canvas.px[y]:
            pixels += bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 255))
    mask_row = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(h)):
        bits = bytearray(mask_row)
        for x, p in enumerate(canvas.px[y]):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return info + pixels + mask


def write_ico(path, canvases):
    images = [icon_image(c) for c in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, img in zip(canvases, images):
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


def main():
    strip = Canvas(16 * 5, 14, GREY)
    for i, draw in enumerate((draw_open, draw_start, draw_stop, draw_setup, draw_about)):
        draw(strip, 16 * i)
    write_bmp(os.path.join(HERE, 'toolbar.bmp'), strip)
    write_ico(os.path.join(HERE, 'Varnek.ico'), [draw_icon(32, False), draw_icon(16, False)])
    write_ico(os.path.join(HERE, 'VarnekFrame.ico'), [draw_icon(32, True), draw_icon(16, True)])


if __name__ == '__main__':
    main()
