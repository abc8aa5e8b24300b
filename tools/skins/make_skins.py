#!/usr/bin/env python3
"""Draws every skin bitmap, texture and the icon of Melvora and writes resources/bitmaps.rc.

    python3 tools/skins/make_skins.py [output_folder]

The output folder defaults to resources/ of this source tree; bitmaps go to its bitmaps/
subfolder. The pictures are drawn from code (standard library only) so that the look can be
changed in one place and rebuilt byte for byte.

Look: a light, glossy audio deck on the dialogs' background RGB(204, 224, 247). Normal
buttons are white-to-blue pills with navy symbols; hover brightens and rings the button in
light blue; pressed is concave and moves the symbol one pixel down and right; disabled is flat
grey; the latched ("C") deck variants are lit: a deep blue, pressed-in face with a glowing
symbol. For the title boxes the "C" variants are the inactive-window look.
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from raster import (Canvas, bezier, clamp, darken, grey_out, ico_bytes, lighten, mix, rgb,  # noqa: E402
                    sd_circle, sd_ellipse, sd_intersect, sd_offset, sd_polygon, sd_polyline,
                    sd_rect, sd_round_box, sd_segment, sd_subtract, sd_translate, sd_union,
                    sd_variable_stroke, vgradient)

BG = rgb(204, 224, 247)
NAVY = rgb(1, 19, 98)
INK = rgb(26, 54, 122)
WHITE = (1.0, 1.0, 1.0)

# Deck and text buttons.
DECK_W, DECK_H = 40, 30
TITLE_H = 29
BOX_W = 18
EMPTY_W, EMPTY_H = 75, 23
SMALL_W, SMALL_H = 44, 20
MENU_W, MENU_H = 30, 18
SWITCH_W, SWITCH_H = 80, 18

FACE = {
    "U": (vgradient([(0.0, rgb(255, 255, 255)), (0.45, rgb(238, 245, 253)),
                     (1.0, rgb(198, 216, 242))]), rgb(78, 106, 160)),
    "H": (vgradient([(0.0, rgb(255, 255, 255)), (0.45, rgb(246, 251, 255)),
                     (1.0, rgb(214, 234, 255))]), rgb(44, 128, 232)),
    "D": (vgradient([(0.0, rgb(170, 194, 228)), (0.55, rgb(200, 218, 243)),
                     (1.0, rgb(224, 236, 251))]), rgb(40, 66, 124)),
    "X": (vgradient([(0.0, rgb(234, 238, 244)), (1.0, rgb(214, 221, 231))]), rgb(166, 177, 195)),
    "CU": (vgradient([(0.0, rgb(22, 48, 112)), (0.6, rgb(38, 80, 160)),
                      (1.0, rgb(56, 108, 200))]), rgb(6, 24, 90)),
    "CH": (vgradient([(0.0, rgb(32, 66, 140)), (0.6, rgb(52, 104, 196)),
                      (1.0, rgb(78, 138, 232))]), rgb(30, 110, 230)),
    "CD": (vgradient([(0.0, rgb(12, 30, 80)), (0.6, rgb(26, 58, 126)),
                      (1.0, rgb(40, 84, 164))]), rgb(2, 14, 70)),
}

# The glow colour of each deck symbol while latched.
LIT = {
    "RECORD": rgb(255, 72, 64),
    "PLAY": rgb(104, 240, 124),
    "PAUSE": rgb(255, 204, 72),
    "STOP": rgb(176, 226, 255),
    "REWIND": rgb(176, 226, 255),
    "EJECT": rgb(176, 226, 255),
}
RECORD_RED = rgb(214, 34, 44)


def button_body(w, h, radius):
    return sd_round_box(w / 2.0, h / 2.0, w / 2.0 - 1.0, h / 2.0 - 1.0, radius)


def draw_button_base(c, variant, radius):
    """The pill of a deck or text button in one of its looks, without the symbol."""
    w, h = c.w, c.h
    body = button_body(w, h, radius)
    inner = sd_offset(body, -1.0)
    grad, border = FACE[variant]
    if variant in ("U", "D", "CU", "CD", "X"):
        c.shape(sd_translate(body, 0, 0.8), darken(BG, 0.3), 0.45 if variant != "X" else 0.2,
                soft=1.4)
    if variant in ("H", "CH"):
        c.shape(body, rgb(150, 205, 255), 0.95, soft=1.6)
    c.shape(body, border)
    c.shape(inner, lambda x, y: grad(clamp((y - 1.0) / (h - 2.0))))
    if variant in ("U", "H", "CU", "CH"):
        gloss = sd_intersect(sd_offset(body, -1.6),
                             sd_ellipse(w / 2.0, h * 0.05, w * 0.62, h * 0.5))
        c.shape(gloss, WHITE, 0.55 if variant in ("U", "H") else 0.22)
    if variant in ("D", "CD"):
        # Inner shadow along the top edge: the face is pushed in.
        rim = sd_subtract(inner, sd_translate(inner, 0.4, 2.2))
        c.shape(rim, darken(border, 0.2), 0.35)
    if variant == "H":
        ring = sd_subtract(inner, sd_offset(inner, -1.2))
        c.shape(ring, rgb(170, 222, 255), 0.8)
    if variant == "CH":
        ring = sd_subtract(inner, sd_offset(inner, -1.0))
        c.shape(ring, rgb(120, 190, 255), 0.7)


def deck_symbol(name, cx, cy):
    if name == "PLAY":
        return sd_offset(sd_polygon([(cx - 4.2, cy - 6.2), (cx + 6.8, cy), (cx - 4.2, cy + 6.2)]), 0.9)
    if name == "PAUSE":
        return sd_union(sd_round_box(cx - 3.6, cy, 2.1, 6.8, 1.0),
                        sd_round_box(cx + 3.6, cy, 2.1, 6.8, 1.0))
    if name == "STOP":
        return sd_round_box(cx, cy, 6.2, 6.2, 1.6)
    if name == "RECORD":
        return sd_circle(cx, cy, 6.8)
    if name == "REWIND":
        return sd_offset(sd_union(
            sd_polygon([(cx + 0.2, cy - 5.6), (cx + 0.2, cy + 5.6), (cx - 7.6, cy)]),
            sd_polygon([(cx + 7.9, cy - 5.6), (cx + 7.9, cy + 5.6), (cx + 0.1, cy)])), 0.8)
    if name == "EJECT":
        return sd_union(
            sd_offset(sd_polygon([(cx - 6.4, cy + 0.6), (cx + 6.4, cy + 0.6), (cx, cy - 6.6)]), 0.8),
            sd_round_box(cx, cy + 5.2, 7.0, 1.7, 0.8))
    raise ValueError(name)


def deck_button(name, variant):
    c = Canvas(DECK_W, DECK_H, BG)
    draw_button_base(c, variant, 8.0)
    shift = 1.0 if variant in ("D", "CD", "CU", "CH") else 0.0
    cx, cy = DECK_W / 2.0 + shift, DECK_H / 2.0 + shift
    if name in ("PLAY", "EJECT"):
        cx += 0.5 if name == "PLAY" else 0.0
    sym = deck_symbol(name, cx, cy)
    base = RECORD_RED if name == "RECORD" else INK
    if variant == "X":
        c.shape(sd_translate(sym, 0, 1), WHITE, 0.6)
        c.shape(sym, grey_out(base, t=0.72))
    elif variant in ("U", "H", "D"):
        colour = base
        if variant == "H":
            colour = rgb(236, 40, 48) if name == "RECORD" else rgb(24, 92, 214)
            c.shape(sym, rgb(255, 255, 255), 0.9, soft=3.0)
        c.shape(sd_translate(sym, 0, 1), WHITE, 0.8)  # engraved highlight below
        c.shape(sym, lambda x, y: mix(lighten(colour, 0.25), colour, clamp((y - cy + 7) / 10.0)))
        if name == "RECORD":
            c.shape(sd_circle(cx - 2.2, cy - 2.4, 2.2), WHITE, 0.55)
    else:
        lit = LIT[name]
        strength = {"CU": 0.75, "CH": 1.0, "CD": 0.55}[variant]
        c.shape(sym, lit, 0.8 * strength, soft=5.0)
        c.shape(sym, lambda x, y: mix(lighten(lit, 0.7), lit, clamp((y - cy + 6) / 9.0)))
        c.shape(sd_offset(sym, -2.2), WHITE, 0.35 * strength)
    return c


def text_button(w, h, radius, variant):
    c = Canvas(w, h, BG)
    draw_button_base(c, variant, radius)
    return c


# ---- title row -------------------------------------------------------------------------------

ACTIVE_TITLE = vgradient([(0.0, rgb(112, 164, 236)), (0.07, rgb(86, 140, 220)),
                          (0.5, rgb(44, 92, 178)), (0.93, rgb(24, 56, 130)),
                          (1.0, rgb(8, 28, 96))])
INACTIVE_TITLE = vgradient([(0.0, rgb(252, 253, 255)), (0.07, rgb(240, 245, 252)),
                            (0.5, rgb(224, 233, 247)), (0.93, rgb(204, 217, 238)),
                            (1.0, rgb(170, 188, 218))])


def title_background(w, active):
    c = Canvas(w, TITLE_H, BG)
    c.vfill(ACTIVE_TITLE if active else INACTIVE_TITLE)
    return c


def title_end(active):
    """Right end of the title bar: a rising pitch line and a note, fading in from the left."""
    w = 56
    c = title_background(w, active)
    ink = rgb(160, 205, 255) if active else rgb(150, 170, 206)
    pts = [(x, 17.0 - 5.0 * math.sin((x - 2) / 7.0) * (0.3 + 0.7 * x / w)) for x in
           [i * 0.5 for i in range(0, 2 * (w - 18))]]
    c.shape(sd_polyline(pts, 0.7), lambda x, y: ink, 1.0)
    # Fade the wave in: repaint the left part with the background, stronger at the far left.
    grad = ACTIVE_TITLE if active else INACTIVE_TITLE
    for y in range(TITLE_H):
        bgc = grad((y + 0.5) / TITLE_H)
        for x in range(w):
            t = clamp(1.0 - x / 26.0)
            p = c.px[y][x]
            c.px[y][x] = list(mix(p, bgc, t))
    nx, ny = w - 10.0, 19.0
    note = sd_union(sd_ellipse(nx, ny, 3.3, 2.4), sd_segment(nx + 2.8, ny - 0.5, nx + 2.8, ny - 11, 0.7),
                    sd_polyline(bezier((nx + 2.8, ny - 11), (nx + 4.5, ny - 8), (nx + 7.5, ny - 8),
                                       (nx + 6.5, ny - 3.5), 10), 0.8))
    c.shape(note, ink)
    return c


BOX_GLYPH = {
    "CLOSE": lambda cx, cy: sd_union(sd_segment(cx - 3.3, cy - 3.3, cx + 3.3, cy + 3.3, 1.15),
                                     sd_segment(cx - 3.3, cy + 3.3, cx + 3.3, cy - 3.3, 1.15)),
    "HELP": lambda cx, cy: sd_union(
        sd_polyline([(cx - 2.9 + 0.0, cy - 2.0)] + [
            (cx + 2.9 * math.cos(a), cy - 2.6 + 2.9 * math.sin(a)) for a in
            [math.pi * (1.0 + i / 12.0) for i in range(0, 19)]] + [(cx + 0.2, cy + 1.0), (cx, cy + 1.6)],
                    1.05),
        sd_circle(cx, cy + 4.3, 1.25)),
    "MINIMIZE": lambda cx, cy: sd_segment(cx - 3.6, cy + 3.2, cx + 3.6, cy + 3.2, 1.15),
    "MAXIMIZE": lambda cx, cy: sd_union(
        sd_subtract(sd_round_box(cx, cy, 4.3, 4.1, 0.8), sd_rect(cx - 2.9, cy - 1.6, cx + 2.9, cy + 2.9)),
        sd_rect(cx - 4.3, cy - 4.1, cx + 4.3, cy - 1.6, 0.6)),
}


def title_box(name, variant):
    active = not variant.startswith("C")
    c = title_background(BOX_W, active)
    cx, cy = BOX_W / 2.0, TITLE_H / 2.0
    box = sd_round_box(cx, cy, 7.4, 7.4, 3.4)
    pressed = variant.endswith("D")
    hover = variant.endswith("H")
    close = name == "CLOSE"
    if active:
        if close:
            top, bottom = {False: (rgb(232, 104, 88), rgb(178, 38, 30)),
                           True: (rgb(255, 140, 118), rgb(224, 58, 44))}[hover]
            if pressed:
                top, bottom = rgb(136, 24, 20), rgb(186, 46, 36)
            border = rgb(96, 14, 18)
        else:
            top, bottom = (rgb(120, 170, 240), rgb(60, 112, 204)) if hover else (
                rgb(96, 146, 222), rgb(40, 84, 170))
            if pressed:
                top, bottom = rgb(18, 40, 100), rgb(36, 76, 150)
            border = rgb(12, 34, 100)
        if hover:
            c.shape(box, WHITE, 0.85, soft=2.2)
        c.shape(box, border)
        c.shape(sd_offset(box, -1.0), lambda x, y: mix(top, bottom, clamp((y - cy + 7) / 14.0)))
        if not pressed:
            c.shape(sd_intersect(sd_offset(box, -1.6), sd_ellipse(cx, cy - 6.5, 8.5, 5.5)), WHITE, 0.35)
        glyph_colour = WHITE
    else:
        fill = {"CU": (rgb(246, 249, 254), rgb(222, 231, 246)), "CH": (WHITE, rgb(236, 244, 255)),
                "CD": (rgb(200, 213, 235), rgb(220, 230, 246))}[variant]
        border = {"CU": rgb(164, 181, 212), "CH": rgb(110, 154, 218), "CD": rgb(120, 140, 180)}[variant]
        if hover:
            c.shape(box, WHITE, 0.9, soft=2.0)
        c.shape(box, border)
        c.shape(sd_offset(box, -1.0), lambda x, y: mix(fill[0], fill[1], clamp((y - cy + 7) / 14.0)))
        glyph_colour = rgb(100, 120, 160)
        if hover:
            glyph_colour = rgb(204, 56, 44) if close else rgb(44, 96, 184)
    shift = 1.0 if pressed else 0.0
    glyph = BOX_GLYPH[name](cx + shift, cy + shift)
    if active:
        c.shape(sd_translate(glyph, 0, 0.8), darken(border, 0.3), 0.45)
    c.shape(glyph, glyph_colour)
    return c


# ---- menu buttons and the wide switch --------------------------------------------------------


def menu_button(variant):
    c = Canvas(MENU_W, MENU_H, BG)
    c.vfill(vgradient([(0.0, rgb(232, 241, 252)), (1.0, BG)]))
    body = sd_round_box(MENU_W / 2.0, MENU_H / 2.0, MENU_W / 2.0 - 1.0, MENU_H / 2.0 - 1.0, 3.5)
    if variant == "U":
        c.shape(sd_rect(MENU_W - 1.0, 3.0, MENU_W, MENU_H - 3.0), rgb(168, 194, 230))
        c.shape(sd_rect(MENU_W - 2.0, 3.0, MENU_W - 1.0, MENU_H - 3.0), WHITE, 0.7)
        return c
    top, bottom, border = {
        "H": (rgb(96, 156, 236), rgb(44, 98, 194), rgb(30, 70, 160)),
        "D": (rgb(18, 44, 112), rgb(40, 86, 172), NAVY),
        "CU": (rgb(30, 66, 146), rgb(48, 98, 188), rgb(10, 32, 110)),
    }[variant]
    if variant == "H":
        c.shape(body, rgb(150, 205, 255), 0.9, soft=1.5)
    c.shape(body, border)
    c.shape(sd_offset(body, -1.0), lambda x, y: mix(top, bottom, clamp((y - 1.0) / (MENU_H - 2.0))))
    if variant == "H":
        c.shape(sd_intersect(sd_offset(body, -1.5), sd_ellipse(MENU_W / 2.0, 0.0, MENU_W * 0.7, 8.0)),
                WHITE, 0.3)
    return c


SWITCH_FACE = {
    "U": (rgb(58, 104, 186), rgb(22, 52, 124), rgb(8, 28, 96)),
    "H": (rgb(84, 140, 226), rgb(36, 80, 170), rgb(40, 130, 240)),
    "D": (rgb(14, 36, 92), rgb(34, 72, 150), rgb(2, 16, 70)),
    "X": (rgb(176, 186, 204), rgb(150, 162, 184), rgb(138, 150, 172)),
    "CU": (rgb(22, 120, 96), rgb(34, 170, 128), rgb(6, 70, 56)),
    "CH": (rgb(32, 150, 120), rgb(56, 204, 156), rgb(20, 120, 240)),
    "CD": (rgb(10, 84, 66), rgb(24, 130, 100), rgb(4, 50, 40)),
}


def switch_button(variant):
    """Wide latching switch (play-along): dark face for light-yellow text, lit green when on."""
    c = Canvas(SWITCH_W, SWITCH_H, BG)
    body = sd_round_box(SWITCH_W / 2.0, SWITCH_H / 2.0, SWITCH_W / 2.0 - 1.0, SWITCH_H / 2.0 - 1.0, 6.5)
    top, bottom, border = SWITCH_FACE[variant]
    if variant in ("H", "CH"):
        c.shape(body, rgb(150, 205, 255), 0.9, soft=1.5)
    c.shape(body, border)
    pressed = variant in ("D", "CD", "CU")
    if pressed:
        c.shape(sd_offset(body, -1.0), lambda x, y: mix(top, bottom, clamp((y - 1.0) / (SWITCH_H - 2.0))))
    else:
        c.shape(sd_offset(body, -1.0), lambda x, y: mix(top, bottom, clamp((y - 1.0) / (SWITCH_H - 2.0))))
        c.shape(sd_intersect(sd_offset(body, -1.5), sd_ellipse(SWITCH_W / 2.0, 0.0, SWITCH_W * 0.7, 8.5)),
                WHITE, 0.28 if variant != "X" else 0.2)
    if variant.startswith("C"):
        c.shape(sd_offset(body, -1.0), rgb(140, 255, 200), 0.25, soft=3.0)
    return c


# ---- sliders ---------------------------------------------------------------------------------

TRACK_HALF = 3.5


def slider_channel(w, h, lit, vertical, meter=False):
    c = Canvas(w, h, BG)
    if vertical:
        track = sd_round_box(w / 2.0, h / 2.0, TRACK_HALF, h / 2.0 - 3.0, TRACK_HALF)
    else:
        track = sd_round_box(w / 2.0, h / 2.0, w / 2.0 - 3.0, TRACK_HALF, TRACK_HALF)
    # Tick marks beside the track, every tenth of its length.
    tick = rgb(150, 176, 216)
    for i in range(11):
        if vertical:
            y = 3.5 + (h - 7.0) * i / 10.0
            c.shape(sd_segment(2.0, y, 5.0, y, 0.5), tick)
            c.shape(sd_segment(w - 5.0, y, w - 2.0, y, 0.5), tick)
        else:
            x = 3.5 + (w - 7.0) * i / 10.0
            c.shape(sd_segment(x, h - 4.5, x, h - 2.0, 0.5), tick)
    c.shape(sd_translate(track, 0, 0.8), WHITE, 0.9)
    if lit:
        border = rgb(24, 72, 164)
        if meter:
            along = vgradient([(0.0, rgb(236, 70, 50)), (0.25, rgb(250, 196, 56)),
                               (0.55, rgb(120, 214, 90)), (1.0, rgb(40, 170, 90))])

            def fill(x, y):
                return along(clamp((y - 3.0) / (h - 6.0)))
        else:
            def fill(x, y):
                t = (x - w / 2.0 + TRACK_HALF) / (2 * TRACK_HALF) if vertical else (
                    y - h / 2.0 + TRACK_HALF) / (2 * TRACK_HALF)
                return mix(rgb(128, 196, 255), rgb(34, 104, 214), clamp(t))
    else:
        border = rgb(122, 148, 192)

        def fill(x, y):
            t = (x - w / 2.0 + TRACK_HALF) / (2 * TRACK_HALF) if vertical else (
                y - h / 2.0 + TRACK_HALF) / (2 * TRACK_HALF)
            return mix(rgb(168, 188, 220), rgb(232, 240, 251), clamp(t))
    c.shape(track, border)
    c.shape(sd_offset(track, -1.0), fill)
    if lit and not meter:
        if vertical:
            hl = sd_segment(w / 2.0 - 1.2, 4.5, w / 2.0 - 1.2, h - 4.5, 0.5)
        else:
            hl = sd_segment(4.5, h / 2.0 - 1.2, w - 4.5, h / 2.0 - 1.2, 0.5)
        c.shape(hl, WHITE, 0.45)
    return c


def thumb_strip(frame_w, frame_h, vertical):
    """Three frames (normal, hover, pressed) of a slider knob, along the strip's long side."""
    frames = 3
    c = Canvas(frame_w * (1 if vertical else frames), frame_h * (frames if vertical else 1), BG)
    for k in range(frames):
        f = Canvas(frame_w, frame_h, BG)
        cx, cy = frame_w / 2.0, frame_h / 2.0
        knob = sd_round_box(cx, cy, frame_w / 2.0 - 0.2, frame_h / 2.0 - 0.2, 4.0)
        face = [FACE["U"], FACE["H"], FACE["D"]][k]
        border = [rgb(52, 82, 142), rgb(36, 128, 236), rgb(30, 56, 112)][k]
        f.shape(knob, border)
        f.shape(sd_offset(knob, -1.0), lambda x, y: face[0](clamp((y - 1.0) / (frame_h - 2.0))))
        if k != 2:
            f.shape(sd_intersect(sd_offset(knob, -1.5), sd_ellipse(cx, 0.0, frame_w * 0.7, frame_h * 0.45)),
                    WHITE, 0.5)
        if k == 1:
            f.shape(sd_subtract(sd_offset(knob, -1.0), sd_offset(knob, -2.0)), rgb(170, 222, 255), 0.9)
        s = 1.0 if k == 2 else 0.0
        grip = rgb(98, 124, 176) if k != 1 else rgb(40, 110, 220)
        for d in (-1.5, 1.5):
            if vertical:
                line = sd_segment(cx - 4.5 + s, cy + d + s, cx + 4.5 + s, cy + d + s, 0.5)
                f.shape(sd_translate(line, 0, 1.0), WHITE, 0.7)
            else:
                line = sd_segment(cx + d + s, cy - 5.0 + s, cx + d + s, cy + 5.0 + s, 0.5)
                f.shape(sd_translate(line, 1.0, 0), WHITE, 0.7)
            f.shape(line, grip)
        c.paste(f, 0 if vertical else k * frame_w, k * frame_h if vertical else 0)
    return c


