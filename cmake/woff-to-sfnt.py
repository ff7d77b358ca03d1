#!/usr/bin/env python3
"""Takes a font's tables out of their WOFF wrapper, unchanged, into a plain
TrueType/OpenType file (WOFF 1.0, section 5: each table stored whole or
zlib-compressed; the file rebuilt as the sfnt it was made from).

    woff-to-sfnt.py FONT.woff FONT.ttf
"""
import struct
import sys
import zlib


def woff_to_sfnt(data):
    signature, flavor, _, count = struct.unpack(">4sIIH", data[:14])
    if signature != b"wOFF":
        raise ValueError("not a WOFF file")
    tables = []
    for index in range(count):
        entry = data[44 + 20 * index:64 + 20 * index]
        tag, offset, stored, length, checksum = struct.unpack(">4sIIII", entry)
        table = data[offset:offset + stored]
        if stored != length:
            table = zlib.decompress(table)
        if len(table) != length:
            raise ValueError(f"table {tag!r} is {len(table)} bytes, not {length}")
        tables.append((tag, table, checksum))
    tables.sort()
    power = 1
    while power * 2 <= count:
        power *= 2
    selector = power.bit_length() - 1
    header = struct.pack(">IHHHH", flavor, count, 16 * power, selector, 16 * count - 16 * power)
    directory = b""
    body = b""
    offset = 12 + 16 * count
    for tag, table, checksum in tables:
        directory += struct.pack(">4sIII", tag, checksum, offset + len(body), len(table))
        body += table + b"\0" * (-len(table) % 4)
    return header + directory + body


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as source:
        sfnt = woff_to_sfnt(source.read())
    with open(sys.argv[2], "wb") as target:
        target.write(sfnt)
