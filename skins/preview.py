#!/usr/bin/python3
"""Composes previews of the skinned windows from the skin files, the way the programs lay them out.

`/usr/bin/python3 skins/preview.py [output folder]` writes one PNG per window (default folder
build/skin-preview). Captions are drawn from skins.ini and general.ini in Liberation Sans, which has
Arial's metrics; window outlines are cut from the mask bitmaps. The previews are for looking at, not
for committing.

Windows built from control tables are composed from the tables themselves: the native build writes
them to build/native/layouts.json (tools/layout_dump; another file can be named in VIREO_LAYOUTS),
so a preview and its program place every control from the same rows.
"""

import json
import os
import sys

from PIL import Image, ImageDraw, ImageFont

sys.dont_write_bytecode = True

HERE = os.path.dirname(os.path.abspath(__file__))
SKIN = os.path.join(HERE, "images", "0409")
FONT = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"
FONT_BOLD = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"
FONT_TAHOMA = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def read_ini(name):
    raw = open(os.path.join(SKIN, "strings", name), "rb").read()
    text = raw.decode("utf-16") if raw[:2] == b"\xff\xfe" else raw.decode("latin-1")
    sections, current = {}, None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1].lower(), {})
        elif "=" in line and current is not None:
            k, v = line.split("=", 1)
            current.setdefault(k.strip().lower(), v.strip())
    return sections


SKINS = read_ini("skins.ini")
GENERAL = read_ini("general.ini")


def t(section, n):
    return SKINS.get(section.lower(), {}).get(str(n), "")


def g(section, n):
    return GENERAL.get(section.lower(), {}).get(str(n), "")


def img(folder, name):
    path = os.path.join(SKIN, folder, name)
    return Image.open(path).convert("RGBA") if os.path.exists(path) else None


def font(height, weight=400, face=None):
    # A Windows font height is the cell height; Arial's em is about 0.87 of it.
    path = face or (FONT_BOLD if weight >= 600 else FONT)
    return ImageFont.truetype(path, max(1, round(height * 0.87)))


class Window:
    def __init__(self, background, size=None):
        bg = img("background", background)
        if size:
            bg = bg.resize(size, Image.BILINEAR)
        self.im = bg.copy()
        self.d = ImageDraw.Draw(self.im)

    def picture(self, folder, name, rect):
        pic = img(folder, name)
        if pic is None:
            return
        x0, y0, x1, y1 = rect
        pic = pic.resize((x1 - x0, y1 - y0), Image.BILINEAR)
        layer = Image.new("RGBA", self.im.size, (0, 0, 0, 0))
        layer.paste(pic, (x0, y0))
        self.im.alpha_composite(layer)

    def button(self, folder, face, rect, caption="", height=15, weight=400, mode="box",
               box_width=None, colour=(255, 255, 255)):
        x0, y0, x1, y1 = rect
        # The button fills its rectangle with black before the face.
        self.d.rectangle([x0, y0, x1 - 1, y1 - 1], fill=(0, 0, 0, 255))
        self.picture(folder, face, rect)
        if caption:
            f = font(height, weight)
            w = box_width if box_width is not None else x1 - x0
            if mode == "box":
                self.d.text((x0 + w / 2, (y0 + y1) / 2), caption, font=f, fill=colour, anchor="mm")
            else:  # point mode, centred with an x offset of 9
                self.d.text(((x0 + x1) / 2 + 9, (y0 + y1) / 2), caption, font=f, fill=colour,
                            anchor="mm")

    def label(self, rect, text, height=15, weight=700, align="left", colour=(255, 255, 255),
              face=None):
        x0, y0, x1, y1 = rect
        f = font(height, weight, face)
        if align == "center":
            self.d.text(((x0 + x1) / 2, y0), text, font=f, fill=colour, anchor="ma")
        else:
            self.d.text((x0, y0), text, font=f, fill=colour, anchor="la")

    def hslider(self, rect, value, lo, hi, track="trackbar-back-b.png", thumb="y.png"):
        self.picture("background", track, rect)
        th = img("controls", thumb)
        x0, y0, x1, y1 = rect
        p = (x1 - x0 - th.width) * (value - lo) // (hi - lo)
        self.picture("controls", thumb, (x0 + p, y0, x0 + p + th.width, y0 + th.height))

    def vslider(self, rect, value, lo, hi, track, thumb):
        x0, y0, x1, y1 = rect
        self.d.rectangle([x0, y0, x1 - 1, y1 - 1], fill=(0, 0, 0, 255))
        self.picture("controls", track, rect)
        th = img("controls", thumb)
        p = (y1 - y0 - th.height) * (value - lo) // (hi - lo)
        self.picture("controls", thumb, (x0, y0 + p, x0 + th.width, y0 + p + th.height))

    def shaped(self, mask_folder, mask_name):
        mask = Image.open(os.path.join(SKIN, mask_folder, mask_name)).convert("RGB")
        alpha = mask.convert("L").point(lambda v: 0 if v == 255 else 255)
        out = self.im.copy()
        out.putalpha(alpha)
        return out