# ---- about picture and icon ------------------------------------------------------------------


def microphone(c, cx, cy, s, body_colour=rgb(236, 240, 248), stand=True):
    """A studio microphone centred on its head (cx, cy), scaled by s."""
    head = sd_round_box(cx, cy, 6.0 * s, 9.5 * s, 6.0 * s)
    c.shape(sd_translate(head, 1.2 * s, 1.5 * s), darken(BG, 0.5), 0.35, soft=2.0 * s)
    c.shape(head, rgb(60, 70, 96))
    c.shape(sd_offset(head, -1.0 * s),
            lambda x, y: mix(WHITE, rgb(150, 162, 186), clamp((x - cx + 6 * s) / (12 * s))))
    for i in range(-3, 4):
        c.shape(sd_intersect(sd_segment(cx - 6 * s, cy + i * 2.3 * s, cx + 6 * s, cy + i * 2.3 * s, 0.35 * s),
                             sd_offset(head, -1.5 * s)), rgb(110, 120, 146), 0.7)
    c.shape(sd_segment(cx - 4 * s, cy - 6 * s, cx - 3 * s, cy + 3 * s, 1.2 * s), WHITE, 0.6)
    if stand:
        yoke = [(cx - 9 * s + 18 * s * i / 20.0,
                 cy + 2 * s + 9 * s * math.sin(math.pi * i / 20.0)) for i in range(21)]
        c.shape(sd_polyline(yoke, 1.1 * s), rgb(70, 80, 104))
        c.shape(sd_segment(cx, cy + 11 * s, cx, cy + 18 * s, 1.3 * s), rgb(70, 80, 104))
        c.shape(sd_round_box(cx, cy + 19 * s, 7 * s, 1.5 * s, 1.5 * s), rgb(70, 80, 104))
    del body_colour


