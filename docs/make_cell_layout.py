#!/usr/bin/env python3
"""Draws cell_layout.svg and its render cell_layout.png: the template layout that the
README and the window's help show, labelled in Japanese.

Every fact comes from the C++ sources (the cells, the seed pixels, the fixed colours, the
blank template's and the poison preview's colours), so the picture follows the code; run
it after changing any of them. Standard library and rsvg-convert (librsvg2-bin) only.

    docs/make_cell_layout.py [FOLDER]     # writes into docs/ unless a folder is given
"""
import math
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.join(HERE, '..', 'src')

# Sizes of the drawing, in SVG pixels.
SCALE = 5          # template pixels to drawing pixels in the whole layout
ZOOM = 10          # the same in the enlarged first cell
PAD = 20
FONT = 'IPAPGothic, IPAGothic, sans-serif'  # fonts-ipafont-gothic, which the package needs
INK = '#000000'
MARK = '#e00000'


def read(name):
    with open(os.path.join(SRC, name), encoding='utf-8') as f:
        return f.read()


def between(text, start, end):
    at = text.index(start)
    return text[at:text.index(end, at)]


def number(token):
    return int(token, 0)


def rgb_of(text):
    """The colours written as Rgb(r, g, b) in a piece of source, in order."""
    found = re.findall(r'Rgb\((\w+), (\w+), (\w+)\)', text)
    return ['#%02X%02X%02X' % tuple(number(v) for v in c) for c in found]


def constant_colour(code, name):
    (colour,) = rgb_of(between(code, f'Colour {name} =', ';'))
    return colour


class Facts:
    """What the picture shows, read from the sources that own it."""

    def __init__(self):
        table = between(read('image/sprite_cells.hpp'), 'kSpriteCells', '}};')
        self.cells = [tuple(map(int, m))
                      for m in re.findall(r'\{(\d+), (\d+), (\d+), (\d+)\}', table)]
        assert len(self.cells) == 23, self.cells

        palette = read('image/palette.hpp')
        seeds = between(palette, 'kSeedPixels', ';')
        # {entry, x, y}
        self.seeds = {int(e): (int(x), int(y))
                      for e, x, y in re.findall(r'\{(\d+), (\d+), (\d+)\}', seeds)}
        assert sorted(self.seeds) == [0, 1, 2, 6, 7, 8], self.seeds
        words = re.search(r'kFixedEntryWords = \{0, (0x\w+), (0x\w+)\}', palette)
        self.fixed_words = {1: number(words.group(1)), 2: number(words.group(2))}
        self.reserved = int(re.search(r'kReservedEntry = (\d+);', palette).group(1))

        blank = read('image/blank_template.hpp').replace('inline constexpr ', '')
        self.width = int(re.search(r'kBlankTemplateWidth = (\d+);', blank).group(1))
        self.height = int(re.search(r'kBlankTemplateHeight = (\d+);', blank).group(1))
        self.backdrop = constant_colour(blank, 'kBlankBackdrop')
        self.gaps = constant_colour(blank, 'kBlankGaps')
        self.blank = {1: constant_colour(blank, 'kBlankEntry1'),
                      2: constant_colour(blank, 'kBlankEntry2')}
        poison = rgb_of(between(blank, 'kBlankPoison[3]', ';'))
        self.blank.update(zip((6, 7, 8), poison))

        shown = re.findall(r'\{(\d+), (Rgb\([^)]*\))\}',
                           between(read('image/poison_preview.hpp'), 'kPoisonColours', '}};'))
        self.poisoned = {int(e): rgb_of(c)[0] for e, c in shown}
        assert sorted(self.poisoned) == [6, 7, 8], self.poisoned

        probe = re.search(r'kOriginProbe = \{(\d+), (\d+)\}', read('image/intake.cpp'))
        self.probe = (int(probe.group(1)), int(probe.group(2)))

        # The preview's rule for a palette word's colour; stop if it ever changes.
        assert 'v << 3 | v >> 2' in read('patch/game_preview.hpp')

    @staticmethod
    def widen(word):
        """A palette word as the game shows it (WidenSnesColour)."""
        def channel(v):
            return (v << 3 | v >> 2) & 0xFF
        return '#%02X%02X%02X' % (channel(word & 31), channel(word >> 5 & 31),
                                  channel(word >> 10 & 31))


def text_width(text, size):
    """A generous estimate of a line's width, to keep every label inside the drawing."""
    wide = sum(1 for c in text if ord(c) > 0x2E7F)
    return (wide * 0.95 + (len(text) - wide) * 0.56) * size


# Characters a Japanese line may not start with.
NO_LINE_START = '、。，．・：；？！）」』】〕ー々ぁぃぅぇぉっゃゅょァィゥェォッャュョ'


def wrap(text, size, width):
    """Splits a paragraph into lines that fit, breaking between characters as Japanese
    does, or at a space between Latin words."""
    lines, line = [], ''
    for i, c in enumerate(text):
        if line and text_width(line + c, size) > width and c not in NO_LINE_START:
            # Keep a Latin word or number whole: go back to the space before it.
            cut = len(line)
            if c.isascii() and c != ' ' and line[-1].isascii():
                space = line.rfind(' ')
                cut = space + 1 if space > 0 else cut
            lines.append(line[:cut].rstrip())
            line = line[cut:]
        line += c
    return lines + [line]


