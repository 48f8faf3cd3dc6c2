#!/usr/bin/env python3
"""Draws the sample template hero.gif: a 176 x 132 sprite sheet of 15 colours.

The sprite frames stand in the 23 cells the patch reads; the one-pixel gaps between them
are grey, a colour that never reaches the palette. Run it from any folder; it writes the
GIF next to this script. Standard library only.
"""
import os
import struct

WIDTH, HEIGHT = 176, 132

# (x, y, w, h) of the 23 sprite cells.
CELLS = [
    (1, 1, 24, 32), (26, 9, 24, 24), (51, 9, 24, 24), (76, 1, 24, 32), (101, 9, 24, 24),
    (126, 9, 24, 24), (151, 9, 16, 24), (1, 34, 24, 32), (26, 42, 24, 24), (51, 42, 24, 24),
    (76, 34, 24, 32), (101, 34, 24, 32), (126, 42, 24, 24), (1, 67, 24, 32), (26, 67, 24, 32),
    (51, 67, 24, 32), (76, 75, 16, 16), (101, 67, 24, 32), (126, 67, 24, 32), (151, 75, 24, 24),
    (1, 116, 24, 16), (26, 116, 24, 16), (51, 100, 32, 16),
]

COLOURS = [
    (0, 128, 128),    # 0 backdrop of the cells (the transparent colour in the game)
    (240, 240, 208),  # 1 highlight
    (48, 48, 48),     # 2 outline
    (248, 208, 176),  # 3 skin, light
    (224, 168, 136),  # 4 skin
    (184, 128, 104),  # 5 skin, shade
    (120, 64, 32),    # 6 hair
    (80, 40, 24),     # 7 hair, shade
    (40, 80, 200),    # 8 tunic
    (24, 48, 136),    # 9 tunic, shade
    (200, 40, 40),    # 10 scarf
    (168, 168, 184),  # 11 blade
    (96, 64, 40),     # 12 boots
    (232, 192, 48),   # 13 gold
    (16, 16, 64),     # 14 eyes
    (160, 160, 160),  # 15 gaps between cells: outside every cell, never in the palette
]
BACKDROP, HIGHLIGHT, OUTLINE, SKIN, SKIN2, SKIN3, HAIR, HAIR2, TUNIC, TUNIC2, SCARF, BLADE, \
    BOOTS, GOLD, EYES, GAP = range(16)


def draw_figure(px, cx, cy, w, h, frame):
    """One pose of the hero inside a cell: head, body, legs and a sword."""
    def put(x, y, c):
        if cx <= x < cx + w and cy <= y < cy + h:
            px[y][x] = c

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                put(x, y, c)

    scale = h / 32.0
    mid = cx + w // 2
    top = cy + int(round(2 * scale))
    head = max(3, int(round(5 * scale)))
    body_top = top + 2 * head + 1
    legs_top = cy + int(round(24 * scale))
    bottom = cy + h - 1
    lean = (frame % 3) - 1

    # Hair and head, outlined.
    rect(mid - head - 1, top - 1, mid + head, top + 2 * head, OUTLINE)
    rect(mid - head, top, mid + head - 1, top + head - 1, HAIR)
    rect(mid - head, top + head - 1, mid - head, top + 2 * head - 1, HAIR2)
    rect(mid - head + 1, top + head, mid + head - 1, top + 2 * head - 1, SKIN)
    rect(mid + head - 2, top + head, mid + head - 1, top + 2 * head - 1, SKIN2)
    put(mid - 1, top + head + 1, EYES)
    put(mid + 2, top + head + 1, EYES)
    put(mid, top + head + 2, SKIN3)
    # Scarf, tunic and belt.
    rect(mid - head - 1 + lean, body_top - 1, mid + head + lean, legs_top, OUTLINE)
    rect(mid - head + lean, body_top, mid + head - 1 + lean, legs_top - 1, TUNIC)
    rect(mid + lean, body_top, mid + head - 1 + lean, legs_top - 1, TUNIC2)
    rect(mid - head + lean, body_top, mid + head - 1 + lean, body_top, SCARF)
    rect(mid - head + lean, legs_top - 2, mid + head - 1 + lean, legs_top - 2, GOLD)
    put(mid - head + 1 + lean, body_top + 1, HIGHLIGHT)
    # Legs and boots, striding with the frame.
    step = frame % 2
    for leg, dx in ((0, -2 - step), (1, 1 + step)):
        x = mid + dx
        rect(x - 1, legs_top, x + 1, bottom, OUTLINE)
        rect(x, legs_top, x, bottom - 2, SKIN3 if leg else SKIN2)
        rect(x, bottom - 1, x, bottom - 1, BOOTS)
    # A sword held out to one side.
    hand = mid + head + 1 + lean
    rect(hand, body_top + 1, hand + 1, body_top + 2, SKIN)
    for i in range(max(3, int(7 * scale))):
        put(hand + 1 + (i if frame % 4 == 0 else 0), body_top - i, BLADE)
    put(hand + 1, body_top + 1, GOLD)


def draw():
    px = [[GAP] * WIDTH for _ in range(HEIGHT)]
    for frame, (x, y, w, h) in enumerate(CELLS):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                px[yy][xx] = BACKDROP
        draw_figure(px, x, y, w, h, frame)
    # The palette takes entries 1, 2 and 6 to 8 from fixed pixels of the first cell.
    px[13][10] = HIGHLIGHT
    px[32][11] = OUTLINE
    px[15][13], px[16][13], px[17][13] = SKIN, SKIN2, SKIN3
    return px


def lzw(indices, min_code_size):
    """GIF's variable-width LZW, least significant bit first."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, bits, nbits = bytearray(), 0, 0

    def emit(code, width):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    table = {(i,): i for i in range(clear)}
    width, next_code = min_code_size + 1, end + 1
    emit(clear, width)
    word = (indices[0],)
    for k in indices[1:]:
        if word + (k,) in table:
            word += (k,)
            continue
        emit(table[word], width)
        if next_code < 4096:
            table[word + (k,)] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table = {(i,): i for i in range(clear)}
            width, next_code = min_code_size + 1, end + 1
        word = (k,)
    emit(table[word], width)
    emit(end, width)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def image_data(indices, min_code_size):
    """The code size, the LZW stream in blocks of at most 255 bytes, and the terminator."""
    stream = lzw(indices, min_code_size)
    data = bytearray((min_code_size,))
    for i in range(0, len(stream), 255):
        chunk = stream[i:i + 255]
        data.append(len(chunk))
        data += chunk
    data.append(0)
    return bytes(data)


def gif(px):
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", WIDTH, HEIGHT, 0xF3, 0, 0)  # 16-entry global colour table
    for r, g, b in COLOURS:
        data += bytes((r, g, b))
    data += struct.pack("<BHHHHB", 0x2C, 0, 0, WIDTH, HEIGHT, 0)
    data += image_data([c for row in px for c in row], 4)
    data += b";"
    return bytes(data)


if __name__ == "__main__":
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hero.gif")
    with open(path, "wb") as f:
        f.write(gif(draw()))
    print(path)