def eighth_note(c, x, y, s, colour, flag=True):
    head = sd_ellipse(x, y, 4.2 * s, 3.0 * s)
    c.shape(head, colour)
    c.shape(sd_segment(x + 3.6 * s, y - 0.5 * s, x + 3.6 * s, y - 16 * s, 0.8 * s), colour)
    if flag:
        c.shape(sd_polyline(bezier((x + 3.6 * s, y - 16 * s), (x + 5.5 * s, y - 12 * s),
                                   (x + 10 * s, y - 11 * s), (x + 8 * s, y - 5 * s), 12), 1.0 * s), colour)


def about_picture():
    w, h = 180, 120
    c = Canvas(w, h, BG)
    frame = sd_round_box(w / 2.0, h / 2.0, w / 2.0 - 0.5, h / 2.0 - 0.5, 10.0)
    sky = vgradient([(0.0, rgb(74, 130, 214)), (0.55, rgb(140, 186, 242)), (1.0, rgb(222, 236, 252))])
    c.shape(frame, NAVY)
    c.shape(sd_offset(frame, -1.5), lambda x, y: sky(y / h))
    for bx, by, br, a in [(30, 24, 14, 0.12), (150, 20, 20, 0.10), (120, 46, 9, 0.14), (70, 14, 7, 0.16),
                          (164, 70, 11, 0.10), (96, 30, 5, 0.2)]:
        c.shape(sd_circle(bx, by, br), WHITE, a, soft=3.0)
    # A staff that curves across the picture.
    for k in range(5):
        pts = [(x, 62 + k * 6 - 8 * math.sin(x / 40.0)) for x in range(4, w - 3, 2)]
        c.shape(sd_intersect(sd_polyline(pts, 0.55), sd_offset(frame, -2.0)), WHITE, 0.75)
    # The sung pitch, an orange line that rises and settles on a note.
    pitch = [(x, 86 - 22 * (1 - math.exp(-(x - 40) / 40.0)) + 3 * math.sin(x / 5.0) * math.exp(-(x - 40) / 30.0))
             for x in range(40, 170)]
    c.shape(sd_polyline(pitch, 4.0), rgb(255, 200, 120), 0.35, soft=2.0)
    c.shape(sd_polyline(pitch, 1.4), rgb(255, 140, 40))
    for x, y, col in [(78, 62, NAVY), (104, 56, NAVY), (132, 58, rgb(220, 40, 50)), (156, 50, NAVY)]:
        sy = y - 8 * math.sin(x / 40.0) + 6
        eighth_note(c, x, sy, 1.0, col, flag=(x != 104))
    microphone(c, 30, 56, 2.0)
    # Record light.
    c.shape(sd_circle(160, 102, 6.5), rgb(255, 80, 70), 0.7, soft=4.0)
    c.shape(sd_circle(160, 102, 5.0), rgb(220, 30, 40))
    c.shape(sd_circle(158.5, 100.5, 1.8), WHITE, 0.6)
    return c


