"""Turns the driver's 24-bit BMP captures into PNG files, with the standard library."""

import pathlib
import struct
import zlib

_BMP_HEADER = struct.Struct('<2sI4xI')
_BMP_INFO = struct.Struct('<IiiHHI')


def _chunk(kind, data):
    return (struct.pack('>I', len(data)) + kind + data +
            struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))


def bmp_to_png(bmp_path, png_path):
    data = pathlib.Path(bmp_path).read_bytes()
    magic, _, offset = _BMP_HEADER.unpack_from(data, 0)
    _, width, height, _, bits, compression = _BMP_INFO.unpack_from(data, _BMP_HEADER.size)
    if magic != b'BM' or bits != 24 or compression != 0:
        raise ValueError(f'{bmp_path} is not an uncompressed 24-bit BMP')
    stride = (width * 3 + 3) & ~3
    rows = []
    bottom_up = height > 0
    for row in range(abs(height)):
        source = abs(height) - 1 - row if bottom_up else row
        start = offset + source * stride
        bgr = data[start:start + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        rows.append(b'\x00' + bytes(rgb))  # filter type 0 for every row
    header = struct.pack('>IIBBBBB', width, abs(height), 8, 2, 0, 0, 0)  # 8-bit RGB
    png = (b'\x89PNG\r\n\x1a\n' + _chunk(b'IHDR', header) +
           _chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) + _chunk(b'IEND', b''))
    pathlib.Path(png_path).parent.mkdir(parents=True, exist_ok=True)
    pathlib.Path(png_path).write_bytes(png)