def frame(win, page, profile=0):
    win.button("buttons", "min-1.png", (722, 34, 736, 47))
    win.button("buttons", "close-1.png", (742, 34, 756, 47))
    tabs = [(72, 234), (237, 399), (402, 564), (566, 728)]
    for i, (a, b) in enumerate(tabs):
        face = "tabbutton-3.png" if i + 1 == page else "tabbutton-1.png"
        win.button("buttons", face, (a, 162, b, 182), t("General", 49 + i), 17, 700)
    if page != 4:
        for i in range(5):
            face = "ProfileButton-3.png" if i == profile else "ProfileButton-1.png"
            if i == 3:
                face = "ProfileButton-2.png" if i != profile else face
            win.button("buttons", face, (109 + 120 * i, 525, 194 + 120 * i, 544),
                       t("General", 53 + i), 17, 700)
    row = [(649, 742, 48), (57, 150, 42), (157, 250, 43), (255, 348, 44), (355, 448, 45),
           (453, 547, 46), (551, 644, 47)]
    for a, b, key in row:
        face = "ok-3.png" if key == 48 else "ok-1.png"
        win.button("buttons", face, (a, 560, b, 586), t("General", key), 15, 700)


def page1(win):
    win.picture("background", "mouse-layout-front.png", (101, 201, 291, 473))
    captions = [g("FUNCTION_STRING", 1), g("FUNCTION_STRING", 2), g("FUNCTION_STRING", 3), "F5",
                "Ctrl + C", g("FUNCTION_STRING", 16), g("DPI", 2), g("DPI", 3), g("SCROLL", 1),
                g("SCROLL", 2)]
    for i in range(10):
        y = 201 + 28 * i if i < 8 else (425 if i == 8 else 453)
        mark = "circle.png" if i < 8 else ("circle_up.png" if i == 8 else "circle_down.png")
        win.button("controls", mark, (313, y, 332, y + 18), str(i + 1) if i < 8 else "", 15, 700)
        face = "ButtonAssign-3.png" if i == 2 else "ButtonAssign-1.png"
        win.button("buttons", face, (334, y, 481, y + 20), captions[i], 15, 700)
    for k, (ly, sy, value, hi) in enumerate([(200, 219, 2, 4), (247, 268, 10, 20), (296, 314, 3, 63),
                                             (349, 374, 5, 10)]):
        win.label((511, ly, 721, ly + 16), t("General", 1 + k))
        win.hslider((511, sy, 721, sy + 18), value, 1, hi)
    win.label((511, 418, 721, 434), t("General", 5))
    for k, (a, b) in enumerate([(510, 563), (565, 618), (620, 673), (675, 734)]):
        face = "checkbox1-2.png" if k == 2 else "checkbox1-1.png"
        win.button("controls", face, (a, 441, b, 457), t("General", 6 + k), 15, 400, mode="point")