def icon_image(size):
    c = Canvas(size, size, (0.0, 0.0, 0.0), alpha=0.0)
    s = size / 32.0
    tile = sd_round_box(size / 2.0, size / 2.0, size / 2.0 - 0.5, size / 2.0 - 0.5, 7.0 * s)
    c.shape(tile, rgb(10, 34, 110))
    c.shape(sd_offset(tile, -1.0), lambda x, y: mix(rgb(96, 164, 246), rgb(24, 70, 176), y / size))
    c.shape(sd_intersect(sd_offset(tile, -1.5), sd_ellipse(size / 2.0, 0, size * 0.7, size * 0.45)), WHITE, 0.3)
    cx, cy = 13.0 * s, 12.5 * s
    head = sd_round_box(cx, cy, 4.6 * s, 7.0 * s, 4.6 * s)
    c.shape(head, WHITE)
    if size >= 24:
        for i in (-1, 0, 1, 2):
            c.shape(sd_intersect(sd_segment(cx - 5 * s, cy + i * 2.6 * s, cx + 5 * s, cy + i * 2.6 * s, 0.5),
                                 sd_offset(head, -1.0)), rgb(150, 176, 220))
    yoke = [(cx - 7 * s + 14 * s * i / 16.0, cy + 2 * s + 7 * s * math.sin(math.pi * i / 16.0)) for i in range(17)]
    c.shape(sd_polyline(yoke, 1.1 * s), WHITE)
    c.shape(sd_segment(cx, cy + 9 * s, cx, cy + 14 * s, 1.1 * s), WHITE)
    c.shape(sd_segment(cx - 4.5 * s, cy + 15 * s, cx + 4.5 * s, cy + 15 * s, 1.1 * s), WHITE)
    # Sound waves leaving the microphone, in warm orange (one is enough at 16 pixels).
    for r in ((8.5, 12.5) if size >= 24 else (11.0,)):
        arc = [(cx + r * s * math.cos(a), cy + r * s * math.sin(a)) for a in
               [-0.75 + 1.5 * i / 12.0 for i in range(13)]]
        c.shape(sd_polyline(arc, (1.3 if size >= 24 else 1.0) * s), rgb(255, 176, 64))
    return c


