#!/usr/bin/python3
"""Draws the picture on the left of the installer's welcome and finish pages (wizard.bmp,
164 x 314, the size NSIS's Modern UI shows at 100 %): the configurator's graphite header with
its accent light and brand, and the mouse seen from above, in the skin's palette.

Run with Debian's python3 (python3-pil): `/usr/bin/python3 installer/generate_wizard.py`.
"""

import os
import sys

from PIL import Image, ImageDraw, ImageFilter

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(HERE, "..", "skins"))
import generate as skin  # noqa: E402  the skin's palette, canvas and mouse

W, H = 164, 314


def wizard():
    c = skin.Canvas(W, H, skin.WINDOW)
    whole = (0, 0, W, H)
    c.fill(c.rrect_mask(whole, 0), c.gradient(whole, [(0, (26, 29, 34)), (0.35, skin.WINDOW),
                                                      (1, (14, 16, 19))]))
    # The accent light from the upper left, as behind the configurator's brand.
    glow = Image.new("L", (W, H), 0)
    ImageDraw.Draw(glow).ellipse([-60, -70, 150, 90], fill=255)
    glow = glow.filter(ImageFilter.GaussianBlur(36)).resize(c.im.size, Image.BILINEAR)
    c.fill(glow, skin.ACCENT, 0.20)

    # Brand mark and name.
    x, y = 18, 30
    mark = [(x, y), (x + 7, y), (x + 13, y + 17), (x + 19, y), (x + 26, y), (x + 16, y + 26),
            (x + 10, y + 26)]
    c.fill(c.polygon_mask(mark), c.gradient((x, y, x + 26, y + 26),
                                            [(0, skin.ACCENT_HI), (1, skin.ACCENT_LO)]))
    c.text((x + 34, y + 11), "VIREO", "brand", 24, skin.TEXT, anchor="lm", spacing=3)
    c.text((x + 35, y + 31), "GAMING MOUSE", "brand-book", 8, skin.ACCENT_HI, anchor="lm",
           spacing=2.4)
    c.hline(16, W - 16, 78, skin.LINE, 0.6)

    # The mouse on a faint pool of light.
    pool = Image.new("L", (W, H), 0)
    ImageDraw.Draw(pool).ellipse([10, 150, 154, 320], fill=255)
    pool = pool.filter(ImageFilter.GaussianBlur(30)).resize(c.im.size, Image.BILINEAR)
    c.fill(pool, skin.ACCENT, 0.10)
    picture = c.result().convert("RGB")
    mouse = skin.mouse_top_view(leader_lines=False)
    scale = 0.78
    mouse = mouse.resize((round(mouse.width * scale), round(mouse.height * scale)), Image.LANCZOS)
    # The body's centre line is x = 80 of the 190 px view.
    picture.paste(mouse, (W // 2 - round(80 * scale), H - mouse.height - 12), mouse)
    return picture


def main():
    # 24 bits per pixel, as the Modern UI loads it.
    wizard().save(os.path.join(HERE, "wizard.bmp"))


if __name__ == "__main__":
    main()
