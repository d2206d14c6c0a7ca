"""Pictures of windows as the window tests take them: an X window dump (xwd)
read into pixels, and pixels written as PNG."""
import struct
import zlib


def read_xwd(path):
    """(width, height, pixel(x, y) -> 0xRRGGBB) of an xwd dump in ZPixmap, 24 or 32 bits."""
    data = open(path, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header, width, height, byte_order, bits, line = fields[0], fields[4], fields[5], fields[7], fields[11], fields[12]
    pixels = data[header + fields[19] * 12:]
    order = "little" if byte_order == 0 else "big"
    step = bits // 8

    def pixel(x, y):
        at = y * line + x * step
        return int.from_bytes(pixels[at:at + 4], order) & 0xFFFFFF

    return width, height, pixel


def write_png(path, width, height, pixel):
    rows = b"".join(b"\0" + b"".join(pixel(x, y).to_bytes(3, "big") for x in range(width)) for y in range(height))
    chunk = lambda kind, body: struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                  chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
