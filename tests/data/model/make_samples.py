#!/usr/bin/env python3
"""Builds the sample box files byte by byte, independently of the program's
writer, the way a design saved on Windows looks. Run from this folder."""
import struct

IDENT = b"ORB-LUX Faltarillon-Designer 1.0\0"

def layout(type_len, type_chars, reserved, cols=1, rows=1, item=(290.0, 205.0),
           margins=(5.0, 7.5), pitch=(0.0, 0.0)):
    b = struct.pack("<6d2i", margins[0], margins[1], pitch[0], pitch[1], item[0], item[1], cols, rows)
    b += bytes([type_len]) + type_chars.ljust(21, b"\0")[:21]
    b += reserved
    assert len(b) == 112
    return b

def z(s):
    return s + b"\0"

def record(slot, left, top, w, h, keep, kind, color, shape, align, border, fill, shadow, outline,
           dx, dy, transp, tauto, lw, rot, content, fcolor, fheight, fname, pitch, fsize, fstyle):
    return (struct.pack("<5iB6i2B2i2B2i", slot, left, top, w, h, keep, kind, color, shape, align,
                        border, fill, shadow, outline, dx, dy, transp, tauto, lw, rot)
            + z(content) + struct.pack("<2i", fcolor, fheight) + z(fname)
            + struct.pack("<BiB", pitch, fsize, fstyle))

def sample():
    reserved = bytes(range(1, 35))
    out = IDENT + layout(9, b"Testtyp\xe4\xdfKein Fal", reserved)
    out += struct.pack("<3i", 685040, 484252, 3)
    out += z(b"C:\\Bilder\\pixel3x2.bmp")
    out += struct.pack("<2d", 1.0, 416.0)
    out += record(2, 230000, 170000, 20800, 20800, 1, 1, 0x0000FF, 3, 0, 0x00FF00, 2, 0, 0, 5, 5,
                  0, 0, 4, 0, b"", 0, -16, b"Times New Roman", 0, 12, 0)
    # A two-line text in code page 1252 with umlauts and a quotation mark.
    out += record(7, 240000, 180000, 83200, 41600, 1, 2, 0x123456, 3, 2, 0x00FFFF, 0x808080, 1, 1,
                  3, 4, 0, 0, 0, 1, b"Gr\xfc\xdfe aus K\xf6ln\r\x84zweite\x93 Zeile", 0xFF, -21,
                  b"Arial", 2, 16, 5)
    # Bytes that are valid UTF-8 although they are code page 1252 text
    # ("Gru\xdf\x93", no byte-order mark): read as code page, resaved as is.
    out += record(9, 0, 0, 1000, 1000, 1, 2, 0, 3, 0, 0, 0, 0, 0, 5, 5, 0, 0, 0, 0,
                  b"Gru\xdf\x93", 0, -16, b"Times New Roman", 0, 12, 0)
    # An image turned once clockwise: 3 x 2 picture, rectangle stored turned.
    out += record(9999, 300000, 200000, 8320, 12480, 1, 3, 0, 3, 0, 0, 0, 0, 0, 5, 5, 1, 0, 0xFFFFFF, 1,
                  b"D:\\Fotos\\pixel3x2.bmp", 0, -16, b"Times New Roman", 0, 12, 1)
    out += struct.pack("<i", 10001)
    return out

def bmp3x2():
    # Rows bottom-up, BGR, each row padded to 4 bytes. Top row: red green blue,
    # bottom row: white black yellow.
    top = [(0, 0, 255), (0, 255, 0), (255, 0, 0)]
    bottom = [(255, 255, 255), (0, 0, 0), (0, 255, 255)]
    rows = b""
    for row in (bottom, top):
        r = b"".join(bytes(p) for p in row)
        rows += r + b"\0" * ((4 - len(r) % 4) % 4)
    header = struct.pack("<IiiHHIIiiII", 40, 3, 2, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + rows

if __name__ == "__main__":
    open("windows_sample.box", "wb").write(sample())
    open("pixel3x2.bmp", "wb").write(bmp3x2())
