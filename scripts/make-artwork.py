#!/usr/bin/env python3
"""Draws the program's icons and bitmaps and writes them as .ico and .bmp files.

Plain Python on purpose (the standard library only): the artwork is a handful of shapes,
rendered with supersampling so the edges stay clean at 16x16, and the file formats are
written byte by byte. Run it from anywhere; it writes into resources/art/.

Every icon carries the frames Windows asks for from 100% to 400% scaling: 16, 20, 24,
32, 40, 48, 64 and 256 pixels (the 256 frame as PNG, as Windows stores it). The bitmaps
are drawn for 192 DPI; each window scales its picture to its own DPI.

    make-artwork.py [--preview FILE.png]

--preview also writes the two tray icons at their small sizes on a light and a dark
taskbar colour, magnified, to check that both states read on either.
"""
import os
import struct
import sys
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "art")
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_FROM = 256  # frames this large are stored as PNG


# ---- shapes: each returns coverage-free inside tests in unit coordinates (0..1) ----

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1):
    return lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def segment(ax, ay, bx, by, w):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (w / 2) ** 2
    return inside


def arc(cx, cy, r, w, lo, hi):
    """A ring segment between angles lo..hi measured as the slope y/x to the right."""
    import math

    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > w / 2 or x <= cx:
            return False
        a = math.degrees(math.atan2(cy - y, x - cx))
        return lo <= a <= hi
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def render(size, layers):
    """layers: list of (shape, (r, g, b) or callable(x, y) -> rgb), or a callable(size)
    giving that list for one size. Returns RGBA rows."""
    if callable(layers):
        layers = layers(size)
    SS = 4 if size <= 64 else 2  # supersamples per axis
    img = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    x = (px + (sx + 0.5) / SS) / size
                    y = (py + (sy + 0.5) / SS) / size
                    col = None
                    for shape, colour in layers:
                        if shape(x, y):
                            col = colour(x, y) if callable(colour) else colour
                    if col is not None:
                        acc[0] += col[0]
                        acc[1] += col[1]
                        acc[2] += col[2]
                        acc[3] += 1
            n = SS * SS
            a = acc[3] / n
            if acc[3]:
                row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], a))
            else:
                row.append((0, 0, 0, 0))
        img.append(row)
    return img


def shade(base, light=1.35, dark=0.65):
    """A top-left lit gradient of one colour."""
    def colour(x, y):
        k = light - (light - dark) * min(1.0, max(0.0, (x + y) / 2))
        return tuple(min(255, c * k) for c in base)
    return colour


# ---- icon designs ----

def macro_button(rgb):
    # A round remote button in its colour, with a highlight, on a dark bezel.
    return [
        (circle(0.5, 0.5, 0.48), (40, 40, 48)),
        (circle(0.5, 0.5, 0.40), shade(rgb)),
        (circle(0.40, 0.36, 0.12), tuple(min(255, c * 0.35 + 170) for c in rgb)),
    ]


RIM = (240, 242, 248)  # the light edge that keeps dark shapes apart from a dark taskbar


def rim_width(size):
    """About one pixel at the small sizes, a little thicker in the large frames."""
    return max(1.25 / size, 0.035)


def receiver(status):
    """The receiver in the notification area, available ("ok") or not ("missing").

    The two states differ in shape, not only in colour: the available receiver sends
    two infrared beams and wears a round badge with a check mark; the missing one sends
    nothing, is greyed, and wears a square badge with a cross. Every shape has a light
    rim, so the icon reads on a dark taskbar as well as on a light one.
    """
    ok = status == "ok"

    def layers(size):
        e = rim_width(size)
        body = (64, 78, 110) if ok else (112, 114, 122)
        out = [
            (rounded(0.03 - e, 0.40 - e, 0.64 + e, 0.92 + e, 0.10 + e), RIM),
            (rounded(0.03, 0.40, 0.64, 0.92, 0.10), shade(body)),
            (rounded(0.10, 0.51, 0.36, 0.71, 0.04), (200, 30, 40) if ok else (72, 72, 80)),
        ]
        if ok:
            for radius, lo in ((0.22, 30), (0.40, 36)):
                out.append((arc(0.23, 0.61, radius, 0.10 + 2 * e, lo, 88), RIM))
                out.append((arc(0.23, 0.61, radius, 0.10, lo + 3, 86), (235, 110, 0)))
            out += [
                (circle(0.76, 0.75, 0.24 + e), RIM),
                (circle(0.76, 0.75, 0.24), shade((25, 150, 60))),
                (union(segment(0.65, 0.76, 0.73, 0.84, 0.09), segment(0.73, 0.84, 0.88, 0.65, 0.09)),
                 (255, 255, 255)),
            ]
        else:
            out += [
                (rounded(0.53 - e, 0.52 - e, 0.99 + e, 0.98 + e, 0.07 + e), RIM),
                (rounded(0.53, 0.52, 0.99, 0.98, 0.07), shade((200, 35, 35))),
                (union(segment(0.64, 0.63, 0.88, 0.87, 0.10), segment(0.88, 0.63, 0.64, 0.87, 0.10)),
                 (255, 255, 255)),
            ]
        return out
    return layers