class Svg:
    def __init__(self, width):
        self.width = width
        self.parts = []

    def add(self, part):
        self.parts.append(part)

    def rect(self, x, y, w, h, fill, extra=''):
        self.add(f'<rect x="{x}" y="{y}" width="{w}" height="{h}" fill="{fill}"{extra}/>')

    def text(self, x, y, text, size, fill=INK, extra=''):
        assert x + text_width(text, size) <= self.width - PAD / 2 or 'middle' in extra, text
        self.add(f'<text x="{x}" y="{y}" font-size="{size}" fill="{fill}"{extra}>{text}</text>')

    def line(self, x1, y1, x2, y2, stroke=INK, extra=''):
        self.add(f'<line x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}" stroke="{stroke}"'
                 f' stroke-width="1.5"{extra}/>')

    def document(self, height):
        head = [
            '<?xml version="1.0" encoding="UTF-8"?>',
            '<!-- Drawn by docs/make_cell_layout.py from the C++ sources; do not edit. -->',
            f'<svg xmlns="http://www.w3.org/2000/svg" width="{self.width}" height="{height}"'
            f' viewBox="0 0 {self.width} {height}" font-family="{FONT}">',
            f'<rect width="{self.width}" height="{height}" fill="#ffffff"/>',
        ]
        return '\n'.join(head + self.parts + ['</svg>']) + '\n'


def draw_layout(svg, facts, top):
    """The whole template with every cell numbered from 1, as the messages number them."""
    left = PAD
    svg.rect(left, top, facts.width * SCALE, facts.height * SCALE, facts.gaps)
    for n, (x, y, w, h) in enumerate(facts.cells, start=1):
        px, py = left + x * SCALE, top + y * SCALE
        svg.rect(px, py, w * SCALE, h * SCALE, facts.backdrop)
        cx = px + w * SCALE / 2
        middle = ' text-anchor="middle"'
        svg.text(cx, py + 22, str(n), 20, '#ffffff', ' font-weight="bold"' + middle)
        svg.text(cx, py + 38, f'{w}×{h}', 11, '#ffffff', middle)
        svg.text(cx, py + 51, f'({x}, {y})', 11, '#ffffff', middle)
    for entry, (x, y) in facts.seeds.items():
        fill = facts.blank.get(entry, facts.backdrop)
        svg.rect(left + x * SCALE, top + y * SCALE, SCALE, SCALE, fill,
                 f' stroke="{MARK}" stroke-width="1"')
    # The first cell, framed, is drawn enlarged below.
    x, y, w, h = facts.cells[0]
    svg.rect(left + (x - 1) * SCALE, top + (y - 1) * SCALE, (w + 2) * SCALE, (h + 2) * SCALE,
             'none', f' stroke="{MARK}" stroke-width="2" stroke-dasharray="6 3"')
    return top + facts.height * SCALE


def swatch(svg, x, y, colour):
    svg.rect(x, y, 14, 14, colour, ' stroke="#000000" stroke-width="1"')


def draw_seeds(svg, facts, top):
    """Cell 1 and its margin enlarged, each seed pixel led to what it decides."""
    cx, cy, cw, ch = facts.cells[0]
    cols, rows = cw + 2, ch + 2
    left = PAD
    svg.rect(left, top, cols * ZOOM, rows * ZOOM, facts.gaps)
    svg.rect(left + cx * ZOOM, top + cy * ZOOM, cw * ZOOM, ch * ZOOM, facts.backdrop)
    grid = ' stroke="#ffffff" stroke-opacity="0.25" stroke-width="1"'
    for i in range(1, cols):
        svg.add(f'<line x1="{left + i * ZOOM}" y1="{top}" x2="{left + i * ZOOM}"'
                f' y2="{top + rows * ZOOM}"{grid}/>')
    for j in range(1, rows):
        svg.add(f'<line x1="{left}" y1="{top + j * ZOOM}" x2="{left + cols * ZOOM}"'
                f' y2="{top + j * ZOOM}"{grid}/>')
    for entry, (x, y) in facts.seeds.items():
        svg.rect(left + x * ZOOM, top + y * ZOOM, ZOOM, ZOOM, facts.blank.get(entry, facts.backdrop),
                 f' stroke="{MARK}" stroke-width="2"')
    svg.text(left, top + rows * ZOOM + 18, 'セル 1 とその周りの拡大図', 13)

    def at(entry):
        return facts.seeds[entry]

    def pos(entry):
        return '(%d, %d)' % at(entry)

    word = facts.fixed_words
    game = {e: Facts.widen(word[e]) for e in (1, 2)}
    poison = (6, 7, 8)
    notes = [
        (0, [pos(0), f'パレット{0}：背景色。', 'ゲームでは透明になります。'], []),
        (1, [pos(1), f'パレット1：ゲームの固定色 0x{word[1]:04X}',
             f'（{game[1]}）で表示されます。', f'雛形では {facts.blank[1]} です。'],
         [facts.blank[1], game[1]]),
        (7, ['・'.join(pos(e) for e in poison),
             'パレット6・7・8：「毒状態確認」で',
             '・'.join(facts.poisoned[e] for e in poison) + ' に', '置き換わる3色です。'],
         [facts.blank[e] for e in poison] + [facts.poisoned[e] for e in poison]),
        (2, [pos(2), f'パレット2：ゲームの固定色 0x{word[2]:04X}',
             f'（{game[2]}）で表示されます。', f'雛形では {facts.blank[2]} です。'],
         [facts.blank[2], game[2]]),
    ]
    label_x = left + cols * ZOOM + 60
    # Each label stands at its pixel's height, pushed down where the one above needs room.
    next_free = top
    for entry, lines, colours in notes:
        x, y = at(entry)
        pixel_y = top + y * ZOOM + ZOOM / 2
        label_top = max(next_free, pixel_y - 10)
        svg.line(left + (x + 1) * ZOOM, pixel_y, label_x - 8, label_top + 10, MARK)
        svg.text(label_x, label_top + 14, lines[0], 14, extra=' font-weight="bold"')
        for i, line in enumerate(lines[1:], start=1):
            svg.text(label_x, label_top + 14 + i * 19, line, 14)
        sx = label_x + text_width(lines[0], 14) + 12
        for i, colour in enumerate(colours):
            if len(colours) > 2 and i == len(colours) // 2 or len(colours) == 2 and i == 1:
                svg.text(sx, label_top + 13, '→', 14)
                sx += 20
            swatch(svg, sx, label_top + 2, colour)
            sx += 18
        next_free = label_top + 14 + len(lines) * 19 + 8
    return max(top + rows * ZOOM + 24, next_free)