def page2(win):
    win.label((73, 185, 378, 202), f"{t('General', 91)} : 2")
    stages = [(10, 10, 1), (20, 20, 1), (35, 35, 1), (50, 30, 0), (60, 60, 1)]
    enabled = [1, 1, 1, 1, 0]
    for i, x in enumerate([146, 271, 396, 516, 636]):
        dx = x - 146
        face = "DPI-2.png" if enabled[i] else "DPI-1.png"
        win.button("background", face, (x, 205, x + 62, 227), t("General", 15 + i), 17, 700,
                   box_width=57)
        win.label((174 + dx, 237, 187 + dx, 250), "+", 15, 700)
        X, Y, linked = stages[i]
        if linked:
            win.vslider((152 + dx, 258, 203 + dx, 439), 76 - Y, 1, 75, "dpi-indicator-x2.png",
                        "x2.png")
        else:
            win.vslider((152 + dx, 258, 174 + dx, 439), 76 - X, 1, 75, "dpi-indicator-x.png",
                        "x.png")
            win.vslider((186 + dx, 258, 208 + dx, 439), 76 - Y, 1, 75, "dpi-indicator-y.png",
                        "x3.png")
        win.label((175 + dx, 444, 188 + dx, 457), "-", 15, 700)

        def dpi(v):
            return v * 100 if v <= 50 else (v - 25) * 200
        win.label((163 + dx, 462, 196 + dx, 475), str(dpi(X)), 13)
        win.label((194 + dx, 462, 226 + dx, 475), str(dpi(Y)), 13)


def picker_rows(base):
    rows = []
    for i in range(120):
        if i == 119:
            c = (0, 0, 0)
        elif i <= 60:
            c = tuple(int(255.0 - ((255 - ch) / 60.0) * i) for ch in base)
        else:
            c = tuple(int((ch / 60.0) * (119 - i)) for ch in base)
        rows.append((255 - 2 * i, c))
    return rows


def page3(win, mode=0):
    win.picture("background", "light.png", (100, 201, 708, 482))
    for m in range(8):
        if m < 4:
            face = "color-mode-page-2.png" if m == mode else "color-mode-page-1.png"
            rect = (100 + 150 * m, 210, 250 + 150 * m, 236)
        else:
            face = "color-mode-page-4.png" if m == mode else "color-mode-page-3.png"
            rect = (100 + 150 * (m - 4), 480, 250 + 150 * (m - 4), 506)
        win.button("buttons", face, rect, t("General", 80 + m), 17, 700)
    if mode in (0, 2, 6):
        names = ["红色.png", "橙色.png", "黄色.png", "绿色.png", "青色.png", "蓝色.png", "紫色.png"]
        for k, name in enumerate(names):
            win.button("background", name, (107 + 26 * k, 288, 131 + 26 * k, 312))
        win.label((108, 260, 204, 280), t("General", 23))
        win.label((308, 260, 461, 280), t("General", 24))
        for i, (grey, c) in enumerate(picker_rows((0, 172, 253))):
            for x in range(330, 458):
                u = (x - 330) / 128
                col = tuple(int(grey + (c[j] - grey) * u) for j in range(3))
                win.im.putpixel((x, 294 + i), col + (255,))
        win.d.ellipse([380, 320, 385, 325], outline=(0, 0, 0), width=2)
        win.d.ellipse([380, 320, 385, 325], outline=(255, 255, 255), width=1)
        win.label((508, 260, 650, 280), t("General", 25))
        win.label((508, 381, 640, 400), t("General", 29))
        for j in range(3):
            face = "checkbox1-2.png" if j == 1 else "checkbox1-1.png"
            win.button("controls", face, (527, 290 + 24 * j, 616, 306 + 24 * j),
                       t("General", 26 + j), 15, 400, mode="point")
            face = "checkbox1-2.png" if j == 0 else "checkbox1-1.png"
            win.button("controls", face, (527, 410 + 24 * j, 616, 426 + 24 * j),
                       t("General", 30 + j), 15, 400, mode="point")
    else:
        win.label((108, 260, 220, 280), t("General", 25))
        win.label((248, 260, 380, 280), t("General", 29))
        for j in range(3):
            face = "checkbox1-2.png" if j == 2 else "checkbox1-1.png"
            win.button("controls", face, (127, 290 + 24 * j, 216, 306 + 24 * j),
                       t("General", 26 + j), 15, 400, mode="point")
            win.button("controls", face, (257, 290 + 24 * j, 346, 306 + 24 * j),
                       t("General", 30 + j), 15, 400, mode="point")


