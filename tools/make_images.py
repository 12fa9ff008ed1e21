#!/usr/bin/env python3
"""Draws the images of the web control panel and writes them into webroot/.

    tools/make_images.py [output folder]      (default: webroot/ of this tree)

The pictures are drawn from simple shapes (rounded boxes, discs, strokes,
polygons) at four times their size and averaged down, so edges come out
smooth. The GIF and JPEG encoders (image_encoders.py) are our own: the build never
runs this script, and a developer needs nothing but Python 3 to redraw an icon.
The output is byte for byte the same on every run, so the committed files only
change when a drawing does.
"""

import math
import os
import sys

from image_encoders import gif_bytes, ico_bytes, jpeg_bytes

SCALE = 4  # samples per pixel along each axis

# ---------------------------------------------------------------- drawing


def hex_colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


class Canvas:
    """Straight-alpha RGBA samples at SCALE times the picture's size."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.sw, self.sh = width * SCALE, height * SCALE
        self.rgba = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.sw * self.sh)]

    def fill(self, inside, colour, alpha=1.0, box=None):
        """Paints `colour` over every sample whose centre `inside(x, y)`
        accepts; x and y are in picture pixels. `box` limits the scan."""
        r, g, b = hex_colour(colour) if isinstance(colour, str) else colour
        x0, y0, x1, y1 = box if box else (0, 0, self.width, self.height)
        sx0, sy0 = max(0, int(x0 * SCALE) - 1), max(0, int(y0 * SCALE) - 1)
        sx1, sy1 = min(self.sw, int(x1 * SCALE) + 2), min(self.sh, int(y1 * SCALE) + 2)
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / SCALE
            row = sy * self.sw
            for sx in range(sx0, sx1):
                x = (sx + 0.5) / SCALE
                if not inside(x, y):
                    continue
                p = self.rgba[row + sx]
                a = alpha + p[3] * (1 - alpha)
                if a <= 0:
                    continue
                p[0] = (r * alpha + p[0] * p[3] * (1 - alpha)) / a
                p[1] = (g * alpha + p[1] * p[3] * (1 - alpha)) / a
                p[2] = (b * alpha + p[2] * p[3] * (1 - alpha)) / a
                p[3] = a

    def pixels(self):
        """Averages the samples down: rows of (r, g, b, a) floats 0..1."""
        out = []
        n = SCALE * SCALE
        for y in range(self.height):
            row = []
            for x in range(self.width):
                acc = [0.0, 0.0, 0.0, 0.0]
                for dy in range(SCALE):
                    base = (y * SCALE + dy) * self.sw + x * SCALE
                    for dx in range(SCALE):
                        p = self.rgba[base + dx]
                        acc[0] += p[0] * p[3]
                        acc[1] += p[1] * p[3]
                        acc[2] += p[2] * p[3]
                        acc[3] += p[3]
                a = acc[3] / n
                if acc[3] > 0:
                    row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], a))
                else:
                    row.append((0.0, 0.0, 0.0, 0.0))
            out.append(row)
        return out


def rect(c, x0, y0, x1, y1, colour, radius=0.0, alpha=1.0):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        if radius <= 0:
            return True
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    c.fill(inside, colour, alpha, (x0, y0, x1, y1))


def framed(c, x0, y0, x1, y1, edge, face, radius=0.0, width=1.0):
    """A box with an outline: the edge colour, then the face inset by width."""
    rect(c, x0, y0, x1, y1, edge, radius)
    rect(c, x0 + width, y0 + width, x1 - width, y1 - width, face, max(0.0, radius - width))


def disc(c, cx, cy, radius, colour, alpha=1.0):
    c.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius, colour, alpha,
           (cx - radius, cy - radius, cx + radius, cy + radius))


def ring(c, cx, cy, outer, inner, colour):
    c.fill(lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer, colour, 1.0,
           (cx - outer, cy - outer, cx + outer, cy + outer))


def line(c, x0, y0, x1, y1, width, colour, alpha=1.0):
    """A stroke with round ends."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9
    half = width / 2.0

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= half * half
    c.fill(inside, colour, alpha,
           (min(x0, x1) - half, min(y0, y1) - half, max(x0, x1) + half, max(y0, y1) + half))


def polygon(c, points, colour, alpha=1.0):
    """Even-odd fill of a closed polygon."""
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    c.fill(inside, colour, alpha, (min(xs), min(ys), max(xs), max(ys)))


