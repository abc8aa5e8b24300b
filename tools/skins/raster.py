"""A very small anti-aliased rasteriser for the skin generator (standard library only).

Shapes are signed distance functions (negative inside, in pixels); a pixel's coverage is
taken from the distance at its centre, which gives clean one-pixel anti-aliasing. Colours
are (r, g, b) floats in 0..1; canvases keep an alpha channel for the textures that need one.
"""

import math
import struct


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def rgb(r, g, b):
    return (r / 255.0, g / 255.0, b / 255.0)


def lighten(c, t):
    return mix(c, (1.0, 1.0, 1.0), t)


def darken(c, t):
    return mix(c, (0.0, 0.0, 0.0), t)


def grey_out(c, toward=(0.80, 0.82, 0.86), t=0.75):
    """Desaturates a colour and pulls it toward a light grey: the disabled look."""
    lum = 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2]
    return mix((lum, lum, lum), toward, t)


def vgradient(stops):
    """Colour function of y over [(t, colour), ...] with t in 0..1 over the given height."""

    def at(t):
        if t <= stops[0][0]:
            return stops[0][1]
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t <= t1:
                return mix(c0, c1, (t - t0) / (t1 - t0) if t1 > t0 else 0.0)
        return stops[-1][1]

    return at


# ---- signed distance functions -------------------------------------------------------------


def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_ellipse(cx, cy, rx, ry):
    # Scaled-circle approximation; good enough for small soft shapes.
    k = min(rx, ry)
    return lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1.0) * k


def sd_round_box(cx, cy, hw, hh, r):
    def f(x, y):
        qx = abs(x - cx) - hw + r
        qy = abs(y - cy) - hh + r
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r

    return f


def sd_rect(x0, y0, x1, y1, r=0.0):
    return sd_round_box((x0 + x1) / 2.0, (y0 + y1) / 2.0, (x1 - x0) / 2.0, (y1 - y0) / 2.0, r)