def page4(win):
    for key, rect in ((37, (289, 228, 530, 245)), (38, (226, 251, 601, 268)),
                      (39, (227, 275, 600, 292)), (40, (295, 358, 521, 374)),
                      (41, (275, 384, 541, 410))):
        win.label(rect, t("General", key), 15, 400, align="center")


def main_window(page, **kw):
    win = Window("cfgMainback.png")
    frame(win, page)
    [page1, page2, page3, page4][page - 1](win, **kw)
    return win.shaped("background", "cfgMainback.bmp")


def dialog_buttons(win):
    win.button("buttons", "ok-3.png", (135, 219, 228, 245), t("General", 46), 15, 700)
    win.button("buttons", "ok-1.png", (234, 219, 327, 245), t("General", 47), 15, 700)


def warning_window():
    win = Window("dlg.png")
    win.picture("background", "warn.png", (34, 104, 130, 194))
    win.label((103, 42, 376, 69), t("WARNING", 6), 21, 700, align="center")
    win.label((127, 103, 405, 141), t("WARNING", 7), 16, 400)
    win.label((127, 157, 405, 187), t("WARNING", 8), 15, 400)
    dialog_buttons(win)
    return win.im


def macro_window():
    win = Window("dlg.png", (757, 582))
    for rect in ((27, 78, 236, 507), (253, 80, 572, 509), (572, 80, 727, 509)):
        win.d.rectangle([rect[0], rect[1], rect[2], rect[3]], outline=(1, 60, 100), width=2)
    win.d.line([(246, 88), (246, 503)], fill=(115, 115, 115), width=1)
    # the two lists
    panel = Image.new("RGBA", (173, 346), (85, 84, 84, 255))
    win.im.alpha_composite(panel, (38, 120))
    for r, name in enumerate(["Reload", "Build combo", "Quick chat"]):
        if r == 0:
            win.d.rectangle([38, 120, 210, 142], fill=(200, 0, 0))
        win.d.text((46, 120 + 23 * r + 3), name, font=font(14), fill=(200, 200, 200))
    win.d.rectangle([275, 143, 547, 409], fill=(6, 6, 6))
    press, release = img("background", "423.png"), img("background", "424.png")
    rows = [(press, "R"), (None, "60"), (release, "R"), (None, "120"), (press, "Enter")]
    for r, (icon, text) in enumerate(rows):
        y = 143 + 23 * r
        if r == 1:
            win.d.rectangle([275, y, 547, y + 22], fill=(200, 0, 0))
        if icon:
            win.im.alpha_composite(icon, (280, y + 5))
        x = 307 + (15 * 4 if icon else 46 * 4)
        win.d.text((x, y + 3), text, font=font(14), fill=(200, 200, 200))
    # buttons
    for key, rect in ((18, (29, 478, 130, 496)), (19, (132, 478, 233, 496))):
        win.button("buttons", "ButtonAssign-1.png", rect, t("MACRO", key), 15, 400)
    win.button("buttons", "iconstart1.png", (359, 480, 389, 503))
    win.button("buttons", "iconstop1.png", (452, 480, 482, 503))
    for k in range(8):
        y = 322 + 22 * k
        face = "RedButton-1.png" if k == 6 else "ButtonAssign-1.png"
        win.button("buttons", face, (592, y, 718, y + 19), t("MACRO", 20 + k), 15, 400)
    for key, rect in ((29, (38, 516, 127, 541)), (30, (132, 516, 221, 541)),
                      (None, (518, 516, 607, 541)), (None, (617, 516, 706, 541))):
        caption = t("MACRO", key) if key else t("General", 46 if rect[0] == 518 else 47)
        win.button("buttons", "ok-1.png", rect, caption, 15, 700)
    for n, (box, label) in enumerate([((588, 128, 599, 139), (608, 124, 703, 146, 12)),
                                      ((588, 159, 599, 170), (608, 159, 725, 170, 13)),
                                      ((588, 200, 599, 211), (608, 199, 726, 212, 15)),
                                      ((588, 240, 599, 251), (608, 237, 724, 262, 16)),
                                      ((588, 280, 599, 291), (608, 277, 724, 302, 28))]):
        face = "checkbox1-2.png" if n in (0, 2) else "checkbox1-1.png"
        win.button("controls", face, box)
        win.label(label[:4], t("MACRO", label[4]), 12, 400)
    for rect, value in (((608, 176, 641, 191), "10"), ((608, 216, 641, 231), "1")):
        win.d.rectangle([rect[0], rect[1], rect[2] - 1, rect[3] - 1], fill=(0, 0, 0))
        win.d.text((rect[0] + 2, rect[1] + 1), value, font=font(13), fill="white")
    win.label((648, 180, 672, 190), t("MACRO", 14), 12, 400)
    win.label((220, 29, 510, 58), t("MACRO", 1), 21, 700, align="center")
    for key, rect, h, w in ((2, (32, 92, 156, 110), 14, 400), (3, (277, 90, 480, 107), 16, 700),
                            (4, (284, 122, 342, 137), 14, 400), (5, (362, 122, 418, 137), 14, 400),
                            (6, (447, 122, 557, 137), 14, 400), (7, (355, 420, 477, 435), 14, 400),
                            (8, (547, 420, 564, 435), 14, 400), (9, (355, 445, 477, 459), 14, 400),
                            (17, (577, 303, 727, 319), 16, 700)):
        win.label(rect, t("MACRO", key), h, w)
    win.label((517, 445, 566, 458), t("MACRO", 10), 14, 400, align="center")
    win.label((578, 90, 691, 108), t("MACRO", 11), 16, 400, align="center")
    win.label((483, 421, 542, 434), "180", 14, 400, align="center")
    win.label((468, 443, 508, 456), "5", 14, 400, align="center")
    return win.shaped("background", "cfgMainback3.bmp")


