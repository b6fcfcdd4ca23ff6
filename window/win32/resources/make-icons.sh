#!/usr/bin/env bash
# Makes calendar.ico (32 x 32 and 16 x 16) and picture.ico (48 x 48) from the calendar page
# PNGs of the Qt window, as 24-bit colour images with a transparency mask. Needs ImageMagick.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
artwork="$here/../../qt/artwork"

python3 - "$here" "$artwork" <<'PY'
import struct, subprocess, sys

here, artwork = sys.argv[1], sys.argv[2]

def pixels(png, size):
    rgba = subprocess.run(["convert", png, "-resize", f"{size}x{size}!", "-depth", "8", "rgba:-"],
                          check=True, capture_output=True).stdout
    return [rgba[i:i + 4] for i in range(0, len(rgba), 4)]

def image(png, size):
    px = pixels(png, size)
    colour, mask = b"", b""
    for row in reversed(range(size)):  # bottom row first
        line = b""
        mask_line = bytearray((size + 31) // 32 * 4)
        for col in range(size):
            r, g, b, a = px[row * size + col]
            if a < 128:
                mask_line[col // 8] |= 0x80 >> (col % 8)
                r = g = b = 0
            line += bytes((b, g, r))
        colour += line + b"\0" * (-len(line) % 4)
        mask += bytes(mask_line)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    return header + colour + mask

def icon(path, entries):
    images = [(size, image(png, size)) for png, size in entries]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    open(path, "wb").write(out)

icon(f"{here}/calendar.ico", [(f"{artwork}/calendar32.png", 32), (f"{artwork}/calendar16.png", 16)])
icon(f"{here}/picture.ico", [(f"{artwork}/calendar48.png", 48)])
PY
