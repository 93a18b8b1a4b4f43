"""The one PNG reader of the Python tests (no imaging module needed): the
pixels of an 8-bit RGB, RGBA or indexed PNG as (width, height, RGB bytes); RGBA loses
its alpha, a transparent pixel (alpha 0) becoming black."""
import struct
import zlib


def png_pixels(path):
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
    assert depth == 8 and ctype in (2, 3, 6), path
    bpp = {2: 3, 3: 1, 6: 4}[ctype]
    raw, stride = zlib.decompress(idat), w * bpp
    out, prev = bytearray(), bytearray(stride)
    for y in range(h):
        f, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a, b = row[i - bpp] if i >= bpp else 0, prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
            row[i] = (row[i] + [0, a, b, (a + b) // 2,
                                a if pa <= pb and pa <= pc else b if pb <= pc else c][f]) & 255
        out += row
        prev = row
    if ctype == 3:
        out = b"".join(plte[3 * i:3 * i + 3] for i in out)
    elif ctype == 6:
        out = b"".join(out[i:i + 3] if out[i + 3] else bytes(3) for i in range(0, len(out), 4))
    return w, h, bytes(out)
