#!/usr/bin/env python3
"""Draw the TarnApp logo and write it as PNG files.

The logo is a dark rounded square holding six pads in two rows of three, the
way the main window shows the presets; pad 3 is lit orange. Shapes are
described as signed distance functions and rendered with analytic edge
coverage, so every size is drawn from the same geometry rather than scaled
from one bitmap. Only the standard library is used (zlib and struct for PNG).

Run without arguments from anywhere to refresh the About logo in app/ (also
at double size, for dense screens) and the hicolor icons in data/. With
--size N --out FILE it writes one image.
"""

import argparse
import math
import os
import struct
import sys
import zlib

APP_ID = "io.github.tarnapp.TarnApp"
ICON_SIZES = (48, 64, 128, 256)
ABOUT_LOGO = os.path.join("app", "TarnApp_LogoAbout_128x128.png")
# Drawn at twice the size for screens with two device pixels per pixel.
ABOUT_LOGO_2X = os.path.join("app", "TarnApp_LogoAbout_128x128@2x.png")

# Geometry in unit coordinates (0..1 across the image); the hand-written SVG
# in data/ uses the same numbers times 128.
BODY = (0.0625, 0.0625, 0.9375, 0.9375)  # left, top, right, bottom
BODY_RADIUS = 0.1875
PAD_SIZE = 0.203125
PAD_GAP = 0.0625
PAD_RADIUS = 0.046875
PADS_TOP = 0.2734375
LIT_PAD = 2  # zero-based: the third pad, top right
GLOW_REACH = 0.09

BODY_TOP = (0x3A, 0x3A, 0x3A)
BODY_BOTTOM = (0x1C, 0x1C, 0x1C)
PAD_OFF = (0x5A, 0x5A, 0x5A)
PAD_LIT = (0xFF, 0x57, 0x0D)
GLOW_ALPHA = 0.45


def pad_rects():
    """The six pads as (left, top, right, bottom), row by row."""
    row_width = 3 * PAD_SIZE + 2 * PAD_GAP
    left0 = 0.5 - row_width / 2
    rects = []
    for row in range(2):
        for col in range(3):
            left = left0 + col * (PAD_SIZE + PAD_GAP)
            top = PADS_TOP + row * (PAD_SIZE + PAD_GAP)
            rects.append((left, top, left + PAD_SIZE, top + PAD_SIZE))
    return rects


def rounded_rect_distance(x, y, rect, radius):
    """Signed distance from (x, y) to a rounded rectangle; negative inside."""
    left, top, right, bottom = rect
    cx, cy = (left + right) / 2, (top + bottom) / 2
    qx = abs(x - cx) - ((right - left) / 2 - radius)
    qy = abs(y - cy) - ((bottom - top) / 2 - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def coverage(distance, size):
    """Fraction of a pixel covered, from the distance at its centre."""
    return min(max(0.5 - distance * size, 0.0), 1.0)


def over(dst, colour, alpha):
    """Composite a straight-alpha colour over dst (r, g, b, a floats)."""
    if alpha <= 0.0:
        return dst
    r, g, b, a = dst
    out_a = alpha + a * (1.0 - alpha)
    keep = a * (1.0 - alpha)
    return (
        (colour[0] * alpha + r * keep) / out_a,
        (colour[1] * alpha + g * keep) / out_a,
        (colour[2] * alpha + b * keep) / out_a,
        out_a,
    )


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def render(size):
    """Return the logo as rows of RGBA bytes, size x size."""
    pads = pad_rects()
    lit = pads[LIT_PAD]
    rows = []
    for j in range(size):
        y = (j + 0.5) / size
        shade = min(max((y - BODY[1]) / (BODY[3] - BODY[1]), 0.0), 1.0)
        body_colour = mix(BODY_TOP, BODY_BOTTOM, shade)
        row = bytearray()
        for i in range(size):
            x = (i + 0.5) / size
            px = (0.0, 0.0, 0.0, 0.0)
            body_cov = coverage(rounded_rect_distance(x, y, BODY, BODY_RADIUS), size)
            px = over(px, body_colour, body_cov)
            # A soft halo around the lit pad, kept inside the body.
            d = rounded_rect_distance(x, y, lit, PAD_RADIUS)
            if 0.0 < d < GLOW_REACH:
                fall = 1.0 - d / GLOW_REACH
                px = over(px, PAD_LIT, GLOW_ALPHA * fall * fall * body_cov)
            for index, rect in enumerate(pads):
                cov = coverage(rounded_rect_distance(x, y, rect, PAD_RADIUS), size)
                if cov > 0.0:
                    px = over(px, PAD_LIT if index == LIT_PAD else PAD_OFF, cov)
            r, g, b, a = px
            row += bytes(
                (round(r), round(g), round(b), round(a * 255.0)) if a > 0.0 else (0, 0, 0, 0)
            )
        rows.append(bytes(row))
    return rows


def png_bytes(rows, size):
    """Encode RGBA rows as a PNG file (no filter, no ancillary chunks)."""

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    raw = b"".join(b"\x00" + row for row in rows)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(raw, 9))
        + chunk(b"IEND", b"")
    )


def write_png(path, size):
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png_bytes(render(size), size))
    print(path)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--size", type=int, help="edge length in pixels of a single image")
    parser.add_argument("--out", help="file to write the single image to")
    args = parser.parse_args(argv)
    if (args.size is None) != (args.out is None):
        parser.error("--size and --out go together")
    if args.size is not None:
        if args.size < 8:
            parser.error("--size must be at least 8")
        write_png(args.out, args.size)
        return 0

    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    write_png(os.path.join(root, ABOUT_LOGO), 128)
    write_png(os.path.join(root, ABOUT_LOGO_2X), 256)
    for size in ICON_SIZES:
        name = "%dx%d" % (size, size)
        path = os.path.join(root, "data", "icons", "hicolor", name, "apps", APP_ID + ".png")
        write_png(path, size)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