def menu_window():
    row = img("background", "menuitem-n.png")
    w, h = row.width, row.height
    items = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 100, 12, 13, 14, 15, 54, 16]
    sub_rows = {7, 8, 9, 10, 12, 14}
    canvas = Image.new("RGBA", (w + 20 + w + 40, len(items) * h + 40), (40, 40, 40, 255))
    menu = Image.new("RGBA", (w + 20, len(items) * h))
    pic = Window.__new__(Window)
    pic.im = menu
    pic.d = ImageDraw.Draw(menu)
    pic.picture("background", "menuitem-n.png", (0, 0, w + 20, len(items) * h))
    for i, code in enumerate(items):
        if code == 100:
            text = g("FUNCTION_STRING", 100)
        elif code >= 52:
            text = g("SCROLL", code - 51)
        else:
            text = g("FUNCTION_STRING", code)
        hover = i == 8
        if i in sub_rows:
            face = "menuitem-d2.png" if hover else "menuitem-n2.png"
        else:
            face = "menuitem-d.png" if hover else "menuitem-n.png"
        colour = (200, 200, 200) if hover else (255, 255, 255)
        pic.button("background", face, (0, i * h, w + 20, (i + 1) * h), text, 15, 400,
                   colour=colour)
    canvas.alpha_composite(menu, (0, 0))
    sub = Image.new("RGBA", (w, 14 * h + 1))
    sp = Window.__new__(Window)
    sp.im = sub
    sp.d = ImageDraw.Draw(sub)
    for j in range(14):
        face = "menuitem-d.png" if j == 3 else "menuitem-n.png"
        sp.button("background", face, (0, 1 + j * h, w, j * h + h), g("ADVANCED", j + 1), 15, 400,
                  colour=(200, 200, 200) if j == 3 else (255, 255, 255))
    canvas.alpha_composite(sub, (w + 20, max(0, 8 * h - 100)))
    return canvas


