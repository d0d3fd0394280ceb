#!/usr/bin/env python3
"""Makes assets/gui_font.bmp, the toolkit's bitmap font, from an X11 PCF font.

The picture is 256 x 256 pixels, 24 bits, a grid of 16 x 16 cells of 16 x 16
pixels. Cell k (column k % 16, row k // 16, row 0 at the top) shows the
glyph of character code k + 1 in its top-left 8 x 12 pixels, white on black,
its strokes thickened to two pixels (see thickened):
the text code calls list base + code, and the font's lists are numbered from
base + 1. Cell 255 thus holds code 256, which the text code never reaches.

The default source is the public-domain misc-fixed 6x12 font that Debian's
xfonts-base package ships (ISO 10646 encoded, so codes 0..255 are Latin-1).
Only the Python standard library is used; the output is byte-for-byte
reproducible.

    python3 tools/fontgen/fontgen.py [--font FILE.pcf[.gz]] [--out FILE.bmp]
"""
import argparse
import gzip
import os
import struct
import sys

PCF_ACCELERATORS = 1 << 1
PCF_METRICS = 1 << 2
PCF_BITMAPS = 1 << 3
PCF_BDF_ENCODINGS = 1 << 5
PCF_BDF_ACCELERATORS = 1 << 8

PCF_BYTE_MSB = 1 << 2       # multi-byte integers most significant byte first
PCF_BIT_MSB = 1 << 3        # leftmost pixel in the most significant bit
PCF_COMPRESSED_METRICS = 0x100

SIDE = 256
CELL = 16
GLYPH_W, GLYPH_H = 8, 12

DEFAULT_FONT = "/usr/share/fonts/X11/misc/6x12.pcf.gz"
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEFAULT_OUT = os.path.join(ROOT, "assets", "gui_font.bmp")


class Table:
    """One PCF table: its format word decides the byte order of the rest."""

    def __init__(self, data, offset):
        self.data = data
        self.pos = offset
        (self.format,) = struct.unpack_from("<i", data, offset)
        self.pos += 4
        self.order = ">" if self.format & PCF_BYTE_MSB else "<"

    def read(self, code):
        fmt = self.order + code
        values = struct.unpack_from(fmt, self.data, self.pos)
        self.pos += struct.calcsize(fmt)
        return values if len(values) > 1 else values[0]