def app_icon():
    # An orb with an infrared beam: blue sphere, white highlight, three wave arcs.
    return [
        (circle(0.40, 0.58, 0.36), shade((40, 110, 210))),
        (circle(0.30, 0.47, 0.10), (200, 225, 255)),
        (arc(0.40, 0.58, 0.46, 0.07, 10, 80), (230, 60, 50)),
        (arc(0.40, 0.58, 0.58, 0.07, 15, 75), (230, 60, 50)),
    ]


def hardware_error():
    # A warning sign over a receiver.
    return [
        (rounded(0.04, 0.52, 0.60, 0.94, 0.08), shade((70, 74, 86))),
        (rounded(0.10, 0.60, 0.32, 0.78, 0.04), (150, 20, 30)),
        (triangle(0.66, 0.04, 0.98, 0.62, 0.34, 0.62), (200, 40, 30)),
        (triangle(0.66, 0.13, 0.91, 0.58, 0.41, 0.58), (255, 210, 40)),
        (union(segment(0.66, 0.26, 0.66, 0.44, 0.07), circle(0.66, 0.52, 0.04)), (20, 20, 20)),
    ]


def triangle(ax, ay, bx, by, cx, cy):
    def inside(x, y):
        d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by)
        d2 = (x - cx) * (by - cy) - (bx - cx) * (y - cy)
        d3 = (x - ax) * (cy - ay) - (cx - ax) * (y - ay)
        neg = d1 < 0 or d2 < 0 or d3 < 0
        pos = d1 > 0 or d2 > 0 or d3 > 0
        return not (neg and pos)
    return inside


# ---- file formats ----