# ---------------------------------------------------------------- windows from control tables

def load_layouts():
    path = os.environ.get("VIREO_LAYOUTS") or os.path.join(HERE, "..", "build", "native",
                                                           "layouts.json")
    if not os.path.exists(path):
        print(f"{path} is missing: build the native tree for the windows made from tables",
              file=sys.stderr)
        return {}
    with open(path, encoding="utf-8") as f:
        return {w["name"]: w for w in json.load(f)["windows"]}


def image_of(ref):
    if not ref:
        return None
    pic = img(ref["folder"], ref["file"])
    if pic is not None and ref.get("turn") == 90:
        pic = pic.rotate(-90, expand=True)
    return pic


def text_of(key):
    if not key:
        return ""
    return key["fixed"] if "fixed" in key else t(key["section"], key["number"])


def fit(draw, text, f, width):
    """The text cut with an ellipsis to `width`, as the buttons' DT_END_ELLIPSIS does."""
    if draw.textlength(text, font=f) <= width:
        return text
    while text and draw.textlength(text + "...", font=f) > width:
        text = text[:-1]
    return text + "..."


def rgb(colour, default=(255, 255, 255)):
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5)) if colour else default


class TableWindow(Window):
    """A window composed from its control table, as SkinnedDialog and ControlSet build it."""

    def __init__(self, layout):
        bg = image_of(layout["background"])
        size = (layout["width"], layout["height"]) if layout["width"] > 0 else None
        if bg is None:
            bg = Image.new("RGBA", size or (320, 40), (0, 0, 0, 255))
        elif size:
            bg = bg.resize(size, Image.BILINEAR)
        self.layout = layout
        self.ticked = set()
        self.im = bg.copy()
        self.d = ImageDraw.Draw(self.im)

    def paste(self, pic, rect):
        if pic is None or rect[2] <= rect[0] or rect[3] <= rect[1]:
            return
        pic = pic.resize((rect[2] - rect[0], rect[3] - rect[1]), Image.BILINEAR).convert("RGBA")
        layer = Image.new("RGBA", self.im.size, (0, 0, 0, 0))
        layer.paste(pic, (rect[0], rect[1]))
        self.im.alpha_composite(layer)

    def table_button(self, row, rect, caption):
        faces = row["faces"]
        ticked = row["ticked"] or row["id"] in self.ticked
        face = faces[2] if ticked else faces[3] if row["disabled"] else faces[0]
        self.d.rectangle([rect[0], rect[1], rect[2] - 1, rect[3] - 1], fill=(0, 0, 0, 255))
        self.paste(image_of(face), rect)
        if not caption or row["caption"] == "none":
            return
        f = font(row["font"]["height"], row["font"]["weight"])
        colour = rgb(row["colours"][0])
        x0, y0, x1, y1 = rect
        if row["caption"] == "box":
            w = x1 - x0 - row["boxInsetRight"]
            self.d.text((x0 + w / 2, (y0 + y1) / 2), fit(self.d, caption, f, w), font=f,
                        fill=colour, anchor="mm")
        elif row["caption"] == "point":
            self.d.text(((x0 + x1) / 2 + row["pointOffset"], (y0 + y1) / 2), caption, font=f,
                        fill=colour, anchor="mm")
        elif row["caption"] == "left":
            self.d.text((x0, (y0 + y1) / 2), caption, font=f, fill=colour, anchor="lm")
        else:
            box = Image.new("RGBA", (y1 - y0, x1 - x0), (0, 0, 0, 0))
            ImageDraw.Draw(box).text(((y1 - y0) / 2, (x1 - x0) / 2), caption, font=f, fill=colour,
                                     anchor="mm")
            box = box.rotate(90 if row["caption"] == "rotated90" else -90, expand=True)
            self.im.alpha_composite(box, (x0, y0))

    def table_slider(self, row, rect, value):
        x0, y0, x1, y1 = rect
        if row["axis"] == "vertical":
            self.d.rectangle([x0, y0, x1 - 1, y1 - 1], fill=(0, 0, 0, 255))
        self.paste(image_of(row["track"]), rect)
        thumb = image_of(row["disabledThumb"] if row["disabled"] and row["disabledThumb"]
                         else row["thumb"])
        if thumb is None:
            return
        lo, hi = row["minimum"], row["maximum"]
        step = 0 if hi == lo else (min(max(value, lo), hi) - lo) / (hi - lo)
        if row["axis"] == "horizontal":
            x = x0 + int((x1 - x0 - thumb.width) * step)
            y = y0 + (y1 - y0 - thumb.height) // 2
        else:
            x = x0 + (x1 - x0 - thumb.width) // 2
            y = y0 + int((y1 - y0 - thumb.height) * step)
        self.paste(thumb, (x, y, x + thumb.width, y + thumb.height))

    def table_marker(self, row, rect, value):
        back, fill = image_of(row["background"]), image_of(row["fill"])
        w, h = rect[2] - rect[0], rect[3] - rect[1]
        sx0, sy0, sx1, sy1 = row["source"]
        source = (sx0, sy0, sx1, sy1) if sx1 > sx0 and sy1 > sy0 else (0, 0, w, h)
        self.d.rectangle([rect[0], rect[1], rect[2] - 1, rect[3] - 1], fill=(0, 0, 0, 255))
        if back is not None:
            self.im.paste(back.crop(source), (rect[0], rect[1]))
        lo, hi = row["minimum"], row["maximum"]
        if fill is not None and lo <= value <= hi and hi > lo:
            part = w * (value - lo) // (hi - lo)
            if part > 0:
                self.im.paste(fill.crop((source[0], source[1], source[0] + part, source[3])),
                              (rect[0], rect[1]))

    def table_label(self, row, rect, text):
        if row["background"]:
            self.d.rectangle([rect[0], rect[1], rect[2] - 1, rect[3] - 1],
                             fill=rgb(row["background"]))
        if text:
            align = {"centre": "center", "right": "right"}.get(row["align"], "left")
            f = font(row["font"]["height"], row["font"]["weight"])
            colour = rgb(row["colour"])
            if align == "right":
                self.d.text((rect[2], rect[1]), text, font=f, fill=colour, anchor="ra")
            elif align == "center":
                self.d.text(((rect[0] + rect[2]) / 2, rect[1]), text, font=f, fill=colour,
                            anchor="ma")
            else:
                self.d.text((rect[0], rect[1]), text, font=f, fill=colour, anchor="la")

    def table_edit(self, row, rect, text):
        self.d.rectangle([rect[0], rect[1], rect[2] - 1, rect[3] - 1],
                         fill=rgb(row["backgroundColour"], (0, 0, 0)),
                         outline=(255, 255, 255) if row["border"] else None)
        height = row["font"]["height"] or 13
        self.d.text((rect[0] + 2, rect[1] + 1), text, font=font(height, row["font"]["weight"]),
                    fill=rgb(row["textColour"]))

    def table_list(self, row, rect):
        fill = (85, 84, 84) if row["macroListMode"] else (6, 6, 6)
        self.d.rectangle([rect[0], rect[1], rect[2] - 1, rect[3] - 1], fill=fill)

    def compose(self, page=None, texts=None, values=None, ticked=()):
        """Draws every row shown on `page`; `texts`, `values` and `ticked` by id stand for what
        the window sets itself (captions from state, slider and bar positions, radio choices)."""
        texts, values, self.ticked = texts or {}, values or {}, set(ticked)
        full = (0, 0) + self.im.size
        for row in self.layout["controls"]:
            if page is not None and row["pages"] and page not in row["pages"]:
                continue
            rect = full if row["fillsClient"] else tuple(row["place"])
            text = texts.get(row["id"], text_of(row["text"]))
            value = values.get(row["id"], row.get("minimum", 0))
            kind = row["kind"]
            if kind == "button":
                self.table_button(row, rect, text)
            elif kind == "slider":
                self.table_slider(row, rect, value)
            elif kind == "marker":
                self.table_marker(row, rect, value)
            elif kind == "label":
                self.table_label(row, rect, text)
            elif kind == "edit":
                self.table_edit(row, rect, text)
            elif kind == "listbox":
                self.table_list(row, rect)
        mask = self.layout["mask"]
        if not mask:
            return self.im
        return self.shaped(mask["folder"], mask["file"])


