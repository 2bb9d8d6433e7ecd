#!/usr/bin/python3
"""Draws the program icon MAINICON: the block letters E, D and S in bright red on a transparent
ground, from one description on a 16 x 16 grid, so every size shows the same design.

Writes into the folder given as the only argument (default: this script's folder):
  mainicon.ico                 32 x 32, 16 colours, for the Windows resource file
  mainicon.png                 the same 32 x 32, 16-colour image for the hicolor icon theme
  mainicon.xpm                 the same again as XPM, a C array the window compiles in
  icons/eds-setting.svg        the scalable icon for desktops
  icons/eds-setting-48.png     48 x 48 and 256 x 256 for the hicolor icon theme
  icons/eds-setting-256.png

Standard library only; the output is byte-for-byte reproducible.
"""

import os
import struct
import sys
import zlib

GRID = 16
RED = (0xFF, 0x00, 0x00)

# Each letter is 4 cells wide and 9 high with 1-cell strokes; rectangles are (x, y, w, h) in
# cells relative to the letter's top-left corner.
LETTERS = {
    "E": [(0, 0, 1, 9), (1, 0, 3, 1), (1, 4, 2, 1), (1, 8, 3, 1)],
    "D": [(0, 0, 1, 9), (1, 0, 2, 1), (3, 1, 1, 7), (1, 8, 2, 1)],
    "S": [(1, 0, 3, 1), (0, 1, 1, 3), (1, 4, 2, 1), (3, 5, 1, 3), (0, 8, 3, 1)],
}
WORD = (("E", 1), ("D", 6), ("S", 11))  # letter and its left column; the top row is 3
TOP = 3


def cells():
    """The filled rectangles of the whole icon, in grid cells."""
    for letter, left in WORD:
        for x, y, w, h in LETTERS[letter]:
            yield left + x, TOP + y, w, h


def mask(size):
    """size x size booleans: True where the icon is red."""
    if size % GRID:
        raise ValueError(f"{size} is not a multiple of {GRID}")
    unit = size // GRID
    image = [[False] * size for _ in range(size)]
    for x, y, w, h in cells():
        for row in range(y * unit, (y + h) * unit):
            for col in range(x * unit, (x + w) * unit):
                image[row][col] = True
    return image


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(size):
    """An indexed PNG with a 16-entry palette: 0 transparent, 1 bright red, the rest unused
    black so the image is a true 16-colour one."""
    palette = bytes((0, 0, 0)) + bytes(RED) + bytes(3 * 14)
    transparency = bytes((0, 255))
    rows = b"".join(
        b"\x00" + bytes(pack_nibbles([1 if lit else 0 for lit in row])) for row in mask(size)
    )
    return (
        b"\x89PNG\r\n\x1a\n"
        + png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 4, 3, 0, 0, 0))
        + png_chunk(b"PLTE", palette)
        + png_chunk(b"tRNS", transparency)
        + png_chunk(b"IDAT", zlib.compress(rows, 9))
        + png_chunk(b"IEND", b"")
    )


def pack_nibbles(indices):
    return [(indices[i] << 4) | indices[i + 1] for i in range(0, len(indices), 2)]


def ico(size=32):
    """A Windows icon with one 4-bit (16-colour) image and its transparency mask."""
    image = mask(size)
    # The standard 16-colour palette as BGRX; bright red is entry 9.
    vga = [
        (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
        (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
        (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
    ]
    red_index = vga.index(RED)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in vga)
    colour_rows = b"".join(
        bytes(pack_nibbles([red_index if lit else 0 for lit in row])) for row in reversed(image)
    )
    mask_stride = ((size + 31) // 32) * 4
    mask_rows = b""
    for row in reversed(image):
        bits = 0
        for col, lit in enumerate(row):
            if not lit:
                bits |= 1 << (mask_stride * 8 - 1 - col)
        mask_rows += bits.to_bytes(mask_stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0,
                         len(colour_rows) + len(mask_rows), 0, 0, 16, 0)
    bitmap = header + palette + colour_rows + mask_rows
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(bitmap), 6 + 16)
    return directory + entry + bitmap


def xpm(size=32):
    """The 16-colour image as an XPM array: Qt reads it without an image format plugin, so the
    window's start does not load and probe them all."""
    symbols = " .abcdefghijklmn"
    colours = ["None", "#FF0000"] + ["#000000"] * 14
    lines = [f"{size} {size} 16 1"]
    lines += [f"{symbol} c {colour}" for symbol, colour in zip(symbols, colours)]
    lines += ["".join(symbols[1] if lit else symbols[0] for lit in row) for row in mask(size)]
    body = ",\n".join(f'"{line}"' for line in lines)
    return f"/* XPM */\nstatic const char* const mainicon_xpm[] = {{\n{body}}};\n"


def svg():
    rects = "\n".join(
        f'  <rect x="{x}" y="{y}" width="{w}" height="{h}"/>' for x, y, w, h in cells()
    )
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{GRID}" height="{GRID}" '
        f'viewBox="0 0 {GRID} {GRID}" shape-rendering="crispEdges">\n'
        f'<g fill="#{RED[0]:02X}{RED[1]:02X}{RED[2]:02X}">\n{rects}\n</g>\n</svg>\n'
    )


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(os.path.join(out, "icons"), exist_ok=True)
    outputs = {
        "mainicon.ico": ico(),
        "mainicon.png": png(32),
        "mainicon.xpm": xpm().encode(),
        "icons/eds-setting.svg": svg().encode(),
        "icons/eds-setting-48.png": png(48),
        "icons/eds-setting-256.png": png(256),
    }
    for name, data in outputs.items():
        with open(os.path.join(out, name), "wb") as file:
            file.write(data)


if __name__ == "__main__":
    main()
