#!/usr/bin/env bash
# Draws the program icon from morvel2.svg: PNGs of 16, 32 and 48 pixels for
# the desktop, the same as raw RGBA pixels for the window (no decoding at
# start-up), and morvel2.ico for Windows with exactly three images, 32 x 32
# in 2 colours, 32 x 32 in 16 colours and 16 x 16 in 16 colours. Needs
# ImageMagick and python3; commit what it writes.
set -euo pipefail
cd "$(dirname "$0")"

png=(-strip -define png:exclude-chunks=date,time)
for size in 16 32 48; do
    convert -background none -density 384 morvel2.svg -resize "${size}x${size}" "${png[@]}" "morvel2-$size.png"
    convert "morvel2-$size.png" -depth 8 "rgba:morvel2-$size.rgba"
done

rgba() { convert -background none -density 384 morvel2.svg -resize "$1x$1" -depth 8 rgba:-; }
rgba 32 > rgba32.raw
rgba 16 > rgba16.raw
trap 'rm -f rgba32.raw rgba16.raw' EXIT

python3 - <<'PYTHON'
import struct

# The 16 colours of the standard Windows palette, and black and white.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
MONO = [(0, 0, 0), (255, 255, 255)]

def nearest(palette, rgb):
    return min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], rgb)))

def entry(raw, size, palette, bits):
    pixels = [raw[i:i + 4] for i in range(0, len(raw), 4)]
    def rows(bits_per_pixel, values):
        out = b''
        for y in reversed(range(size)):  # bottom-up
            row_bits = ''.join(format(v, '0%db' % bits_per_pixel) for v in values[y * size:(y + 1) * size])
            row = int(row_bits, 2).to_bytes(len(row_bits) // 8, 'big')
            out += row + b'\0' * (-len(row) % 4)
        return out
    indexes = [nearest(palette, p[:3]) if p[3] >= 128 else 0 for p in pixels]
    transparent = [1 if p[3] < 128 else 0 for p in pixels]
    image = rows(bits, indexes)
    mask = rows(1, transparent)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, len(image) + len(mask), 0, 0, 0, 0)
    colours = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in palette)
    return header + colours + image + mask

images = [
    (32, MONO, 1, open('rgba32.raw', 'rb').read()),
    (32, VGA, 4, open('rgba32.raw', 'rb').read()),
    (16, VGA, 4, open('rgba16.raw', 'rb').read()),
]
data = [entry(raw, size, palette, bits) for size, palette, bits, raw in images]
offset = 6 + 16 * len(images)
directory = b''
for (size, palette, bits, _), blob in zip(images, data):
    directory += struct.pack('<BBBBHHII', size, size, len(palette), 0, 1, bits, len(blob), offset)
    offset += len(blob)
with open('morvel2.ico', 'wb') as ico:
    ico.write(struct.pack('<HHH', 0, 1, len(images)) + directory + b''.join(data))
PYTHON