def draw_legend(svg, facts, top):
    left = PAD
    svg.text(left, top + 18, '凡例', 16, extra=' font-weight="bold"')
    y = top + 30
    keys = [
        (facts.backdrop, 'セル。番号はメッセージと同じ 1～23（走査順）、その下は大きさと左上のピクセルです。'),
        (facts.gaps, 'セルの間のすき間と外側の余白。パレットにもパッチにも入りません。'),
        ('seed', 'パレットの色を決めるピクセル（赤枠）。拡大図では雛形の色で示します。'),
        ('frame', '拡大図の範囲：セル 1 とその周りの余白。'),
    ]
    for colour, text in keys:
        if colour == 'seed':
            svg.rect(left, y, 14, 14, facts.backdrop, f' stroke="{MARK}" stroke-width="2"')
        elif colour == 'frame':
            svg.rect(left, y, 14, 14, 'none',
                     f' stroke="{MARK}" stroke-width="2" stroke-dasharray="4 2"')
        else:
            swatch(svg, left, y, colour)
        svg.text(left + 22, y + 12, text, 13)
        y += 22
    probe_x = facts.probe[0]
    notes = [
        f'座標は余白つきの絵（{facts.width} × {facts.height}）の左上を (0, 0) とするピクセルの位置で、'
        'ペイントソフトが示す位置と同じです。'
        f'幅が {probe_x} ピクセル以下の余白のない絵では、セルは (0, 0) から始まり、'
        'どの座標も 1 ずつ小さくなります。',
        'パレット1・2 の色は、ゲームがいつも固定色に置き換えます。'
        '縁取りなどを自分の色で描くときは、ほかの番号の色を使ってください。',
        f'パレット{facts.reserved}は予約で、いつも黒です。テンプレートからは取らないので、'
        'セルに使える色は背景色を含めて 15 色までです。ほかの色は走査順に空いている番号へ入ります。',
    ]
    y += 8
    for note in notes:
        for i, line in enumerate(wrap(note, 13, svg.width - 2 * PAD - 16)):
            svg.text(left + (0 if i == 0 else 16), y + 12, ('・' if i == 0 else '') + line, 13)
            y += 20
        y += 4
    return y


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else HERE
    facts = Facts()
    width = facts.width * SCALE + 2 * PAD
    svg = Svg(width)
    svg.text(PAD, PAD + 18,
             f'テンプレート画像のセルの配置（{facts.width} × {facts.height} ピクセル、余白 1 ピクセルつき）',
             18, extra=' font-weight="bold"')
    bottom = draw_layout(svg, facts, PAD + 34)
    bottom = draw_seeds(svg, facts, bottom + 24)
    bottom = draw_legend(svg, facts, bottom + 12)
    height = math.ceil(bottom + PAD)
    svg_path = os.path.join(out, 'cell_layout.svg')
    with open(svg_path, 'w', encoding='utf-8') as f:
        f.write(svg.document(height))
    # The window's help shows the PNG at its own size, one drawing pixel to one screen pixel.
    try:
        subprocess.run(['rsvg-convert', '-o', os.path.join(out, 'cell_layout.png'), svg_path],
                       check=True)
    except FileNotFoundError:
        sys.exit('make_cell_layout.py: rsvg-convert (librsvg2-bin) is needed for cell_layout.png')


if __name__ == '__main__':
    main()
