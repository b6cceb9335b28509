"""Draws Parlivo's two pictures: the 32x32 icon (parlivo.ico) and the About picture (about.bmp).

Run from the repository root: python3 res/draw_art.py

Shapes are signed distance functions (negative inside, in pixels), so joining, cutting and
growing them is just min/max/subtract. Each pixel averages a grid of sub-samples, which gives
anti-aliased edges. The output is the same bytes on every run.
"""
import math
import struct
from pathlib import Path

RES = Path(__file__).resolve().parent
SUBSAMPLES = 4  # per axis: 16 samples per pixel

WHITE = (255, 255, 255)
TEAL = ((38, 178, 168), (17, 128, 124))      # top and bottom of the gradient
AMBER = ((255, 196, 84), (240, 146, 26))
SLATE = (52, 72, 84)


# --- shapes -------------------------------------------------------------------------------

def rounded_rect(x0, y0, x1, y1, r):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0) - r
    return sdf


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def triangle(*corners):
    """Convex polygon as the largest distance past any edge (corners listed clockwise on screen)."""
    edges = []
    for (ax, ay), (bx, by) in zip(corners, corners[1:] + corners[:1]):
        length = math.hypot(bx - ax, by - ay)
        edges.append((ax, ay, (by - ay) / length, (ax - bx) / length))  # outward normal
    return lambda x, y: max((x - ax) * nx + (y - ay) * ny for ax, ay, nx, ny in edges)


def stroke(points, width):
    """A polyline drawn with a round pen."""
    def sdf(x, y):
        best = math.inf
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            vx, vy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
            best = min(best, math.hypot(x - ax - t * vx, y - ay - t * vy))
        return best - width / 2
    return sdf


def arc(cx, cy, rx, ry, start_deg, end_deg, steps=16):
    """Points along an elliptic arc; angles in degrees, y pointing down."""
    return [(cx + rx * math.cos(math.radians(a)), cy + ry * math.sin(math.radians(a)))
            for a in (start_deg + (end_deg - start_deg) * i / steps for i in range(steps + 1))]


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def cut(shape, hole):
    return lambda x, y: max(shape(x, y), -hole(x, y))


def grow(shape, d):
    return lambda x, y: shape(x, y) - d


def place(shape, scale, ox, oy):
    """The shape drawn `scale` times larger with its origin at (ox, oy)."""
    return lambda x, y: shape((x - ox) / scale, (y - oy) / scale) * scale


# --- the mark: two speech bubbles in a 32x32 box ------------------------------------------

