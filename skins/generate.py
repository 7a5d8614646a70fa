#!/usr/bin/python3
"""Generates the English skin of the Vireo software under images/0409.

Run with Debian's python3 (python3-pil): `/usr/bin/python3 skins/generate.py`. Every shape is drawn
at four times its size and scaled down, so edges are smooth while 1 px lines stay on whole pixels.
Faces of controls that sit on a known surface are made opaque over that surface, because the
controls fill their rectangle with black before drawing a face.
"""

import math
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

sys.dont_write_bytecode = True
import texts  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "images", "0409")
SS = 4  # supersampling factor

# Palette: graphite surfaces, one azure accent.
WINDOW = (19, 21, 25)      # window frame and header
SURFACE = (27, 30, 35)     # card surface: every control sits on it
SURFACE_HI = (33, 37, 43)
RAISED_TOP = (55, 61, 70)
RAISED_BOTTOM = (40, 44, 51)
LINE = (52, 58, 67)
LINE_HI = (78, 86, 98)
LINE_LO = (12, 13, 16)
TEXT = (232, 236, 242)
TEXT_DIM = (140, 149, 162)
ACCENT = (38, 163, 232)
ACCENT_HI = (96, 196, 250)
ACCENT_LO = (14, 88, 138)
ACCENT_DEEP = (10, 52, 84)

MAIN_W, MAIN_H = 800, 616
DLG_W, DLG_H = 478, 292
MACRO_W, MACRO_H = 757, 582

FONT_FILES = {
    "sans": ["/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
             "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"],
    "sans-bold": ["/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
                  "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"],
    "brand": ["/usr/share/fonts/opentype/urw-base35/URWGothic-Demi.otf",
              "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"],
    "brand-book": ["/usr/share/fonts/opentype/urw-base35/URWGothic-Book.otf",
                   "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"],
}


def font(name, size):
    for path in FONT_FILES[name]:
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    return ImageFont.load_default()