def wedge(c, cx, cy, radius, start_deg, end_deg, colour):
    """A pie slice, angles clockwise from twelve o'clock."""
    def inside(x, y):
        if (x - cx) ** 2 + (y - cy) ** 2 > radius * radius:
            return False
        angle = math.degrees(math.atan2(x - cx, cy - y)) % 360
        return start_deg <= angle <= end_deg
    c.fill(inside, colour, 1.0, (cx - radius, cy - radius, cx + radius, cy + radius))


# ---------------------------------------------------------------- icons (16 x 16)

INK = "#24415f"       # outlines
BLUE = "#2f6db5"
LIGHT_BLUE = "#cfe0f5"
PAPER = "#ffffff"
GREY = "#8a96a3"
LIGHT_GREY = "#dfe4ea"


def icon_print(c):
    framed(c, 4, 1, 12, 7, GREY, PAPER, 0.5)                 # sheet waiting at the top
    framed(c, 1, 5.5, 15, 12.5, INK, "#5a7491", 1.5)          # printer body
    rect(c, 2, 6.5, 14, 8, "#7f97b2", 0.5)                    # highlight along the top
    disc(c, 12.6, 9.5, 0.9, "#4cc35a")                        # power light
    framed(c, 4, 9.5, 12, 15, GREY, PAPER, 0.5)               # printed sheet
    for y in (11.3, 13.1):
        line(c, 5.6, y, 10.4, y, 0.8, "#9aa7b5")


def icon_save(c):
    framed(c, 1, 1, 15, 15, INK, BLUE, 1.5)                   # disk
    rect(c, 4, 1.5, 11.5, 6, LIGHT_GREY, 0.3)                 # metal shutter
    rect(c, 8.7, 2.3, 10.3, 5.2, "#56616d", 0.3)              # shutter slot
    framed(c, 3, 8.5, 13, 15, "#1c3f68", PAPER, 0.6, 0.8)     # label
    for y in (10.6, 12.6):
        line(c, 4.8, y, 11.2, y, 0.8, "#a7b6c7")


def icon_cal(c):
    framed(c, 1, 2, 15, 15, INK, PAPER, 1.2)
    rect(c, 1, 2, 15, 6, "#c8372d", 1.2)                      # month band
    rect(c, 1, 4.5, 15, 6, "#c8372d")
    for x in (4.5, 11.5):                                     # binder rings
        line(c, x, 0.8, x, 3.6, 1.4, "#56616d")
    for row in range(3):
        for col in range(4):
            x, y = 3.6 + col * 2.9, 8.2 + row * 2.3
            colour = "#c8372d" if (row, col) == (1, 2) else "#7c8a99"
            rect(c, x - 0.8, y - 0.7, x + 0.8, y + 0.7, colour)


def icon_trash(c):
    rect(c, 6, 0.8, 10, 2.8, GREY, 0.6)                       # handle
    rect(c, 6.9, 1.6, 9.1, 2.8, PAPER)
    rect(c, 1.5, 2.5, 14.5, 4.5, "#56616d", 0.8)              # lid
    polygon(c, [(2.8, 4.5), (13.2, 4.5), (12.2, 15.2), (3.8, 15.2)], "#56616d")
    polygon(c, [(3.9, 5.3), (12.1, 5.3), (11.3, 14.4), (4.7, 14.4)], "#aab5c1")
    for x in (5.9, 8.0, 10.1):
        line(c, x, 6.6, x + (x - 8.0) * 0.08, 13.0, 1.0, "#6d7985")


def icon_edit(c):
    # A pencil lying from the lower left to the upper right.
    line(c, 4.2, 11.8, 12.0, 4.0, 4.4, "#8a5a12")             # dark edge
    line(c, 4.2, 11.8, 12.0, 4.0, 3.0, "#f2b731")             # yellow body
    line(c, 11.3, 4.7, 13.4, 2.6, 4.4, "#b04a5a")             # eraser
    line(c, 11.3, 4.7, 13.4, 2.6, 3.0, "#f08a9a")
    line(c, 10.4, 5.6, 11.3, 4.7, 4.2, "#9aa7b5")             # metal band
    polygon(c, [(1.0, 15.0), (2.2, 10.6), (5.4, 13.8)], "#f1d3a4")  # sharpened wood
    polygon(c, [(1.0, 15.0), (1.6, 12.8), (3.2, 14.4)], "#2b2b2b")  # lead