def vertical(top, bottom, y0, y1):
    """Colour of a top-to-bottom gradient between rows y0 and y1."""
    def colour(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return colour


def solid(rgb):
    return lambda x, y: rgb


def mark_shapes():
    """Back bubble (teal, tail down-left) holding an "A", front bubble (amber, tail down-right)
    holding the Arabic letter beh: a hint of a word passing from one script to another."""
    front = union(rounded_rect(12, 12, 31, 27, 5), triangle((22, 25), (28, 25), (30, 31)))
    back = union(rounded_rect(1, 1, 21, 17, 5), triangle((4, 15), (10, 15), (2, 22)))
    back = cut(back, grow(front, 1.5))  # a transparent gap keeps the two apart
    letter_a = stroke([(4, 12.5), (7.5, 4), (11, 12.5)], 2.1)
    letter_a = union(letter_a, stroke([(5.5, 9.5), (9.5, 9.5)], 1.8))
    beh = union(stroke(arc(21.5, 15, 7.5, 3.5, 0, 180), 2.1), circle(21.5, 22.5, 1.5))
    return back, front, letter_a, beh


def mark_layers(scale=1.0, ox=0.0, oy=0.0):
    """(shape, colour, opacity) layers of the mark, back to front."""
    back, front, letter_a, beh = (place(s, scale, ox, oy) for s in mark_shapes())
    return [
        (hard(back), vertical(*TEAL, oy + 1 * scale, oy + 22 * scale), 1.0),
        (hard(letter_a), solid(WHITE), 1.0),
        (hard(front), vertical(*AMBER, oy + 12 * scale, oy + 31 * scale), 1.0),
        (hard(beh), solid(WHITE), 1.0),
    ]


# --- rendering ----------------------------------------------------------------------------

def hard(shape):
    """Full coverage inside the shape; the sub-samples do the anti-aliasing."""
    return lambda x, y: 1.0 if shape(x, y) <= 0 else 0.0


def soft(shape, blur):
    """Coverage fading out over `blur` pixels around the edge, for shadows."""
    return lambda x, y: max(0.0, min(1.0, 0.5 - shape(x, y) / blur))


def render(width, height, layers, background):
    """Rows of straight-alpha (r, g, b, a) floats in 0..255, top row first."""
    rows = []
    offsets = [(i + 0.5) / SUBSAMPLES for i in range(SUBSAMPLES)]
    for py in range(height):
        row = []
        for px in range(width):
            total = [0.0, 0.0, 0.0, 0.0]  # premultiplied sums
            for sy in offsets:
                for sx in offsets:
                    x, y = px + sx, py + sy
                    (r, g, b), a = background(x, y)
                    r, g, b = r * a, g * a, b * a
                    for coverage, colour, opacity in layers:
                        k = coverage(x, y) * opacity
                        if k:
                            cr, cg, cb = colour(x, y)
                            r, g, b = r + (cr - r) * k, g + (cg - g) * k, b + (cb - b) * k
                            a += (1 - a) * k
                    for i, v in enumerate((r, g, b, a)):
                        total[i] += v
            alpha = total[3] / SUBSAMPLES ** 2
            rgb = [v / total[3] if total[3] else 0.0 for v in total[:3]]
            row.append((*rgb, alpha * 255))
        rows.append(row)
    return rows


def byte(v):
    return max(0, min(255, int(round(v))))


# --- file formats -------------------------------------------------------------------------

def bitmap_info_header(width, height, bits, image_size):
    # size, width, height, planes, bit count, BI_RGB, image size, 72 dpi both ways, no palette
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835, 0, 0)


def write_ico(path, rows):
    """One 32-bpp image, stored as a bitmap: BGRA pixels bottom-up, then the 1-bpp AND mask."""
    size = len(rows)
    pixels = b"".join(bytes((byte(b), byte(g), byte(r), byte(a)))
                      for row in reversed(rows) for r, g, b, a in row)
    mask_stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if byte(pixel[3]) == 0:  # fully transparent: set in the mask for old renderers
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    image = bitmap_info_header(size, 2 * size, 32, len(pixels) + len(mask)) + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    path.write_bytes(directory + entry + image)


def write_bmp(path, rows):
    """24-bpp BI_RGB bitmap, rows bottom-up, each padded to a multiple of 4 bytes."""
    width, height = len(rows[0]), len(rows)
    padding = bytes(-width * 3 % 4)
    pixels = b"".join(b"".join(bytes((byte(b), byte(g), byte(r))) for r, g, b, _ in row) + padding
                      for row in reversed(rows))
    offset = 14 + 40
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    path.write_bytes(header + bitmap_info_header(width, height, 24, len(pixels)) + pixels)


# --- the two pictures ---------------------------------------------------------------------

def icon():
    return render(32, 32, mark_layers(), lambda x, y: ((0, 0, 0), 0.0))


def about_picture():
    width, height = 90, 135
    scale, ox, oy = 2.3, 8, 12
    background = vertical((232, 246, 245), (253, 241, 220), 0, height)
    back, front, _, _ = (place(s, scale, ox, oy) for s in mark_shapes())
    shadow = (soft(place(union(back, front), 1, 1.5, 3), 4), solid(SLATE), 0.18)
    # Three lines of text, one per language; the Arabic one starts from the right.
    lines = []
    for i, (colour, right_to_left) in enumerate([(TEAL[1], True), (AMBER[1], False), (SLATE, False)]):
        y = 98 + 11 * i
        dot_x, bar = (71, (19, 64)) if right_to_left else (19, (26, 71))
        lines.append((hard(circle(dot_x, y, 3.2)), solid(colour), 1.0))
        lines.append((hard(rounded_rect(bar[0], y - 2, bar[1], y + 2, 2)), solid(colour), 0.35))
    layers = [shadow] + mark_layers(scale, ox, oy) + lines
    return render(width, height, layers, lambda x, y: (background(x, y), 1.0))


if __name__ == "__main__":
    write_ico(RES / "parlivo.ico", icon())
    write_bmp(RES / "about.bmp", about_picture())