def rgba(color, alpha=255):
    return tuple(color[:3]) + (alpha,)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Canvas:
    """An RGBA picture drawn at SS times its size; coordinates are in output pixels."""

    def __init__(self, w, h, background=None):
        self.w, self.h = w, h
        fill = rgba(background) if background else (0, 0, 0, 0)
        self.im = Image.new("RGBA", (w * SS, h * SS), fill)

    # masks -----------------------------------------------------------------------------------
    def mask(self):
        m = Image.new("L", self.im.size, 0)
        return m, ImageDraw.Draw(m)

    def rrect_mask(self, box, radius):
        m, d = self.mask()
        x0, y0, x1, y1 = box
        if x1 <= x0 or y1 <= y0:
            return m
        r = max(0, min(radius, (x1 - x0) / 2, (y1 - y0) / 2))
        d.rounded_rectangle([x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1], radius=r * SS, fill=255)
        return m

    def ring_mask(self, box, radius, width=1):
        outer = self.rrect_mask(box, radius)
        x0, y0, x1, y1 = box
        inner = self.rrect_mask((x0 + width, y0 + width, x1 - width, y1 - width),
                                max(0, radius - width))
        return ImageChops.subtract(outer, inner)

    def ellipse_mask(self, box):
        m, d = self.mask()
        x0, y0, x1, y1 = box
        d.ellipse([x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1], fill=255)
        return m

    def polygon_mask(self, points):
        m, d = self.mask()
        d.polygon([(x * SS, y * SS) for x, y in points], fill=255)
        return m

    def line_mask(self, points, width=1.0, joint="curve"):
        m, d = self.mask()
        d.line([(x * SS, y * SS) for x, y in points], fill=255, width=max(1, int(round(width * SS))),
               joint=joint)
        return m

    # painting --------------------------------------------------------------------------------
    def fill(self, mask, paint, opacity=1.0):
        if isinstance(paint, Image.Image):
            src = paint.copy()
            alpha = ImageChops.multiply(mask, src.getchannel("A"))
        else:
            src = Image.new("RGBA", self.im.size, rgba(paint))
            alpha = mask
            if len(paint) == 4:
                alpha = alpha.point(lambda v, a=paint[3]: v * a // 255)
        if opacity < 1.0:
            alpha = alpha.point(lambda v: int(v * opacity))
        src.putalpha(alpha)
        self.im.alpha_composite(src)

    def gradient(self, box, stops, vertical=True):
        """A full-size paint whose colour runs through `stops` [(t, colour), ...] inside box."""
        x0, y0, x1, y1 = [v * SS for v in box]
        n = (y1 - y0) if vertical else (x1 - x0)
        n = max(1, int(n))
        strip = Image.new("RGBA", (1, n) if vertical else (n, 1))
        px = strip.load()
        for i in range(n):
            t = (i + 0.5) / n
            for k in range(len(stops) - 1):
                if stops[k][0] <= t <= stops[k + 1][0] or k == len(stops) - 2:
                    t0, c0 = stops[k]
                    t1, c1 = stops[k + 1]
                    u = 0 if t1 == t0 else min(1, max(0, (t - t0) / (t1 - t0)))
                    c = tuple(int(round(c0[j] + (c1[j] - c0[j]) * u)) for j in range(len(c0)))
                    break
            if len(c) == 3:
                c = c + (255,)
            if vertical:
                px[0, i] = c
            else:
                px[i, 0] = c
        full = Image.new("RGBA", self.im.size, (0, 0, 0, 0))
        if vertical:
            band = strip.resize((self.im.width, n), Image.NEAREST)
            full.paste(band, (0, int(y0)))
        else:
            band = strip.resize((n, self.im.height), Image.NEAREST)
            full.paste(band, (int(x0), 0))
        return full

    def hline(self, x0, x1, y, color, opacity=1.0):
        m, d = self.mask()
        d.rectangle([x0 * SS, y * SS, x1 * SS - 1, y * SS + SS - 1], fill=255)
        self.fill(m, color, opacity)

    def vline(self, x, y0, y1, color, opacity=1.0):
        m, d = self.mask()
        d.rectangle([x * SS, y0 * SS, x * SS + SS - 1, y1 * SS - 1], fill=255)
        self.fill(m, color, opacity)

    def rect(self, box, color, opacity=1.0):
        m, d = self.mask()
        x0, y0, x1, y1 = box
        d.rectangle([x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1], fill=255)
        self.fill(m, color, opacity)

    def text(self, xy, s, face, size, color, anchor="la", spacing=0.0, opacity=1.0):
        f = font(face, size * SS)
        m, d = self.mask()
        x, y = xy[0] * SS, xy[1] * SS
        if spacing:
            widths = [d.textlength(ch, font=f) + spacing * SS for ch in s]
            total = sum(widths) - spacing * SS
            if anchor[0] == "m":
                x -= total / 2
            elif anchor[0] == "r":
                x -= total
            for ch, wdt in zip(s, widths):
                d.text((x, y), ch, font=f, fill=255, anchor="l" + anchor[1])
                x += wdt
        else:
            d.text((x, y), s, font=f, fill=255, anchor=anchor)
        self.fill(m, color, opacity)

    def result(self):
        return self.im.resize((self.w, self.h), Image.LANCZOS)


# output ---------------------------------------------------------------------------------------

def out_path(folder, name):
    path = os.path.join(OUT, folder, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def save_png(img, folder, name, base=None):
    """Saves a picture; with a base colour (or base picture) it is made opaque over it first."""
    if base is not None:
        under = base if isinstance(base, Image.Image) else Image.new("RGBA", img.size, rgba(base))
        img = Image.alpha_composite(under.convert("RGBA"), img).convert("RGB")
    img.save(out_path(folder, name), optimize=True)


def save_mask(shape_mask, folder, name):
    """A 24-bit mask bitmap: white is cut away, black is kept. Anti-aliased edges are rounded."""
    keep = shape_mask.point(lambda v: 0 if v >= 128 else 255)
    keep.convert("RGB").save(out_path(folder, name), format="BMP")


def save_jpg(img, folder, name):
    img.convert("RGB").save(out_path(folder, name), format="JPEG", quality=95, subsampling=0)


def shape(w, h, radius):
    """Anti-aliased coverage of a rounded rectangle, as an L picture of w x h."""
    c = Canvas(w, h)
    m = c.rrect_mask((0, 0, w, h), radius)
    return m.resize((w, h), Image.LANCZOS)


# common control faces ------------------------------------------------------------------------

def raised(c, box, radius, state, accent_edge=None):
    """A raised graphite control: normal, hover (lighter, accent ring) or pressed (accent fill)."""
    x0, y0, x1, y1 = box
    body = c.rrect_mask(box, radius)
    if state == "pressed":
        c.fill(body, c.gradient(box, [(0, ACCENT), (1, ACCENT_LO)]))
        c.fill(c.ring_mask(box, radius), ACCENT_HI, 0.9)
        c.hline(x0 + radius, x1 - radius, y0 + 1, (255, 255, 255), 0.25)
        return
    top, bottom = (RAISED_TOP, RAISED_BOTTOM)
    if state == "hover":
        top, bottom = mix(RAISED_TOP, (255, 255, 255), 0.08), mix(RAISED_BOTTOM, ACCENT, 0.12)
    if state == "disabled":
        top, bottom = mix(RAISED_TOP, SURFACE, 0.6), mix(RAISED_BOTTOM, SURFACE, 0.6)
    c.fill(body, c.gradient(box, [(0, top), (1, bottom)]))
    ring = ACCENT if state == "hover" else (LINE_HI if state == "normal" else LINE)
    c.fill(c.ring_mask(box, radius), ring, 0.95 if state == "hover" else 0.8)
    if state != "disabled":
        c.hline(x0 + radius, x1 - radius, y0 + 1, (255, 255, 255), 0.10)
    if accent_edge:
        accent_edge(c)


def push_button(w, h, radius, state):
    c = Canvas(w, h)
    raised(c, (0, 0, w, h), radius, state)
    return c.result()


def buttons():
    # OK-style: -1 normal, -3 hover, -2 pressed.
    for stem, (w, h) in {"ok": (93, 26), "ButtonAssign": (147, 20)}.items():
        save_png(push_button(w, h, 4, "normal"), "buttons", f"{stem}-1.png", SURFACE)
        save_png(push_button(w, h, 4, "pressed"), "buttons", f"{stem}-2.png", SURFACE)
        save_png(push_button(w, h, 4, "hover"), "buttons", f"{stem}-3.png", SURFACE)
    save_png(push_button(147, 20, 4, "disabled"), "buttons", "RedButton-1.png", SURFACE)

    # Tabs: -1 normal, -2 hover, -3 selected; they stand on the card's top edge, and the selected
    # one takes the card's surface with an accent bar on top.
    for i, state in enumerate(["normal", "hover", "selected"], start=1):
        w, h = 162, 20
        c = Canvas(w, h)
        box = (0, 0, w, h + 6)  # rounded at the top only: the bottom runs off the picture
        if state == "selected":
            c.fill(c.rrect_mask(box, 5), c.gradient((0, 0, w, h), [(0, (38, 50, 62)), (1, SURFACE)]))
            c.fill(c.ring_mask(box, 5), LINE_HI)
            top_bar, d = c.mask()
            d.rectangle([0, 0, w * SS - 1, 2 * SS - 1], fill=255)
            c.fill(ImageChops.multiply(top_bar, c.rrect_mask(box, 5)), ACCENT_HI)
            c.rect((1, 2, w - 1, 9), c.gradient((0, 2, w, 9), [(0, rgba(ACCENT, 90)),
                                                               (1, rgba(ACCENT, 0))]))
        else:
            top = (31, 34, 40) if state == "normal" else (40, 45, 52)
            c.fill(c.rrect_mask(box, 5), c.gradient((0, 0, w, h), [(0, top), (1, (25, 28, 32))]))
            c.fill(c.ring_mask(box, 5), LINE_HI if state == "hover" else LINE, 0.8)
            if state == "hover":
                c.hline(5, w - 5, 0, ACCENT, 0.8)
        save_png(c.result(), "buttons", f"tabbutton-{i}.png", WINDOW)

    # Profile buttons: -1 normal, -2 hover, -3 selected.
    for i, state in enumerate(["normal", "hover", "selected"], start=1):
        w, h = 85, 19
        c = Canvas(w, h)
        box = (0, 0, w, h)
        if state == "selected":
            c.fill(c.rrect_mask(box, 9.5), c.gradient(box, [(0, ACCENT), (1, ACCENT_LO)]))
            c.fill(c.ring_mask(box, 9.5), ACCENT_HI, 0.9)
        else:
            raised(c, box, 9.5, state)
        save_png(c.result(), "buttons", f"ProfileButton-{i}.png", SURFACE)

    # Title-bar buttons, drawn over the header they sit on: -1 normal, -3 hover, -2 pressed.
    header = main_background_picture()
    for stem, x in (("min", 722), ("close", 742)):
        under = header.crop((x, 34, x + 14, 47))
        for suffix, state in (("1", "normal"), ("3", "hover"), ("2", "pressed")):
            c = Canvas(14, 13)
            if state != "normal":
                tint = (196, 43, 43) if (stem == "close") else ACCENT
                c.fill(c.rrect_mask((0, 0, 14, 13), 3), tint, 0.85 if state == "hover" else 1.0)
            glyph = TEXT if state != "normal" else TEXT_DIM
            if stem == "min":
                c.rect((3, 8, 11, 9), glyph)
            else:
                c.fill(c.line_mask([(3.5, 3), (10.5, 10)], 1.3), glyph)
                c.fill(c.line_mask([(10.5, 3), (3.5, 10)], 1.3), glyph)
            save_png(c.result(), "buttons", f"{stem}-{suffix}.png", under)

    # Record and stop icons of the macro editor (30 x 23).
    for name, active in (("iconstart1.png", False), ("iconstart2.png", True)):
        c = Canvas(30, 23)
        raised(c, (0, 0, 30, 23), 5, "hover" if active else "normal")
        red = (236, 64, 64) if active else (190, 58, 58)
        if active:
            c.fill(c.ellipse_mask((8, 4.5, 22, 18.5)), red, 0.30)
        c.fill(c.ellipse_mask((10, 6.5, 20, 16.5)), red)
        save_png(c.result(), "buttons", name, SURFACE)
    for name, active in (("iconstop1.png", False), ("iconstop2.png", True)):
        c = Canvas(30, 23)
        raised(c, (0, 0, 30, 23), 5, "hover" if active else "normal")
        c.fill(c.rrect_mask((10, 6.5, 20, 16.5), 1.5), TEXT if active else TEXT_DIM)
        save_png(c.result(), "buttons", name, SURFACE)

    # Lighting mode buttons (150 x 26): 1/2 top row normal/selected, 3/4 bottom row.
    for n, (row, selected) in enumerate([("top", False), ("top", True),
                                          ("bottom", False), ("bottom", True)], start=1):
        w, h = 150, 26
        c = Canvas(w, h)
        box = (2, 1, w - 2, h - 1)
        if selected:
            c.fill(c.rrect_mask(box, 4), c.gradient(box, [(0, (36, 62, 84)), (1, (27, 44, 60))]))
            c.fill(c.ring_mask(box, 4), ACCENT, 0.9)
            bar_y = h - 4 if row == "top" else 2
            c.fill(c.rrect_mask((40, bar_y, w - 40, bar_y + 2), 1), ACCENT_HI)
        else:
            raised(c, box, 4, "normal")
        save_png(c.result(), "buttons", f"color-mode-page-{n}.png", SURFACE)


def controls():
    # Check box and radio face, stretched over every check-box button (11 x 11 up to 108 x 16):
    # a chip that keeps its look when stretched sideways; the selected one is lit.
    for name, on in (("checkbox1-1.png", False), ("checkbox1-2.png", True)):
        w, h = 89, 16
        c = Canvas(w, h)
        box = (0, 0, w, h)
        if on:
            c.fill(c.rrect_mask(box, 3), c.gradient(box, [(0, ACCENT), (1, ACCENT_LO)]))
            c.fill(c.ring_mask(box, 3), ACCENT_HI, 0.9)
        else:
            c.fill(c.rrect_mask(box, 3), c.gradient(box, [(0, (50, 55, 63)), (1, (38, 42, 49))]))
            c.fill(c.ring_mask(box, 3), LINE_HI)
        save_png(c.result(), "controls", name, SURFACE)

    # Horizontal slider thumb (page 1): 11 x 18 over the groove of the track.
    c = Canvas(11, 18)
    draw_h_groove(c, 11, 18)
    c.fill(c.rrect_mask((0.5, 1, 10.5, 17), 3), c.gradient((0, 1, 11, 17), [(0, (236, 240, 245)),
                                                                         (1, (176, 184, 196))]))
    c.fill(c.ring_mask((0.5, 1, 10.5, 17), 3), (255, 255, 255), 0.5)
    c.vline(5, 5, 13, ACCENT)
    save_png(c.result(), "controls", "y.png", SURFACE)

    # Resolution sliders: tracks 181 px high, thumbs 21 px high and as wide as their track.
    for name, w, shade in (("dpi-indicator-x.png", 22, ACCENT), ("dpi-indicator-y.png", 22, ACCENT),
                           ("dpi-indicator-x2.png", 51, ACCENT)):
        c = Canvas(w, 181)
        draw_v_track(c, w, 181, shade)
        save_png(c.result(), "controls", name, SURFACE)
    for name, w in (("x.png", 22), ("x3.png", 22), ("x2.png", 51)):
        c = Canvas(w, 21)
        box = (0, 1, w, 20)
        c.fill(c.rrect_mask(box, 3), c.gradient(box, [(0, (236, 240, 245)), (0.5, (206, 212, 222)),
                                                     (1, (160, 168, 180))]))
        c.fill(c.ring_mask(box, 3), (255, 255, 255), 0.45)
        c.hline(3, w - 3, 10, ACCENT)
        c.hline(3, w - 3, 11, ACCENT_LO, 0.6)
        save_png(c.result(), "controls", name, SURFACE)

    # Number marks beside the assignment buttons (19 x 18); the window draws the digit.
    for name, glyph in (("circle.png", None), ("circle_up.png", "up"), ("circle_down.png", "down")):
        c = Canvas(19, 18)
        box = (0.5, 0, 18.5, 18)
        c.fill(c.ellipse_mask(box), c.gradient((0, 0, 19, 18), [(0, ACCENT_LO), (1, ACCENT_DEEP)]))
        ring = ImageChops.subtract(c.ellipse_mask(box), c.ellipse_mask((1.5, 1, 17.5, 17)))
        c.fill(ring, ACCENT_HI, 0.9)
        if glyph == "up":
            c.fill(c.line_mask([(5.5, 11), (9.5, 7), (13.5, 11)], 1.6, None), TEXT)
        elif glyph == "down":
            c.fill(c.line_mask([(5.5, 7), (9.5, 11), (13.5, 7)], 1.6, None), TEXT)
        save_png(c.result(), "controls", name, SURFACE)

    # The agent's progress bar: background, fill and the mask that rounds its ends.
    w, h = 360, 36
    bar = (0, 0, w, h)
    label = "Updating mouse settings"
    c = Canvas(w, h, WINDOW)
    c.fill(c.rrect_mask(bar, h / 2), c.gradient(bar, [(0, (30, 33, 39)), (1, (20, 22, 26))]))
    c.fill(c.ring_mask(bar, h / 2), LINE_HI)
    c.text((w / 2, h / 2 + 0.5), label, "sans-bold", 13, TEXT_DIM, anchor="mm")
    save_jpg(c.result(), "controls", "updatebar_n.jpg")
    c = Canvas(w, h, WINDOW)
    c.fill(c.rrect_mask(bar, h / 2), c.gradient(bar, [(0, ACCENT_HI), (0.5, ACCENT), (1, ACCENT_LO)]))
    c.fill(c.ring_mask(bar, h / 2), ACCENT_HI)
    c.text((w / 2, h / 2 + 0.5), label, "sans-bold", 13, (255, 255, 255), anchor="mm")
    save_jpg(c.result(), "controls", "updatebar_o.jpg")
    save_mask(shape(w, h, h / 2), "controls", "updatebar_Mask.BMP")


def draw_h_groove(c, w, h):
    c.fill(c.rrect_mask((-4, 7, w + 4, 11), 2), (12, 13, 16))
    c.hline(-4, w + 4, 11, LINE, 0.8)


def draw_v_track(c, w, h, shade):
    cx = w // 2
    groove = (cx - 3, 2, cx + 3, h - 2)
    c.fill(c.rrect_mask(groove, 3), (12, 13, 16))
    # A level that brightens towards the top, where the resolution is highest.
    c.fill(c.rrect_mask((cx - 2, 3, cx + 2, h - 3), 2),
           c.gradient(groove, [(0, rgba(shade, 255)), (1, rgba(shade, 40))]))
    c.fill(c.ring_mask(groove, 3), LINE, 0.9)
    if w > 30:
        for i in range(9):
            y = 10 + round(i * (h - 21) / 8)
            length = 7 if i % 4 == 0 else 4
            c.hline(cx - 8 - length, cx - 8, y, LINE_HI)
            c.hline(cx + 8, cx + 8 + length, y, LINE_HI)


def background_parts():
    # Horizontal slider tracks (page 1, 210 x 18).
    for name in ("trackbar-back-b.png", "dbclick-back.png"):
        c = Canvas(210, 18)
        c.fill(c.rrect_mask((0, 7, 210, 11), 2), (12, 13, 16))
        c.fill(c.ring_mask((0, 7, 210, 11), 2), LINE, 0.6)
        c.hline(2, 208, 11, LINE, 0.8)
        if name == "dbclick-back.png":
            for i in range(10):
                x = 5 + round(i * 199 / 9)
                c.vline(x, 14, 17, LINE_HI)
        save_png(c.result(), "background", name, SURFACE)

    # Resolution stage buttons (62 x 22): the right 5 px hold the stage's lamp.
    for name, on in (("DPI-1.png", False), ("DPI-2.png", True)):
        c = Canvas(62, 22)
        box = (0, 0, 62, 22)
        if on:
            c.fill(c.rrect_mask(box, 4), c.gradient(box, [(0, (38, 66, 90)), (1, (26, 44, 62))]))
            c.fill(c.ring_mask(box, 4), ACCENT, 0.9)
            c.fill(c.rrect_mask((55, 5, 58, 17), 1.5), ACCENT_HI)
        else:
            raised(c, box, 4, "normal")
            c.fill(c.rrect_mask((55, 5, 58, 17), 1.5), (14, 15, 18))
        save_png(c.result(), "background", name, SURFACE)

    # Menu rows (140 x 20): n normal, d hover, n2/d2 rows that open a submenu (chevron).
    for name, hover, sub in (("menuitem-n.png", False, False), ("menuitem-d.png", True, False),
                             ("menuitem-n2.png", False, True), ("menuitem-d2.png", True, True)):
        w, h = 140, 20
        c = Canvas(w, h, (30, 33, 39))
        if hover:
            c.fill(c.rrect_mask((1, 1, w - 1, h - 1), 3), c.gradient((0, 0, w, h),
                                                                     [(0, ACCENT), (1, ACCENT_LO)]))
        c.vline(0, 0, h, LINE_HI)
        c.vline(w - 1, 0, h, LINE_HI)
        if not hover:
            c.hline(8, w - 8, h - 1, LINE, 0.7)
        if sub:
            col = TEXT if hover else TEXT_DIM
            c.fill(c.line_mask([(w - 12, 6.5), (w - 8.5, 10), (w - 12, 13.5)], 1.4, None), col)
        save_png(c.result(), "background", name, (30, 33, 39))

    # Key field of the key capture windows (301 x 26): an inset field with an accent ring.
    c = Canvas(301, 26)
    box = (0, 0, 301, 26)
    c.fill(c.rrect_mask(box, 4), c.gradient(box, [(0, (14, 16, 19)), (1, (24, 27, 32))]))
    c.fill(c.ring_mask(box, 4), ACCENT, 0.85)
    save_png(c.result(), "background", "menuitem-d-b.png", SURFACE)

    # Press and release icons of the record list (7 x 9).
    for name, down in (("423.png", True), ("424.png", False)):
        c = Canvas(7, 9)
        col = ACCENT_HI if down else (190, 198, 210)
        if down:
            c.fill(c.polygon_mask([(0, 4), (7, 4), (3.5, 9)]), col)
            c.rect((2, 0, 5, 5), col)
        else:
            c.fill(c.polygon_mask([(0, 5), (7, 5), (3.5, 0)]), col)
            c.rect((2, 4, 5, 9), col)
        save_png(c.result(), "background", name)

    # Warning picture (96 x 90).
    c = Canvas(96, 90)
    tri = [(48, 8), (90, 82), (6, 82)]
    c.fill(c.polygon_mask([(48, 10), (88, 80), (8, 80)]), (0, 0, 0), 0.35)
    m = c.line_mask(tri + [tri[0]], 10)
    c.fill(ImageChops.lighter(m, c.polygon_mask(tri)), c.gradient((0, 8, 96, 82),
                                                                  [(0, (255, 196, 64)),
                                                                   (1, (232, 140, 28))]))
    c.fill(c.rrect_mask((44, 32, 52, 62), 4), (30, 24, 12))
    c.fill(c.ellipse_mask((43.5, 66, 52.5, 75)), (30, 24, 12))
    save_png(c.result(), "background", "warn.png")

    # Preset colour swatches (24 x 24), named by their colour.
    swatches = [("红色.png", (255, 0, 0)), ("橙色.png", (255, 102, 0)), ("黄色.png", (255, 255, 0)),
                ("绿色.png", (0, 255, 0)), ("青色.png", (0, 172, 253)), ("蓝色.png", (0, 0, 255)),
                ("紫色.png", (172, 0, 203))]
    for name, col in swatches:
        c = Canvas(24, 24)
        box = (1, 1, 23, 23)
        c.fill(c.rrect_mask(box, 5), c.gradient(box, [(0, mix(col, (255, 255, 255), 0.18)),
                                                     (1, mix(col, (0, 0, 0), 0.15))]))
        c.fill(c.ring_mask(box, 5), (255, 255, 255), 0.35)
        c.fill(c.ring_mask((0, 0, 24, 24), 6), (0, 0, 0), 0.6)
        save_png(c.result(), "background", name, SURFACE)


# windows --------------------------------------------------------------------------------------

_MAIN = None


def main_background_picture():
    global _MAIN
    if _MAIN is None:
        _MAIN = draw_main_background()
    return _MAIN


def draw_main_background():
    W, H = MAIN_W, MAIN_H
    c = Canvas(W, H, WINDOW)
    whole = (0, 0, W, H)
    # Header: a faint light from the upper left over the graphite frame.
    c.fill(c.rrect_mask(whole, 12), c.gradient(whole, [(0, (26, 29, 34)), (0.3, WINDOW),
                                                       (1, (16, 18, 21))]))
    # A soft accent light behind the brand, blurred at output size and scaled up.
    glow = Image.new("L", (W, H), 0)
    ImageDraw.Draw(glow).ellipse([-40, -80, 330, 130], fill=255)
    glow = glow.filter(ImageFilter.GaussianBlur(60)).resize(c.im.size, Image.BILINEAR)
    c.fill(glow, ACCENT, 0.16)
    # Thin speed lines on the right of the header, fading out at both ends.
    for k, (x, y, length, alpha) in enumerate(((470, 96, 220, 0.35), (520, 108, 170, 0.22),
                                               (560, 120, 120, 0.14))):
        streak = c.gradient((x, 0, x + length, 1), [(0, rgba(ACCENT, 0)), (0.7, rgba(ACCENT)),
                                                    (1, rgba(ACCENT, 0))], vertical=False)
        m, d = c.mask()
        d.rectangle([x * SS, y * SS, (x + length) * SS - 1, y * SS + SS - 1], fill=255)
        c.fill(m, streak, alpha)

    # Brand mark and name (decorative).
    mark = [(44, 58), (56, 58), (66, 86), (76, 58), (88, 58), (72, 100), (60, 100)]
    c.fill(c.polygon_mask(mark), c.gradient((44, 58, 88, 100), [(0, ACCENT_HI), (1, ACCENT_LO)]))
    c.text((102, 80), "VIREO", "brand", 40, TEXT, anchor="lm", spacing=5)
    c.text((104, 110), "GAMING MOUSE", "brand-book", 12, ACCENT_HI, anchor="lm", spacing=4.2)
    c.hline(24, W - 24, 148, LINE, 0.5)

    # The card that holds the pages, the profile row and the bottom row.
    card = (24, 183, W - 24, 598)
    c.fill(c.rrect_mask(card, 10), SURFACE)
    c.fill(c.rrect_mask((24, 183, W - 24, 230), 10), c.gradient((24, 183, W - 24, 230),
                                                               [(0, rgba(SURFACE_HI)),
                                                                (1, rgba(SURFACE, 0))]))
    c.fill(c.ring_mask(card, 10), LINE)
    c.hline(34, W - 34, 184, (255, 255, 255), 0.04)
    for y in (514, 552):
        line = c.gradient((40, 0, W - 40, 1), [(0, rgba(LINE, 0)), (0.15, rgba(LINE)),
                                               (0.85, rgba(LINE)), (1, rgba(LINE, 0))],
                          vertical=False)
        m, d = c.mask()
        d.rectangle([40 * SS, y * SS, (W - 40) * SS - 1, y * SS + SS - 1], fill=255)
        c.fill(m, line)
    # Outer edge of the window.
    c.fill(c.ring_mask(whole, 12), LINE_HI, 0.8)
    c.fill(c.ring_mask((1, 1, W - 1, H - 1), 11), LINE_LO, 0.8)
    return c.result()


def main_window():
    save_png(main_background_picture(), "background", "cfgMainback.png")
    save_mask(shape(MAIN_W, MAIN_H, 12), "background", "cfgMainback.bmp")


def dialog_shape(w, h):
    """The dialog outline at any size: the 478 x 292 shape stretched, as dlg.png is."""
    sx, sy = w / DLG_W, h / DLG_H
    c = Canvas(w, h)
    m, d = c.mask()
    rx, ry = 10 * sx * SS, 10 * sy * SS
    W, H = w * SS - 1, h * SS - 1
    d.rectangle([rx, 0, W - rx, H], fill=255)
    d.rectangle([0, ry, W, H - ry], fill=255)
    for ex, ey in ((0, 0), (W - 2 * rx, 0), (0, H - 2 * ry), (W - 2 * rx, H - 2 * ry)):
        d.ellipse([ex, ey, ex + 2 * rx, ey + 2 * ry], fill=255)
    return m.resize((w, h), Image.LANCZOS)


def dialogs():
    w, h = DLG_W, DLG_H
    c = Canvas(w, h, (14, 15, 18))
    box = (0, 0, w, h)
    c.fill(c.rrect_mask(box, 10), SURFACE)
    c.fill(c.rrect_mask(box, 10), c.gradient((0, 0, w, 80), [(0, rgba((36, 44, 54), 255)),
                                                             (1, rgba(SURFACE, 0))]))
    c.fill(c.ring_mask(box, 10), LINE_HI, 0.9)
    accent = c.gradient((60, 0, w - 60, 1), [(0, rgba(ACCENT, 0)), (0.5, rgba(ACCENT)),
                                             (1, rgba(ACCENT, 0))], vertical=False)
    m, d = c.mask()
    d.rectangle([60 * SS, 1 * SS, (w - 60) * SS - 1, 2 * SS - 1], fill=255)
    c.fill(m, accent)
    save_png(c.result(), "background", "dlg.png")
    save_mask(dialog_shape(DLG_W, DLG_H), "background", "cfgMainback2.bmp")
    save_mask(dialog_shape(MACRO_W, MACRO_H), "background", "cfgMainback3.bmp")


def lighting_panel():
    """light.png, drawn at (100, 201) on page 3; its own coordinates are window minus that."""
    w, h = 608, 281
    c = Canvas(w, h)
    # Colour card on the left, option card on the right, between the two rows of mode buttons.
    for box in ((4, 48, 384, 277), (396, 48, 604, 277)):
        c.fill(c.rrect_mask(box, 8), SURFACE)
        c.fill(c.ring_mask(box, 8), LINE)
    c.hline(12, 376, 82, LINE, 0.7)
    c.hline(404, 596, 82, LINE, 0.7)
    save_png(c.result(), "background", "light.png")


def mouse_layout_front():
    """Top view of the mouse, 190 x 272 at (101, 201); lines lead to the assignment rows."""
    save_png(mouse_top_view(), "background", "mouse-layout-front.png")


def mouse_top_view(leader_lines=True):
    """The mouse seen from above (190 x 272), with or without the lines to the rows."""
    w, h = 190, 272
    c = Canvas(w, h)
    cx = 80
    top, bottom = 14, 266

    def half_width(y):
        u = (y - top) / (bottom - top)
        return 58 * (math.sin(math.pi * min(1, max(0, u))) ** 0.42) * (0.86 + 0.14 * u)

    outline = []
    steps = 120
    for i in range(steps + 1):
        y = top + (bottom - top) * i / steps
        outline.append((cx + half_width(y), y))
    for i in range(steps, -1, -1):
        y = top + (bottom - top) * i / steps
        outline.append((cx - half_width(y), y))

    body = c.polygon_mask(outline)
    rows = [10 + 28 * i for i in range(10)]  # centres of the ten assignment rows

    # Leader lines first, so the body covers their start.
    leads = {
        1: [(48, 40), (48, rows[0]), (w - 3, rows[0])],
        2: [(114, rows[1]), (w - 3, rows[1])],
        3: [(cx, rows[2]), (w - 3, rows[2])],
        4: [(134, rows[3]), (w - 3, rows[3])],
        5: [(137, rows[4]), (w - 3, rows[4])],
        6: [(138, rows[5]), (w - 3, rows[5])],
        7: [(126, rows[6]), (w - 3, rows[6])],
        8: [(126, rows[7]), (w - 3, rows[7])],
    }
    # Shadow and body.
    shadow = c.polygon_mask([(x + 3, y + 4) for x, y in outline])
    c.fill(shadow, (0, 0, 0), 0.45)
    c.fill(body, c.gradient((0, top, w, bottom), [(0, (62, 68, 78)), (0.45, (44, 49, 57)),
                                                 (1, (30, 33, 39))]))
    # Side light strip (the lighting) along both flanks of the rear.
    for sign in (-1, 1):
        pts = []
        for i in range(40):
            y = 150 + i * 2.6
            pts.append((cx + sign * (half_width(y) - 3), y))
        c.fill(c.line_mask(pts, 2.2), ACCENT, 0.9)
    # Buttons: the split and the end of the buttons.
    split_y = 122
    c.fill(c.line_mask([(cx, top + 1), (cx, split_y)], 1.2), LINE_LO)
    curve = [(cx + dx, split_y + 10 - 10 * math.cos(dx / half_width(split_y) * math.pi / 2))
             for dx in [half_width(split_y) * k / 20 for k in range(-20, 21)]]
    c.fill(c.line_mask(curve, 1.2), LINE_LO)
    # Rounded form: darker towards both flanks, a soft light on the front left.
    sides = c.gradient((cx - 62, 0, cx + 62, h), [(0, (0, 0, 0, 150)), (0.3, (0, 0, 0, 0)),
                                                   (0.7, (0, 0, 0, 0)), (1, (0, 0, 0, 170))],
                       vertical=False)
    c.fill(body, sides)
    light = Image.new("L", (w, h), 0)
    ImageDraw.Draw(light).ellipse([cx - 46, 30, cx - 8, 120], fill=255)
    light = light.filter(ImageFilter.GaussianBlur(12)).resize(c.im.size, Image.BILINEAR)
    c.fill(ImageChops.multiply(light, body), (255, 255, 255), 0.10)
    # Wheel (3) with the scroll directions (9, 10).
    wheel = (cx - 7, 40, cx + 7, 90)
    c.fill(c.rrect_mask((cx - 9, 37, cx + 9, 93), 8), LINE_LO)
    c.fill(c.rrect_mask(wheel, 6), c.gradient(wheel, [(0, (120, 128, 140)), (0.5, (78, 84, 96)),
                                                     (1, (50, 55, 63))]))
    for y in range(46, 86, 4):
        c.hline(cx - 5, cx + 5, y, LINE_LO, 0.6)
    c.fill(c.line_mask([(cx - 4, 30), (cx, 26), (cx + 4, 30)], 1.4, None), ACCENT_HI)
    c.fill(c.line_mask([(cx - 4, 97), (cx, 101), (cx + 4, 97)], 1.4, None), ACCENT_HI)
    # Side buttons 4-6 on the right flank and the two rear buttons 7, 8.
    for k, y in ((4, rows[3]), (5, rows[4]), (6, rows[5])):
        x = cx + half_width(y)
        c.fill(c.rrect_mask((x - 8, y - 9, x + 3, y + 9), 4), LINE_LO)
        c.fill(c.rrect_mask((x - 7, y - 8, x + 2, y + 8), 3),
               c.gradient((0, y - 8, w, y + 8), [(0, (104, 112, 124)), (1, (64, 70, 80))]))
    for k, y in ((7, rows[6]), (8, rows[7])):
        c.fill(c.rrect_mask((cx + 16, y - 7, cx + 40, y + 7), 6), LINE_LO)
        c.fill(c.rrect_mask((cx + 17, y - 6, cx + 39, y + 6), 5),
               c.gradient((0, y - 6, w, y + 6), [(0, (96, 104, 116)), (1, (60, 66, 76))]))
    # Brand mark on the palm.
    mark = [(cx - 11, 214), (cx - 6, 214), (cx, 228), (cx + 6, 214), (cx + 11, 214), (cx + 3, 236),
            (cx - 3, 236)]
    c.fill(c.polygon_mask(mark), ACCENT, 0.8)
    edge = ImageChops.subtract(body, c.polygon_mask(
        [(cx + (x - cx) * 0.985, top + 1.5 + (y - top) * 0.985) for x, y in outline]))
    c.fill(edge, (150, 160, 175), 0.5)

    # Lines: thin accent strokes ending in a dot at the right edge and at the part.
    for k, pts in leads.items():
        if not leader_lines:
            break
        c.fill(c.line_mask(pts, 1.0, None), ACCENT, 0.75)
        sx, sy = pts[0]
        c.fill(c.ellipse_mask((sx - 2.5, sy - 2.5, sx + 2.5, sy + 2.5)), ACCENT_HI)
        ex, ey = pts[-1]
        c.fill(c.ellipse_mask((ex - 2, ey - 2, ex + 2, ey + 2)), ACCENT_HI)
    return c.result()


def mouse_layout_side():
    """Side view of the mouse (190 x 272), for layouts that show the thumb buttons."""
    w, h = 190, 272
    c = Canvas(w, h)
    pts = []
    for i in range(121):
        t = i / 120
        x = 14 + 162 * t
        y = 170 - 80 * math.sin(math.pi * (t ** 0.8)) ** 0.6
        pts.append((x, y))
    pts += [(176, 196), (14, 196)]
    c.fill(c.polygon_mask([(x + 3, y + 4) for x, y in pts]), (0, 0, 0), 0.45)
    c.fill(c.polygon_mask(pts), c.gradient((0, 80, w, 196), [(0, (62, 68, 78)), (1, (30, 33, 39))]))
    c.fill(c.line_mask([(20, 190), (170, 190)], 2.2), ACCENT, 0.9)
    for x in (70, 96, 122):
        c.fill(c.rrect_mask((x, 130, x + 22, 142), 5), (96, 104, 116))
    save_png(c.result(), "background", "mouse-layout-side.png")


# texts ----------------------------------------------------------------------------------------

def write_ini(name, sections):
    """UTF-16LE with a byte-order mark and CR LF lines, as the Windows profile functions write."""
    lines = []
    for section, entries in sections:
        lines.append(f"[{section}]")
        for key in sorted(entries):
            lines.append(f"{key}={entries[key]}")
        lines.append("")
    data = "\ufeff" + "\r\n".join(lines)
    with open(out_path("strings", name), "wb") as f:
        f.write(data.encode("utf-16-le"))


def main():
    main_window()
    dialogs()
    buttons()
    controls()
    background_parts()
    lighting_panel()
    mouse_layout_front()
    mouse_layout_side()
    write_ini("skins.ini", texts.SKINS_INI)
    write_ini("general.ini", texts.GENERAL_INI)


if __name__ == "__main__":
    main()
