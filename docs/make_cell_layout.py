#!/usr/bin/env python3
"""Draws docs/cell_layout.svg, the labelled template layout the README shows.

The 23 cells come from src/image/sprite_cells.hpp and the fixed pixels that seed the
palette from src/image/palette_panel.cpp, so the picture follows the code. Run it from
any folder after changing either; standard library only.
"""
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.join(HERE, '..', 'src', 'image')
WIDTH, HEIGHT = 176, 132
SCALE = 5
LEGEND = 170


def read(name):
    with open(os.path.join(SRC, name), encoding='utf-8') as f:
        return f.read()


def cells():
    table = read('sprite_cells.hpp')
    body = table[table.index('kSpriteCells'):table.index('}};')]
    found = [tuple(map(int, m)) for m in re.findall(r'\{(\d+), (\d+), (\d+), (\d+)\}', body)]
    assert len(found) == 23, found
    return found


def seed_pixels():
    """(x, y, entry) of each fixed pixel, in the order ExtractPalette reads them."""
    code = read('palette_panel.cpp')
    body = code[code.index('ImageStatus ExtractPalette'):]
    body = body[:body.index('Colour known')]
    # Each pixel read is followed by the entry it may fill; the reserved entry is set by name.
    pixels = re.findall(r'pixel\((\d+), (\d+)\)', body)
    entries = re.findall(r'SetPaletteEntry\(image, (?:pixel\(\d+, \d+\)|\w+), (\d+)\)', body)
    assert len(pixels) == len(entries) == 6, (pixels, entries)
    seeds = [(int(x), int(y), int(e)) for (x, y), e in zip(pixels, entries)]
    return seeds


def main():
    out = []
    add = out.append
    w, h = WIDTH * SCALE, HEIGHT * SCALE + LEGEND
    add('<?xml version="1.0" encoding="UTF-8"?>')
    add('<!-- Drawn by docs/make_cell_layout.py from the cell table; do not edit. -->')
    add(f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
        f'viewBox="0 0 {w} {h}" font-family="sans-serif">')
    add(f'<rect width="{w}" height="{h}" fill="#ffffff"/>')
    add(f'<rect width="{WIDTH * SCALE}" height="{HEIGHT * SCALE}" fill="#808080"/>')
    for i, (x, y, cw, ch) in enumerate(cells()):
        px, py = x * SCALE, y * SCALE
        add(f'<rect x="{px}" y="{py}" width="{cw * SCALE}" height="{ch * SCALE}" fill="#008080"/>')
        # Labels stand at the top of the cell, clear of the fixed pixels in cell 0.
        cx = px + cw * SCALE / 2
        add(f'<text x="{cx}" y="{py + 24}" font-size="22" font-weight="bold" fill="#ffffff" '
            f'text-anchor="middle">{i}</text>')
        add(f'<text x="{cx}" y="{py + 40}" font-size="12" fill="#ffffff" '
            f'text-anchor="middle">{cw}×{ch} @ {x},{y}</text>')
    for x, y, entry in seed_pixels():
        add(f'<rect x="{x * SCALE}" y="{y * SCALE}" width="{SCALE}" height="{SCALE}" '
            f'fill="#ff2020" stroke="#000000" stroke-width="1"/>')
        add(f'<text x="{x * SCALE + 8}" y="{y * SCALE + 5}" font-size="11" fill="#ffff00">'
            f'{entry}</text>')
    top = HEIGHT * SCALE + 24
    lines = [
        'Template: 176 × 132 pixels. Teal: the 23 sprite cells (number, size @ top-left pixel).',
        'Grey: the one-pixel gaps and the margin, which never enter the palette.',
        'Red, with their entry in yellow: the six fixed pixels that seed the palette,',
        ', '.join(f'({x}, {y}) → entry {entry}' for x, y, entry in seed_pixels()) + '.',
        'Entry 3 is reserved: always black, never taken from the template, so the cells',
        'hold at most 15 colours. The other colours take the free entries in scan order.',
    ]
    for n, line in enumerate(lines):
        add(f'<text x="8" y="{top + n * 24}" font-size="15" fill="#000000">{line}</text>')
    add('</svg>')
    with open(os.path.join(HERE, 'cell_layout.svg'), 'w', encoding='utf-8') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