def sd_segment(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy

    def f(x, y):
        t = 0.0 if ll == 0 else clamp(((x - ax) * dx + (y - ay) * dy) / ll)
        return math.hypot(x - ax - dx * t, y - ay - dy * t) - r

    return f


def sd_polygon(points):
    """Exact distance to a closed polygon, sign by even-odd rule."""
    n = len(points)

    def f(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            ll = ex * ex + ey * ey
            t = clamp((wx * ex + wy * ey) / ll) if ll else 0.0
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / (ey if ey else 1e-12):
                inside = not inside
        return -d if inside else d

    return f


def sd_polyline(points, r):
    """A stroke of radius r along an open polyline."""
    segs = list(zip(points, points[1:]))

    def f(x, y):
        best = float("inf")
        for (ax, ay), (bx, by) in segs:
            ex, ey = bx - ax, by - ay
            ll = ex * ex + ey * ey
            t = clamp(((x - ax) * ex + (y - ay) * ey) / ll) if ll else 0.0
            dd = math.hypot(x - ax - ex * t, y - ay - ey * t)
            if dd < best:
                best = dd
        return best - r

    return f


def sd_variable_stroke(points, radii):
    """A stroke along a polyline whose radius varies per point (calligraphic lines)."""
    segs = list(zip(points, points[1:], radii, radii[1:]))

    def f(x, y):
        best = float("inf")
        for (ax, ay), (bx, by), ra, rb in segs:
            ex, ey = bx - ax, by - ay
            ll = ex * ex + ey * ey
            t = clamp(((x - ax) * ex + (y - ay) * ey) / ll) if ll else 0.0
            dd = math.hypot(x - ax - ex * t, y - ay - ey * t) - (ra + (rb - ra) * t)
            if dd < best:
                best = dd
        return best

    return f


def sd_union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def sd_subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def sd_intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def sd_offset(f, d):
    return lambda x, y: f(x, y) - d


def sd_translate(f, dx, dy):
    return lambda x, y: f(x - dx, y - dy)


def bezier(p0, p1, p2, p3, steps=24):
    pts = []
    for i in range(steps + 1):
        t = i / steps
        u = 1 - t
        pts.append((u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] +
                    t * t * t * p3[0], u * u * u * p0[1] + 3 * u * u * t * p1[1] +
                    3 * u * t * t * p2[1] + t * t * t * p3[1]))
    return pts


# ---- canvas ----------------------------------------------------------------------------------


class Canvas:
    def __init__(self, w, h, colour=(0.0, 0.0, 0.0), alpha=1.0):
        self.w = w
        self.h = h
        self.px = [[list(colour) for _ in range(w)] for _ in range(h)]
        self.a = [[alpha] * w for _ in range(h)]

    def fill(self, colour_fn):
        """Paints every pixel with colour_fn(x, y) (pixel centres)."""
        for y in range(self.h):
            for x in range(self.w):
                self.px[y][x] = list(colour_fn(x + 0.5, y + 0.5))

    def vfill(self, grad):
        for y in range(self.h):
            c = grad((y + 0.5) / self.h)
            for x in range(self.w):
                self.px[y][x] = list(c)

    def shape(self, sdf, colour, opacity=1.0, soft=0.0, bbox=None):
        """Blends a colour (or colour_fn(x, y)) where sdf < 0, anti-aliased.

        soft > 0 widens the edge into a glow of that many pixels outside the shape.
        """
        x0, y0, x1, y1 = bbox if bbox else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        fn = colour if callable(colour) else None
        for y in range(y0, y1):
            row = self.px[y]
            arow = self.a[y]
            for x in range(x0, x1):
                d = sdf(x + 0.5, y + 0.5)
                if soft > 0:
                    cov = clamp(1.0 - d / soft) if d > 0 else 1.0
                    cov = cov * cov
                else:
                    cov = clamp(0.5 - d)
                if cov <= 0:
                    continue
                t = cov * opacity
                c = fn(x + 0.5, y + 0.5) if fn else colour
                p = row[x]
                p[0] += (c[0] - p[0]) * t
                p[1] += (c[1] - p[1]) * t
                p[2] += (c[2] - p[2]) * t
                arow[x] = arow[x] + (1.0 - arow[x]) * t

    def coverage(self, sdf, soft=0.0):
        """Sets the alpha channel to the shape's coverage (for alpha textures)."""
        for y in range(self.h):
            for x in range(self.w):
                d = sdf(x + 0.5, y + 0.5)
                if soft > 0:
                    cov = clamp(1.0 - d / soft) if d > 0 else 1.0
                else:
                    cov = clamp(0.5 - d)
                self.a[y][x] = cov

    def paste(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.px[oy + y][ox + x] = list(other.px[y][x])
                self.a[oy + y][ox + x] = other.a[y][x]

    # -- files ---------------------------------------------------------------------------------

    def _bgr_rows(self, bits):
        rows = []
        for y in range(self.h - 1, -1, -1):  # DIBs are stored bottom-up
            out = bytearray()
            for x in range(self.w):
                r, g, b = (int(round(clamp(v) * 255)) for v in self.px[y][x])
                out += bytes((b, g, r))
                if bits == 32:
                    out.append(int(round(clamp(self.a[y][x]) * 255)))
            while len(out) % 4:
                out.append(0)
            rows.append(bytes(out))
        return b"".join(rows)

    def bmp_bytes(self, bits=24):
        data = self._bgr_rows(bits)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, bits, 0, len(data), 2835,
                           2835, 0, 0)
        head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
        return head + info + data

    def ico_image(self):
        """The DIB of one icon image: 32-bit colour with alpha plus the 1-bit AND mask."""
        xor = self._bgr_rows(32)
        mask_stride = ((self.w + 31) // 32) * 4
        mask = bytearray()
        for y in range(self.h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(self.w):
                if self.a[y][x] < 0.5:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h * 2, 1, 32, 0,
                           len(xor) + len(mask), 0, 0, 0, 0)
        return info + xor + bytes(mask)


def ico_bytes(canvases):
    images = [c.ico_image() for c in canvases]
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for c, img in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    return head + entries + b"".join(images)