def png_image(img):
    h, w = len(img), len(img[0])
    raw = bytearray()
    for row in img:
        raw.append(0)
        for px in row:
            if len(px) == 4:
                r, g, b, a = px
                raw += bytes((int(r + 0.5), int(g + 0.5), int(b + 0.5), int(a * 255 + 0.5)))
            else:
                raw += bytes(int(c + 0.5) for c in px) + b"\xff"

    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data +
                struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def ico_image(img):
    size = len(img)
    if size >= PNG_FROM:
        return png_image(img)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(img):
        for r, g, b, a in row:
            xor += bytes((int(b + 0.5), int(g + 0.5), int(r + 0.5), int(a * 255 + 0.5)))
    stride = ((size + 31) // 32) * 4
    andmask = bytearray()
    for row in reversed(img):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 0.5:
                bits[x // 8] |= 0x80 >> (x % 8)
        andmask += bits
    return header + bytes(xor) + bytes(andmask)


def write_ico(name, layers, sizes=ICON_SIZES):
    images = [ico_image(render(s, layers)) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(out)


def write_bmp(name, pixels):
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((int(b), int(g), int(r)))
        line += bytes(stride - len(line))
        body += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(header + info + bytes(body))


# ---- a small pixel font for the pictures ----

FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "G": ["01111", "10000", "10000", "10011", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    " ": ["00000"] * 7,
}


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def draw_text(pixels, text, x0, y0, scale, rgb):
    for i, ch in enumerate(text):
        glyph = FONT[ch]
        for gy, bits in enumerate(glyph):
            for gx, bit in enumerate(bits):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            x = x0 + (i * 6 + gx) * scale + dx
                            y = y0 + gy * scale + dy
                            if 0 <= y < len(pixels) and 0 <= x < len(pixels[0]):
                                pixels[y][x] = rgb


def draw_centered(pixels, text, y, scale, rgb):
    # On even columns, so that a picture shown at half size keeps its strokes whole.
    x = (len(pixels[0]) - text_width(text, scale)) // 2
    draw_text(pixels, text, x - x % 2, y, scale, rgb)


def stamp(pixels, layers, x0, y0, size):
    """Composites a rendered shape picture onto an RGB picture."""
    img = render(size, layers)
    for y, row in enumerate(img):
        for x, (r, g, b, a) in enumerate(row):
            if a == 0:
                continue
            pr, pg, pb = pixels[y0 + y][x0 + x]
            pixels[y0 + y][x0 + x] = (pr + (r - pr) * a, pg + (g - pg) * a, pb + (b - pb) * a)


def gradient(w, h, top, bottom):
    rows = []
    for y in range(h):
        t = y / (h - 1)
        c = tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
        rows.append([c] * w)
    return [list(r) for r in rows]


# The pictures are drawn for 192 DPI (twice their size at 96 DPI), on even coordinates.

def plugin_wait_picture():
    w, h = 632, 360
    px = gradient(w, h, (235, 242, 252), (180, 200, 230))
    draw_centered(px, "ORBISCOPE REMOTE", 28, 6, (20, 50, 120))
    stamp(px, receiver("ok"), 80, 100, 160)
    stamp(px, app_icon(), 392, 100, 160)
    draw_centered(px, "WINDOWS IS DETECTING", 280, 4, (30, 30, 40))
    draw_centered(px, "YOUR NEW RECEIVER.  PLEASE WAIT.", 320, 2, (30, 30, 40))
    return px


def about_picture():
    w, h = 192, 256
    px = gradient(w, h, (30, 60, 130), (10, 20, 50))
    stamp(px, app_icon(), 16, 20, 160)
    draw_centered(px, "ORBISCOPE", 200, 2, (240, 240, 250))
    draw_centered(px, "REMOTE", 224, 2, (200, 210, 240))
    return px


def tray_preview(path):
    """Both tray states at the small sizes on a light and a dark taskbar, magnified 4x."""
    zoom, gap = 4, 8
    sizes = (16, 20, 24, 32)
    backgrounds = ((243, 243, 243), (32, 32, 32))
    states = (receiver("ok"), receiver("missing"))
    cell = max(sizes) * zoom + gap
    w = gap + len(backgrounds) * len(sizes) * cell
    h = gap + len(states) * cell
    px = [[(128, 128, 128)] * w for _ in range(h)]
    for bi, bg in enumerate(backgrounds):
        for si, size in enumerate(sizes):
            x0 = gap + (bi * len(sizes) + si) * cell
            for ri, state in enumerate(states):
                y0 = gap + ri * cell
                for y in range(cell - gap):
                    px[y0 + y][x0:x0 + cell - gap] = [bg] * (cell - gap)
                img = render(size, state)
                for y, row in enumerate(img):
                    for x, (r, g, b, a) in enumerate(row):
                        c = tuple(bg[i] + ((r, g, b)[i] - bg[i]) * a for i in range(3))
                        for dy in range(zoom):
                            for dx in range(zoom):
                                px[y0 + y * zoom + dy][x0 + x * zoom + dx] = c
    with open(path, "wb") as f:
        f.write(png_image(px))


def main():
    os.makedirs(OUT, exist_ok=True)
    write_ico("app.ico", app_icon())
    write_ico("available.ico", receiver("ok"))
    write_ico("not_available.ico", receiver("missing"))
    write_ico("hardware_error.ico", hardware_error())
    write_ico("macro_red.ico", macro_button((215, 35, 35)))
    write_ico("macro_green.ico", macro_button((40, 165, 60)))
    write_ico("macro_yellow.ico", macro_button((235, 195, 20)))
    write_ico("macro_blue.ico", macro_button((40, 90, 210)))
    write_bmp("plugin_wait.bmp", plugin_wait_picture())
    write_bmp("about.bmp", about_picture())
    if "--preview" in sys.argv[1:]:
        tray_preview(sys.argv[sys.argv.index("--preview") + 1])


if __name__ == "__main__":
    main()
