"""Decodes the engine's PNG frames (8-bit indexed or RGB, any filter) to RGB
bytes, for the tests that check pictures without an imaging module."""
import struct
import zlib


def png_pixels(path):
    """(width, height, bytes of RGB) of an 8-bit indexed or RGB PNG."""
    data = open(path, "rb").read()
    pos, idat, plte = 8, b"", None
    while pos < len(data):
        size, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + size]
        if kind == b"IHDR":
            w, h, depth, ctype = struct.unpack(">IIBB", body[:10])
        elif kind == b"PLTE":
            plte = body
        elif kind == b"IDAT":
            idat += body
        pos += 12 + size
    assert depth == 8 and ctype in (2, 3), path
    bpp = 3 if ctype == 2 else 1
    raw, stride = zlib.decompress(idat), w * bpp
    out, prev = bytearray(), bytearray(stride)
    for y in range(h):
        f, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if f:
            for i in range(stride):
                a = row[i - bpp] if i >= bpp else 0
                b, c = prev[i], prev[i - bpp] if i >= bpp else 0
                if f == 1: row[i] = (row[i] + a) & 255
                elif f == 2: row[i] = (row[i] + b) & 255
                elif f == 3: row[i] = (row[i] + (a + b) // 2) & 255
                elif f == 4:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out += row
        prev = row
    if ctype == 3:
        out = b"".join(plte[3 * i:3 * i + 3] for i in out)
    return w, h, bytes(out)