# ---- textures --------------------------------------------------------------------------------


def star_texture():
    """256 x 256 sprite of the two star styles: white, its shape in the alpha channel."""
    n = 256
    c = Canvas(n, n, WHITE, alpha=0.0)
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        r = 112.0 if i % 2 == 0 else 46.0
        pts.append((n / 2.0 + r * math.cos(a), n / 2.0 + 6 + r * math.sin(a)))
    star = sd_offset(sd_polygon(pts), 2.0)
    for y in range(n):
        for x in range(n):
            d = star(x + 0.5, y + 0.5)
            core = clamp(0.5 - d)
            glow = clamp(1.0 - d / 14.0) ** 2 * 0.45 if d > 0 else 1.0
            c.a[y][x] = max(core, glow)
            # Slightly brighter centre; the view tints the sprite.
            r = math.hypot(x - n / 2.0, y - n / 2.0 - 6) / 112.0
            v = 1.0 - 0.18 * clamp(r)
            c.px[y][x] = [v, v, v]
    return c


def alpha_texture(w, h, sdf, halo=0.0, scale=1.0):
    """Black shape in the alpha channel (luminance 0 lets the view's colour through)."""
    c = Canvas(w, h, (0.0, 0.0, 0.0), alpha=0.0)
    for y in range(h):
        for x in range(w):
            d = sdf(x + 0.5, y + 0.5) * scale
            if halo > 0:
                c.a[y][x] = 1.0 if d <= 0 else clamp(1.0 - d / halo) ** 1.5
            else:
                c.a[y][x] = clamp(0.5 - d)
    return c


