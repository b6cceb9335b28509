"""The driver's 24-bit BMP captures: their pixels, and PNG files of them, with
the standard library."""

import pathlib
import struct
import zlib

_BMP_HEADER = struct.Struct('<2sI4xI')
_BMP_INFO = struct.Struct('<IiiHHI')


def _chunk(kind, data):
    return (struct.pack('>I', len(data)) + kind + data +
            struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))


def read_bmp(bmp_path):
    """The rows of an uncompressed 24-bit BMP, top-down, each a list of (r, g, b)."""
    data = pathlib.Path(bmp_path).read_bytes()
    magic, _, offset = _BMP_HEADER.unpack_from(data, 0)
    _, width, height, _, bits, compression = _BMP_INFO.unpack_from(data, _BMP_HEADER.size)
    if magic != b'BM' or bits != 24 or compression != 0:
        raise ValueError(f'{bmp_path} is not an uncompressed 24-bit BMP')
    stride = (width * 3 + 3) & ~3
    rows = []
    for row in range(abs(height)):
        source = abs(height) - 1 - row if height > 0 else row  # positive: bottom-up
        bgr = data[offset + source * stride:][:width * 3]
        rows.append(list(zip(bgr[2::3], bgr[1::3], bgr[0::3])))
    return rows


def bmp_to_png(bmp_path, png_path):
    rows = read_bmp(bmp_path)
    # Filter type 0 before every row.
    raw = b''.join(b'\x00' + bytes(channel for pixel in row for channel in pixel) for row in rows)
    header = struct.pack('>IIBBBBB', len(rows[0]), len(rows), 8, 2, 0, 0, 0)  # 8-bit RGB
    png = (b'\x89PNG\r\n\x1a\n' + _chunk(b'IHDR', header) +
           _chunk(b'IDAT', zlib.compress(raw, 9)) + _chunk(b'IEND', b''))
    pathlib.Path(png_path).parent.mkdir(parents=True, exist_ok=True)
    pathlib.Path(png_path).write_bytes(png)