def read_pcf(data):
    if data[:4] != b"\x01fcp":
        sys.exit("fontgen: not a PCF font")
    (count,) = struct.unpack_from("<i", data, 4)
    tables = {}
    for i in range(count):
        kind, _fmt, _size, offset = struct.unpack_from("<iiii", data, 8 + 16 * i)
        tables[kind] = offset
    for needed in (PCF_METRICS, PCF_BITMAPS, PCF_BDF_ENCODINGS):
        if needed not in tables:
            sys.exit("fontgen: the font lacks a table it needs (%d)" % needed)

    t = Table(data, tables[PCF_METRICS])
    metrics = []
    if t.format & PCF_COMPRESSED_METRICS:
        for _ in range(t.read("h")):
            lsb, rsb, width, ascent, descent = (b - 0x80 for b in t.read("5B"))
            metrics.append((lsb, rsb, width, ascent, descent))
    else:
        for _ in range(t.read("i")):
            lsb, rsb, width, ascent, descent, _attr = t.read("hhhhhH")
            metrics.append((lsb, rsb, width, ascent, descent))

    t = Table(data, tables[PCF_BITMAPS])
    glyphs = t.read("i")
    offsets = [t.read("i") for _ in range(glyphs)]
    t.read("4i")
    bitmap_start = t.pos
    row_pad = 1 << (t.format & 3)
    unit = 1 << ((t.format >> 4) & 3)
    bit_msb = bool(t.format & PCF_BIT_MSB)
    byte_msb = bool(t.format & PCF_BYTE_MSB)

    t = Table(data, tables[PCF_BDF_ENCODINGS])
    min2, max2, min1, max1, _default = t.read("5h")
    per_row = max2 - min2 + 1
    encoding = {}
    for byte1 in range(min1, max1 + 1):
        for byte2 in range(min2, max2 + 1):
            index = t.read("H")
            if index != 0xFFFF:
                encoding[(byte1 << 8) | byte2] = index

    accel = tables.get(PCF_BDF_ACCELERATORS, tables.get(PCF_ACCELERATORS))
    if accel is None:
        sys.exit("fontgen: the font has no accelerator table")
    t = Table(data, accel)
    t.read("8B")
    font_ascent = t.read("i")

    def pixels(index):
        """Set pixels of a glyph as (x, y) with y = 0 at the font's top line."""
        lsb, rsb, _width, ascent, descent = metrics[index]
        width, height = rsb - lsb, ascent + descent
        stride = ((width + 7) // 8 + row_pad - 1) // row_pad * row_pad
        raw = data[bitmap_start + offsets[index]:]
        for row in range(height):
            line = bytearray(raw[row * stride:(row + 1) * stride])
            # Units stored with the other byte order than the bit order
            # are swapped so that bytes read left to right.
            if unit > 1 and byte_msb != bit_msb:
                for u in range(0, stride, unit):
                    line[u:u + unit] = line[u:u + unit][::-1]
            for x in range(width):
                byte = line[x // 8]
                bit = (byte >> (7 - x % 8)) & 1 if bit_msb else (byte >> (x % 8)) & 1
                if bit:
                    yield lsb + x, font_ascent - ascent + row

    return encoding, pixels, per_row


def thickened(glyph):
    """The glyph with every stroke two pixels thick.

    The text quads magnify the texture with linear filtering and the alpha
    test keeps only what filters to nearly full glyph, so a one-pixel stroke
    would show in fragments. Each pixel also lights its neighbour to the
    right and the one above, unless that neighbour is a one-pixel gap
    between two strokes (as in "=" or "m"); then the other side is taken.
    """
    out = set(glyph)
    for x, y in glyph:
        for sx, sy in ((1, 0), (0, -1)):
            for dx, dy in ((sx, sy), (-sx, -sy)):
                if (x + dx, y + dy) in glyph:
                    break   # the stroke is already two thick this way
                if (x + 2 * dx, y + 2 * dy) not in glyph:
                    out.add((x + dx, y + dy))
                    break
    return out


def make_picture(font):
    encoding, pixels, _ = read_pcf(font)
    picture = [[0] * SIDE for _ in range(SIDE)]   # 1 = glyph, top row first
    drawn = 0
    for cell in range(256):
        index = encoding.get(cell + 1)
        if index is None:
            continue
        left, top = CELL * (cell % 16), CELL * (cell // 16)
        glyph = {(x, y) for x, y in pixels(index) if 0 <= x < GLYPH_W and 0 <= y < GLYPH_H}
        for x, y in thickened(glyph):
            if 0 <= x < GLYPH_W and 0 <= y < GLYPH_H:
                picture[top + y][left + x] = 1
        drawn += 1
    return picture, drawn


def bmp_bytes(picture):
    stride = SIDE * 3
    header_size = 14 + 40
    out = bytearray()
    out += struct.pack("<2sIHHI", b"BM", header_size + stride * SIDE, 0, 0, header_size)
    out += struct.pack("<IiiHHIIiiII", 40, SIDE, SIDE, 1, 24, 0, stride * SIDE, 2835, 2835, 0, 0)
    for row in reversed(picture):   # bottom row first
        for on in row:
            out += b"\xff\xff\xff" if on else b"\x00\x00\x00"
    return bytes(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--font", default=DEFAULT_FONT, help="PCF font, optionally gzipped")
    parser.add_argument("--out", default=DEFAULT_OUT, help="BMP file to write")
    args = parser.parse_args()
    with open(args.font, "rb") as f:
        data = f.read()
    if data[:2] == b"\x1f\x8b":
        data = gzip.decompress(data)
    picture, drawn = make_picture(data)
    with open(args.out, "wb") as f:
        f.write(bmp_bytes(picture))
    print("fontgen: %s: %d glyphs from %s" % (args.out, drawn, args.font))


if __name__ == "__main__":
    main()