def clef_sdf():
    """Treble clef in a 64 x 256 texture that the staff shows about 41 x 117 pixels large.

    Drawn in display pixels (x 0..41, y 0..117 from the top) and scaled into the texture;
    the staff lines of the view fall at y 26.4, 41.3, 56.0, 70.8 and 85.6 and the spiral
    closes around the second line from the bottom, the G line.
    """
    sx, sy = 64.0 / 41.0, 256.0 / 117.0
    segs = [
        ((21.0, 72.0), (29.0, 74.0), (30.5, 62.0), (21.5, 60.0)),   # inner spiral
        ((21.5, 60.0), (12.0, 59.0), (9.5, 73.0), (19.0, 80.0)),
        ((19.0, 80.0), (29.0, 86.0), (37.0, 74.0), (33.0, 63.0)),   # outer spiral
        ((33.0, 63.0), (28.0, 47.0), (14.0, 44.0), (15.0, 33.0)),   # rising to the top loop
        ((15.0, 33.0), (16.0, 20.0), (26.0, 10.0), (26.0, 5.0)),
        ((26.0, 5.0), (26.0, -1.0), (18.0, 3.0), (18.5, 16.0)),     # top loop, down the stem
        ((18.5, 16.0), (19.5, 40.0), (23.5, 80.0), (23.0, 100.0)),
        ((23.0, 100.0), (22.5, 110.0), (13.0, 111.0), (12.5, 104.0)),  # bottom hook
    ]
    widths = [(1.6, 2.0), (2.0, 3.5), (3.5, 2.3), (2.3, 3.2), (3.2, 1.4), (1.4, 1.3), (1.3, 1.8), (1.8, 1.5)]
    pts, radii = [], []
    for (p0, p1, p2, p3), (w0, w1) in zip(segs, widths):
        curve = bezier(p0, p1, p2, p3, 20)
        for i, p in enumerate(curve if not pts else curve[1:]):
            k = i if not pts else i + 1
            pts.append((p[0] * sx, p[1] * sy))
            radii.append((w0 + (w1 - w0) * k / 20.0) * (sx + sy) / 2.0)
    stroke = sd_variable_stroke(pts, radii)
    ball = sd_circle(14.5 * sx, 104.0 * sy, 4.2 * (sx + sy) / 2.0)
    return sd_union(stroke, ball)