def icon_screens(c):
    framed(c, 0.8, 1.5, 15.2, 12, "#2b3440", "#2b3440", 1.2)  # monitor
    rect(c, 2, 2.7, 14, 10.8, "#3f86d1")                      # screen
    polygon(c, [(2, 10.8), (14, 4.0), (14, 10.8)], "#6aa6e3")  # light across the screen
    rect(c, 3, 3.7, 8.5, 7.2, PAPER, 0.3, alpha=0.9)          # a window on it
    rect(c, 3, 3.7, 8.5, 4.7, "#1f4f86", 0.3)
    polygon(c, [(6.5, 12), (9.5, 12), (10.3, 14.2), (5.7, 14.2)], "#56616d")  # stand
    rect(c, 4, 14, 12, 15.2, "#2b3440", 0.6)


def icon_appusage(c):
    disc(c, 8, 8, 7.2, INK)
    disc(c, 8, 8, 6.4, "#3f86d1")
    wedge(c, 8, 8, 6.4, 0, 125, "#f2b731")                    # the largest share
    wedge(c, 8, 8, 6.4, 125, 190, "#4cc35a")
    line(c, 8, 8, 8, 1.6, 0.7, PAPER)
    line(c, 8, 8, 8 + 6.4 * math.sin(math.radians(125)), 8 - 6.4 * math.cos(math.radians(125)), 0.7, PAPER)
    line(c, 8, 8, 8 + 6.4 * math.sin(math.radians(190)), 8 - 6.4 * math.cos(math.radians(190)), 0.7, PAPER)


def icon_activity(c):
    framed(c, 1, 1, 15, 15, INK, PAPER, 1.0)
    for y in (4.5, 8, 11.5):                                  # faint grid
        line(c, 2.5, y, 13.5, y, 0.5, LIGHT_GREY)
    trace = [(2.2, 9.5), (4.6, 9.5), (6.0, 4.0), (8.0, 13.0), (9.6, 6.5), (10.8, 9.5), (13.8, 9.5)]
    for (x0, y0), (x1, y1) in zip(trace, trace[1:]):
        line(c, x0, y0, x1, y1, 1.4, "#d2452f")


def icon_hours(c):
    disc(c, 8, 8, 7.4, INK)
    disc(c, 8, 8, 6.3, PAPER)
    for hour in range(12):
        a = math.radians(hour * 30)
        r0 = 4.6 if hour % 3 else 4.0
        line(c, 8 + r0 * math.sin(a), 8 - r0 * math.cos(a), 8 + 5.4 * math.sin(a), 8 - 5.4 * math.cos(a),
             0.7 if hour % 3 else 1.0, "#7c8a99" if hour % 3 else INK)
    line(c, 8, 8, 8, 3.6, 1.3, INK)                           # minute hand at twelve
    line(c, 8, 8, 11.0, 9.8, 1.5, BLUE)                       # hour hand near four
    disc(c, 8, 8, 1.0, "#d2452f")


def icon_holidays(c):
    # A beach umbrella over the sand: leave and holidays.
    rect(c, 0.5, 13, 15.5, 15.5, "#e8c77a", 1.0)
    line(c, 8.6, 6.0, 6.8, 14.0, 1.0, "#6b4a22")              # pole
    polygon(c, [(1.5, 7.2), (3.5, 3.3), (8.0, 1.3), (12.6, 2.6), (15.0, 6.4),
                (12.3, 5.6), (10.3, 6.4), (8.2, 5.4), (5.9, 6.5), (3.8, 5.8)], "#d2452f")
    polygon(c, [(5.9, 6.5), (6.6, 2.0), (8.0, 1.3), (9.6, 1.6), (10.3, 6.4), (8.2, 5.4)], "#fbeee6")
    disc(c, 13.5, 10.4, 1.3, "#f2b731")                       # a ball on the sand


def icon_viewmanual(c):
    framed(c, 1.5, 1, 12.5, 15, INK, PAPER, 0.6)              # sheet
    for i, y in enumerate((4, 6.5, 9, 11.5)):
        line(c, 3.6, y, 10.4 - (i % 2) * 2.0, y, 0.8, "#9aa7b5")
    # A pencil writing the last line.
    line(c, 8.2, 14.3, 14.4, 8.1, 2.6, "#8a5a12")
    line(c, 8.2, 14.3, 14.4, 8.1, 1.6, "#f2b731")
    polygon(c, [(6.6, 15.6), (7.4, 13.2), (9.2, 15.0)], "#2b2b2b")