def table_windows(layouts):
    shots = {}
    if "gallery" in layouts:
        shots["gallery"] = TableWindow(layouts["gallery"]).compose(
            texts={1005: g("FUNCTION_STRING", 1)},
            values={2001: 4, 2002: 9, 2003: 3, 2004: 8, 5001: 25, 5002: 50, 5003: 100})
    if "progress" in layouts:
        shots["progress"] = TableWindow(layouts["progress"]).compose(values={1000: 60})
    # The key windows as their openers fill them (title 1001, prompt 1002, key field 1003).
    if "single-key" in layouts:
        shots["key-window"] = TableWindow(layouts["single-key"]).compose(
            texts={1001: t("SINGLEKEY", 1), 1002: t("SINGLEKEY", 2), 1003: "Space Bar"})
        shots["key-window-combination"] = TableWindow(layouts["single-key"]).compose(
            texts={1001: t("SINGLEKEY", 3), 1002: t("SINGLEKEY", 4), 1003: "Ctrl + C"})
    if "fire-key" in layouts:
        shots["fire-window"] = TableWindow(layouts["fire-key"]).compose(
            texts={1001: t("SINGLEKEY", 7), 1003: "Space Bar", 0x5001: "3", 0x5002: "10"},
            ticked={1013})
    if "text-input" in layouts:
        shots["text-input"] = TableWindow(layouts["text-input"]).compose(
            texts={1001: t("SINGLEKEY", 5), 1002: t("SINGLEKEY", 6), 0x5002: "NewMacro 1"})
    return shots


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "skin-preview")
    os.makedirs(folder, exist_ok=True)
    shots = {
        "main-1-buttons": main_window(1),
        "main-2-dpi": main_window(2),
        "main-3-lighting": main_window(3, mode=0),
        "main-3-lighting-mode1": main_window(3, mode=1),
        "main-4-about": main_window(4),
        "warning": warning_window(),
        "macro-editor": macro_window(),
        "menu": menu_window(),
    }
    shots.update(table_windows(load_layouts()))
    for name, picture in shots.items():
        flat = Image.new("RGBA", picture.size, (96, 104, 112, 255))
        flat.alpha_composite(picture)
        flat.convert("RGB").save(os.path.join(folder, name + ".png"))
    print(folder)


if __name__ == "__main__":
    main()