def note_sdf():
    """Note head with stem in 64 x 128 (shown about 36 x 66): the head low, the stem up."""
    cx, cy = 27.0, 104.0
    ang = math.radians(-22)
    ca, sa = math.cos(ang), math.sin(ang)

    def head(x, y):
        dx, dy = x - cx, y - cy
        rx, ry = dx * ca - dy * sa, dx * sa + dy * ca
        return (math.hypot(rx / 16.5, ry / 12.0) - 1.0) * 12.0

    stem = sd_rect(39.5, 10.0, 43.5, 100.0, 1.0)
    return sd_union(head, stem)


def sharp_sdf():
    """Sharp sign in 32 x 64 (shown about 15 x 35), centred where the note head sits."""
    cy = 29.0
    return sd_union(
        sd_rect(9.5, cy - 24.0, 13.0, cy + 22.0, 0.8),
        sd_rect(19.0, cy - 26.0, 22.5, cy + 20.0, 0.8),
        sd_segment(4.5, cy - 5.0, 27.5, cy - 12.0, 3.2),
        sd_segment(4.5, cy + 10.0, 27.5, cy + 3.0, 3.2),
    )


def white_key():
    w, h = 32, 128
    c = Canvas(w, h)
    body = vgradient([(0.0, rgb(214, 210, 200)), (0.06, rgb(240, 237, 229)), (0.2, rgb(251, 249, 244)),
                      (0.86, rgb(255, 254, 251)), (0.9, rgb(246, 243, 236)), (0.905, WHITE),
                      (0.95, rgb(240, 236, 228)), (1.0, rgb(214, 208, 198))])
    c.vfill(body)
    for y in range(h):
        c.px[y][0] = list(rgb(160, 156, 148))
        c.px[y][1] = list(mix(c.px[y][1], WHITE, 0.6))
        c.px[y][w - 1] = list(rgb(176, 172, 164))
        c.px[y][w - 2] = list(mix(c.px[y][w - 2], rgb(200, 196, 188), 0.5))
    return c


def black_key():
    w, h = 16, 128
    c = Canvas(w, h)
    top = vgradient([(0.0, rgb(30, 30, 36)), (0.8, rgb(52, 52, 60)), (0.83, rgb(96, 96, 108)),
                     (0.84, rgb(70, 70, 80)), (1.0, rgb(38, 38, 44))])
    c.vfill(top)
    for y in range(h):
        for x in range(w):
            edge = min(x, w - 1 - x)
            if edge < 3:
                c.px[y][x] = list(mix(c.px[y][x], rgb(100, 100, 112), (3 - edge) / 4.0))
    c.shape(sd_segment(5.5, 8.0, 5.5, 96.0, 1.1), rgb(140, 140, 156), 0.5)
    return c


# ---- output ----------------------------------------------------------------------------------

SKINS = [
    ("CLOSE", ["U", "H", "D", "CU", "CH", "CD"]),
    ("HELP", ["U", "H", "D", "CU", "CH", "CD"]),
    ("MINIMIZE", ["U", "H", "D", "CU", "CH", "CD"]),
    ("MAXIMIZE", ["U", "H", "D", "CU", "CH", "CD"]),
    ("PLAY", ["U", "H", "D", "X", "CU", "CH", "CD"]),
    ("PAUSE", ["U", "H", "D", "X", "CU", "CH", "CD"]),
    ("STOP", ["U", "H", "D", "X", "CU", "CH", "CD"]),
    ("RECORD", ["U", "H", "D", "X", "CU", "CH", "CD"]),
    ("REWIND", ["U", "H", "D", "X", "CU", "CH", "CD"]),
    ("EJECT", ["U", "H", "D", "X", "CU", "CH", "CD"]),
    ("MENU", ["U", "H", "D", "CU"]),
    ("EMPTY_BUTTON", ["U", "D", "X"]),
    ("SMALL_BUTTON", ["U", "D", "X"]),
    ("SWITCH", ["U", "H", "D", "X", "CU", "CH", "CD"]),
]


def skin(name, variant):
    if name in BOX_GLYPH:
        return title_box(name, variant)
    if name in LIT:
        return deck_button(name, variant)
    if name == "MENU":
        return menu_button(variant)
    if name == "EMPTY_BUTTON":
        return text_button(EMPTY_W, EMPTY_H, 6.0, variant)
    if name == "SMALL_BUTTON":
        return text_button(SMALL_W, SMALL_H, 5.0, variant)
    if name == "SWITCH":
        return switch_button(variant)
    raise ValueError(name)