def favicon(c, size):
    # The hours clock on the title bands' blue: it tells the panel's tab
    # apart at 16 pixels.
    k = size / 16.0
    rect(c, 0, 0, size, size, BLUE, 3.0 * k)
    disc(c, 8 * k, 8 * k, 6.0 * k, PAPER)
    line(c, 8 * k, 8 * k, 8 * k, 3.8 * k, 1.4 * k, INK)          # minute hand at twelve
    line(c, 8 * k, 8 * k, 11.0 * k, 9.8 * k, 1.6 * k, INK)       # hour hand near four
    disc(c, 8 * k, 8 * k, 1.0 * k, "#d2452f")


def corner(c, colour, right):
    """A quarter disc that rounds the top corner of a tab or a title band."""
    cx = 0.0 if right else c.width
    disc(c, cx, c.height, c.width, colour)


# ---------------------------------------------------------------- banner of the main page


def banner(width, height):
    """Deep blue to light blue from the left, with soft bands and rings: a
    quiet picture that leaves the page's own text the first thing one reads."""
    top = hex_colour("#0f3460")
    bottom = hex_colour("#2f6db5")
    light = hex_colour("#9cc3ea")
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            u, v = x / (width - 1), y / (height - 1)
            t = min(1.0, 0.65 * u + 0.35 * v)
            col = [top[i] + (bottom[i] - top[i]) * t for i in range(3)]
            # Three translucent bands, like contour lines across the picture.
            for k, (amp, phase, level, strength) in enumerate(((0.16, 0.0, 0.62, 0.22), (0.12, 1.7, 0.74, 0.16),
                                                               (0.10, 3.1, 0.86, 0.12))):
                wave = level + amp * math.sin(2 * math.pi * (u * (1.1 + 0.3 * k)) + phase)
                d = v - wave
                if d > 0:
                    mix = strength * math.exp(-d * 5.0)
                    col = [col[i] + (light[i] - col[i]) * mix for i in range(3)]
                col = [c_ + 0.35 * math.exp(-((d / 0.012) ** 2)) * (1 - c_) for c_ in col]
            # Rings on the right: the clock faces of the working day.
            for cx, cy, r, s in ((0.84, 0.38, 0.62, 0.10), (0.93, 0.72, 0.30, 0.08), (0.70, 0.15, 0.18, 0.06)):
                dist = math.hypot((u - cx) * width / height, v - cy)
                edge = abs(dist - r)
                if edge < 0.05:
                    col = [col[i] + (1 - col[i]) * s * (1 - edge / 0.05) for i in range(3)]
            # Fade into the page's white on the far right edge.
            if u > 0.96:
                f = (u - 0.96) / 0.04
                col = [col[i] + (1 - col[i]) * f * f * 0.15 for i in range(3)]
            row.append(tuple(max(0.0, min(1.0, ch)) for ch in col))
        rows.append(row)
    return rows


# ---------------------------------------------------------------- main

ICONS = {
    "print.gif": icon_print, "save.gif": icon_save, "cal.gif": icon_cal, "trash.gif": icon_trash,
    "edit.gif": icon_edit, "screens.gif": icon_screens, "appusage.gif": icon_appusage,
    "activity.gif": icon_activity, "hours.gif": icon_hours, "holidays.gif": icon_holidays,
    "viewmanual.gif": icon_viewmanual,
}
# Corners of the blue title bands and of the grey page frame; 8 pixels round
# a box without stealing room from its text.
CORNERS = {
    "bluecorner-left.gif": ("#2f6db5", False), "bluecorner-right.gif": ("#2f6db5", True),
    "greycorner-left.gif": ("#d8dde3", False), "greycorner-right.gif": ("#d8dde3", True),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "webroot")
    os.makedirs(folder, exist_ok=True)
    written = {}
    for name, draw in ICONS.items():
        canvas = Canvas(16, 16)
        draw(canvas)
        written[name] = gif_bytes(canvas.pixels())
    for name, (colour, right) in CORNERS.items():
        canvas = Canvas(8, 8)
        corner(canvas, colour, right)
        written[name] = gif_bytes(canvas.pixels())
    written["main.jpg"] = jpeg_bytes(banner(560, 120), 88)
    icons = []
    for size in (16, 32):
        canvas = Canvas(size, size)
        favicon(canvas, size)
        icons.append(canvas.pixels())
    written["favicon.ico"] = ico_bytes(icons)
    for name, data in sorted(written.items()):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        print("%-22s %6d bytes" % (name, len(data)))


if __name__ == "__main__":
    main()
