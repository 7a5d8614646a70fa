#!/usr/bin/python3
"""Draws the program icon of hid.exe and beacon.exe: a small mouse seen from above, graphite body
with an azure wheel and seam, in the skin's palette.

Run with Debian's python3 (python3-pil): `/usr/bin/python3 agent/win32/res/generate_icon.py`.
Every size is drawn on its own at eight times its size and scaled down, so the 16 px icon keeps
a clear outline instead of being a blurred copy of the 48 px one.
"""

import os
import sys

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "skins"))
import generate as skin  # noqa: E402  the skin's palette

SS = 8

OUTLINE = skin.LINE_LO
BODY_TOP = (72, 80, 92)  # lighter than any skin surface, so the small body reads as raised
BODY_BOTTOM = skin.SURFACE_HI
SEAM = skin.WINDOW
ACCENT = skin.ACCENT
ACCENT_HI = skin.ACCENT_HI


def vertical_gradient(w, h, top, bottom):
    img = Image.new("RGBA", (w, h))
    draw = ImageDraw.Draw(img)
    for y in range(h):
        t = y / max(1, h - 1)
        color = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        draw.line([(0, y), (w, y)], fill=color + (255,))
    return img


def mouse(size):
    n = size * SS
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))

    # Body: a tall rounded shape, a little narrower than high, filling the square's height.
    margin_x = round(n * 0.17)
    margin_y = round(n * 0.03)
    body = (margin_x, margin_y, n - margin_x - 1, n - margin_y - 1)
    radius = round((body[2] - body[0]) * 0.48)
    mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(mask).rounded_rectangle(body, radius, fill=255)

    outline = Image.new("RGBA", (n, n), OUTLINE + (255,))
    img.paste(outline, (0, 0), mask)

    # The surface inside a dark rim of about 1 px at the final size.
    rim = SS if size <= 16 else round(SS * 1.25)
    inner = (body[0] + rim, body[1] + rim, body[2] - rim, body[3] - rim)
    inner_mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(inner_mask).rounded_rectangle(inner, radius - rim, fill=255)
    img.paste(vertical_gradient(n, n, BODY_TOP, BODY_BOTTOM), (0, 0), inner_mask)

    draw = ImageDraw.Draw(img)
    cx = n // 2
    # The seam between the two buttons, and the line that ends them.
    seam_w = max(SS, round(n * 0.035))
    buttons_end = body[1] + round((body[3] - body[1]) * 0.42)
    draw.rectangle((cx - seam_w // 2, inner[1], cx + seam_w // 2, buttons_end), fill=SEAM + (255,))
    draw.rectangle((inner[0], buttons_end - seam_w // 2, inner[2], buttons_end + seam_w // 2),
                   fill=SEAM + (255,))

    # The wheel: the accent, bright in the middle.
    wheel_w = max(2 * SS, round(n * 0.12))
    wheel_top = body[1] + round((body[3] - body[1]) * 0.12)
    wheel_bottom = body[1] + round((body[3] - body[1]) * 0.32)
    draw.rounded_rectangle((cx - wheel_w // 2, wheel_top, cx + wheel_w // 2, wheel_bottom),
                           wheel_w // 2, fill=ACCENT + (255,))
    if size >= 32:
        hi_w = max(SS, wheel_w // 3)
        draw.rounded_rectangle((cx - hi_w // 2, wheel_top + SS, cx + hi_w // 2,
                                wheel_bottom - SS), hi_w // 2, fill=ACCENT_HI + (255,))

    # An accent light strip near the bottom of the body, the skin's lighting.
    strip_y = body[1] + round((body[3] - body[1]) * 0.80)
    strip_h = max(SS, round(n * 0.04))
    strip_w = round((inner[2] - inner[0]) * 0.46)
    draw.rounded_rectangle((cx - strip_w // 2, strip_y, cx + strip_w // 2, strip_y + strip_h),
                           strip_h // 2, fill=ACCENT + (255,))

    return img.resize((size, size), Image.LANCZOS)


def main():
    sizes = [16, 32, 48]
    images = [mouse(size) for size in sizes]
    # Largest first: the ICO writer takes the others as further entries of the same file.
    images[-1].save(os.path.join(HERE, "vireo.ico"), format="ICO",
                    sizes=[(s, s) for s in sizes], append_images=images[:-1])
    preview = Image.new("RGBA", (16 + 32 + 48 + 40, 58), skin.SURFACE + (255,))
    x = 10
    for img in images:
        preview.alpha_composite(img, (x, 5))
        x += img.width + 10
    preview.save(os.path.join(HERE, "vireo-icon-preview.png"))


if __name__ == "__main__":
    main()