# Numbered bitmaps: id name (resources/resource_ids.h), file, what it is, canvas factory, bits per pixel.
NUMBERED = [
    ("IDB_TITLE_ACTIVE", "title_active.bmp", "title bar background, active", lambda: title_background(64, True), 24),
    ("IDB_TITLE_INACTIVE", "title_inactive.bmp", "title bar background, inactive", lambda: title_background(64, False), 24),
    ("IDB_TITLE_END_ACTIVE", "title_end_active.bmp", "title bar end image, active", lambda: title_end(True), 24),
    ("IDB_TITLE_END_INACTIVE", "title_end_inactive.bmp", "title bar end image, inactive", lambda: title_end(False), 24),
    ("IDB_SLIDER_POSITION_BEFORE", "slider_position_before.bmp", "main and exercise position slider, played part",
     lambda: slider_channel(160, 22, True, False), 24),
    ("IDB_SLIDER_POSITION_AFTER", "slider_position_after.bmp", "main and exercise position slider, rest",
     lambda: slider_channel(160, 22, False, False), 24),
    ("IDB_SLIDER_MEDIA_BEFORE", "slider_media_before.bmp", "media player position slider, played part",
     lambda: slider_channel(200, 22, True, False), 24),
    ("IDB_SLIDER_MEDIA_AFTER", "slider_media_after.bmp", "media player position slider, rest",
     lambda: slider_channel(200, 22, False, False), 24),
    ("IDB_SLIDER_TEMPO_BEFORE", "slider_tempo_before.bmp", "media player tempo slider, lower part",
     lambda: slider_channel(22, 100, True, True), 24),
    ("IDB_SLIDER_TEMPO_AFTER", "slider_tempo_after.bmp", "media player tempo slider, upper part",
     lambda: slider_channel(22, 100, False, True), 24),
    ("IDB_SLIDER_VOLUME_BEFORE", "slider_volume_before.bmp", "volume window sliders, level part",
     lambda: slider_channel(22, 120, True, True, meter=True), 24),
    ("IDB_SLIDER_VOLUME_AFTER", "slider_volume_after.bmp", "volume window sliders, upper part",
     lambda: slider_channel(22, 120, False, True), 24),
    ("IDB_THUMB_HORIZONTAL", "thumb_horizontal.bmp", "horizontal slider thumb, 3 frames of 12 x 22",
     lambda: thumb_strip(12, 22, False), 24),
    ("IDB_THUMB_TEMPO", "thumb_tempo.bmp", "tempo slider thumb, 3 frames of 22 x 12", lambda: thumb_strip(22, 12, True), 24),
    ("IDB_THUMB_VOLUME", "thumb_volume.bmp", "volume slider thumb, 3 frames of 22 x 12", lambda: thumb_strip(22, 12, True), 24),
    ("IDB_ABOUT_PICTURE", "about.bmp", "about box picture", about_picture, 24),
    ("IDB_STAR", "star.bmp", "star sprite of the analysis view", star_texture, 32),
    ("IDB_CLEF_HALO", "clef_halo.bmp", "staff: clef halo", lambda: alpha_texture(64, 256, clef_sdf(), halo=9.0), 32),
    ("IDB_CLEF", "clef.bmp", "staff: clef", lambda: alpha_texture(64, 256, clef_sdf()), 32),
    ("IDB_NOTE_HALO", "note_halo.bmp", "staff: note halo", lambda: alpha_texture(64, 128, note_sdf(), halo=7.0), 32),
    ("IDB_NOTE", "note.bmp", "staff: note", lambda: alpha_texture(64, 128, note_sdf()), 32),
    ("IDB_NOTE_MASK", "note_mask.bmp", "staff: note picking mask",
     lambda: alpha_texture(64, 128, sd_offset(note_sdf(), 5.0)), 32),
    ("IDB_SHARP_HALO", "sharp_halo.bmp", "staff: sharp halo", lambda: alpha_texture(32, 64, sharp_sdf(), halo=5.0), 32),
    ("IDB_SHARP", "sharp.bmp", "staff: sharp", lambda: alpha_texture(32, 64, sharp_sdf()), 32),
    ("IDB_SHARP_MASK", "sharp_mask.bmp", "staff: sharp picking mask",
     lambda: alpha_texture(32, 64, sd_offset(sharp_sdf(), 3.0)), 32),
    ("IDB_KEY_BLACK", "key_black.bmp", "keyboard: black key", black_key, 24),
    ("IDB_KEY_WHITE", "key_white.bmp", "keyboard: white key", white_key, 24),
]

ICON_ID = "IDI_MELVORA"
ICON_FILE = "melvora.ico"


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources")
    bmp_dir = os.path.join(out, "bitmaps")
    os.makedirs(bmp_dir, exist_ok=True)
    lines = [
        "// Skin bitmaps, textures and the icon. Written by tools/skins/make_skins.py; edit the",
        "// generator, not this file. Skins are named resources (skin name + variant suffix),",
        "// everything else is numbered (names from resource_ids.h, which the including script",
        "// includes first).",
        "",
    ]
    for name, variants in SKINS:
        for v in variants:
            write(os.path.join(bmp_dir, name + v + ".bmp"), skin(name, v).bmp_bytes(24))
            lines.append("%-16s BITMAP \"bitmaps/%s\"" % (name + v, name + v + ".bmp"))
        lines.append("")
    for rid, fname, what, make, bits in NUMBERED:
        write(os.path.join(bmp_dir, fname), make().bmp_bytes(bits))
        lines.append("%-28s BITMAP \"bitmaps/%s\"  // %s" % (rid, fname, what))
    lines.append("")
    write(os.path.join(bmp_dir, ICON_FILE), ico_bytes([icon_image(32), icon_image(16)]))
    lines.append("%-28s ICON \"bitmaps/%s\"" % (ICON_ID, ICON_FILE))
    write(os.path.join(out, "bitmaps.rc"), ("\n".join(lines) + "\n").encode("ascii"))


if __name__ == "__main__":
    main()
