#!/usr/bin/python3
"""The committed icons are what resources/make_icons.py draws today, and MAINICON is what the
Windows resource file needs: a 32 x 32 icon with one 16-colour image."""

import filecmp
import os
import struct
import subprocess
import sys
import tempfile

resources = sys.argv[1]
outputs = ["mainicon.ico", "mainicon.png", "mainicon.xpm", "icons/eds-setting.svg",
           "icons/eds-setting-48.png", "icons/eds-setting-256.png"]
failures = []
with tempfile.TemporaryDirectory() as fresh:
    subprocess.run([sys.executable, os.path.join(resources, "make_icons.py"), fresh], check=True)
    for name in outputs:
        if not filecmp.cmp(os.path.join(resources, name), os.path.join(fresh, name), shallow=False):
            failures.append(f"{name} differs from what make_icons.py draws: run it again")

with open(os.path.join(resources, "mainicon.ico"), "rb") as file:
    ico = file.read()
reserved, kind, count = struct.unpack_from("<HHH", ico, 0)
width, height, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", ico, 6)
if (reserved, kind, count, width, height, colours, bits) != (0, 1, 1, 32, 32, 16, 4):
    failures.append("mainicon.ico is not one 32 x 32 16-colour image")
if offset + size != len(ico):
    failures.append("mainicon.ico's image does not fill the file")

for name, side in [("mainicon.png", 32), ("icons/eds-setting-48.png", 48),
                   ("icons/eds-setting-256.png", 256)]:
    with open(os.path.join(resources, name), "rb") as file:
        png = file.read()
    png_width, png_height, depth, colour_type = struct.unpack_from(">IIBB", png, 16)
    if (png_width, png_height) != (side, side) or (depth, colour_type) != (4, 3):
        failures.append(f"{name} is not a {side} x {side} 16-colour image")

for failure in failures:
    print(failure, file=sys.stderr)
sys.exit(1 if failures else 0)
