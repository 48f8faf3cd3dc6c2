#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into corpus/<target>/.

Seeds are small real inputs: the sample template drawn as GIF, as BMP of several kinds
and as PNG, small PNGs of every colour type and bit depth, the test settings files, the sample sheet and patch, and a few texts. Inputs that
once broke a reader are added by hand as corpus/<target>/regress-*; this script never
touches them. Standard library only; run it from any folder.
"""
import os
import shutil
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "examples"))
import make_sample_template as sample  # noqa: E402


def out(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def bmp(px, palette, bits, top_down=False, rle8=False):
    """An indexed bitmap (1, 4 or 8 bits), or 24 bits when palette is given for lookup."""
    height, width = len(px), len(px[0])
    rows = []
    for row in px:
        if bits == 24:
            line = b"".join(bytes((palette[c][2], palette[c][1], palette[c][0])) for c in row)
        elif bits == 8:
            line = bytes(row)
        elif bits == 4:
            line = bytes((row[i] << 4) | (row[i + 1] if i + 1 < width else 0)
                         for i in range(0, width, 2))
        else:
            line = bytes(sum((row[i + k] & 1) << (7 - k) for k in range(8) if i + k < width)
                         for i in range(0, width, 8))
        rows.append(line + b"\0" * (-len(line) % 4))
    order = rows if top_down else rows[::-1]
    if rle8:
        data = bytearray()
        for row in (px[::-1]):
            x = 0
            while x < width:
                run = 1
                while x + run < width and run < 255 and row[x + run] == row[x]:
                    run += 1
                data += bytes((run, row[x]))
                x += run
            data += b"\0\0"
        data += b"\0\1"
        pixels = bytes(data)
    else:
        pixels = b"".join(order)
    colours = b"" if bits == 24 else b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(colours)
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits,
                       1 if rle8 else 0, len(pixels), 2835, 2835,
                       0 if bits == 24 else len(palette), 0)
    return header + info + colours + pixels


def small_gif(px, palette, transparent=None, frames=1):
    height, width = len(px), len(px[0])
    size_bits = max(1, (len(palette) - 1).bit_length())
    table = list(palette) + [(0, 0, 0)] * ((1 << size_bits) - len(palette))
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0x80 | (size_bits - 1), 0, 0)
    for r, g, b in table:
        data += bytes((r, g, b))
    for _ in range(frames):
        if transparent is not None:
            data += bytes((0x21, 0xF9, 4, 1, 10, 0, transparent, 0))
        data += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
        data += sample.image_data([c for row in px for c in row], max(2, size_bits))
    data += b";"
    return bytes(data)


def gif_frame_variant(px, palette):
    """A frame smaller than the screen, interlaced, with its own colour table."""
    height, width = len(px), len(px[0])
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width + 3, height + 2, 0x80 | 1, 1, 0)  # 4-entry global table
    for r, g, b in palette[:4]:
        data += bytes((r, g, b))
    data += bytes((0x21, 0xFE, 3)) + b"hey" + b"\0"  # a comment first
    data += struct.pack("<BHHHHB", 0x2C, 2, 1, width, height, 0x80 | 0x40 | 1)
    for r, g, b in palette[:4][::-1]:
        data += bytes((r, g, b))
    rows = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, height, step)]
    data += sample.image_data([c for y in rows for c in px[y]], 2)
    data += b";"
    return bytes(data)


def bmp_fields(px, palette, bits, header_size, masks, alpha=None):
    """A 16- or 32-bit bitmap with bit fields, in a version 1, 3 or 5 header."""
    height, width = len(px), len(px[0])
    def pack(colour, a):
        value = 0
        for channel, mask in zip(colour + (a,), masks):
            if mask:
                shift = (mask & -mask).bit_length() - 1
                top = mask >> shift
                value |= ((channel * top) // 255) << shift
        return value
    rows = []
    for y, row in enumerate(px[::-1]):
        line = b"".join(struct.pack("<H" if bits == 16 else "<I",
                                    pack(palette[c], 0 if alpha is not None and c == alpha else 255))
                        for c in row)
        rows.append(line + b"\0" * (-len(line) % 4))
    pixels = b"".join(rows)
    extra = 12 if header_size == 40 else 0
    offset = 14 + header_size + extra
    info = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, bits, 3, len(pixels),
                       2835, 2835, 0, 0)
    fields = struct.pack("<III", *masks[:3]) if header_size == 40 else struct.pack("<IIII", *masks)
    info = (info + fields).ljust(header_size + extra, b"\0")
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + pixels


def template_seeds():
    hero = sample.draw()
    out("template_intake", "hero.gif", sample.gif(hero))
    out("template_intake", "hero-8bit.bmp", bmp(hero, sample.COLOURS, 8))
    out("template_intake", "hero-4bit.bmp", bmp(hero, sample.COLOURS, 4))
    out("template_intake", "hero-rle8.bmp", bmp(hero, sample.COLOURS, 8, rle8=True))
    # Too many colours: every gap pixel of the first rows gets its own colour in the cells.
    crowded = [row[:] for row in hero]
    palette = list(sample.COLOURS) + [(i * 6, 255 - i * 6, i * 3) for i in range(40)]
    for i in range(40):
        crowded[2][2 + i % 20] = 16 + i
    out("template_intake", "too-many-colours.bmp", bmp(crowded, palette, 8))
    # Small images: a margin-less layout, top-down rows, one bit, transparency, two frames.
    tiny = [[(x + y) % 4 for x in range(12)] for y in range(7)]
    four = sample.COLOURS[:4]
    out("template_intake", "tiny-1bit.bmp", bmp([[c & 1 for c in r] for r in tiny], four[:2], 1))
    out("template_intake", "tiny-24bit-topdown.bmp", bmp(tiny, four, 24, top_down=True))
    out("template_intake", "tiny-transparent.gif", small_gif(tiny, four, transparent=2))
    out("template_intake", "tiny-two-frames.gif", small_gif(tiny, four, frames=2))
    # Layouts our own decoder reads beyond the common ones.
    out("template_intake", "tiny-interlaced-subframe.gif", gif_frame_variant(tiny, four))
    out("template_intake", "tiny-565-v1.bmp",
        bmp_fields(tiny, four, 16, 40, (0xF800, 0x07E0, 0x001F, 0)))
    out("template_intake", "tiny-8888-alpha-v5.bmp",
        bmp_fields(tiny, four, 32, 124, (0xFF0000, 0xFF00, 0xFF, 0xFF000000), alpha=3))


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


ADAM7 = ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
         (0, 1, 1, 2))


def png(samples, colour_type, depth, palette=None, trns=None, interlaced=False, extra=(),
        split=0):
    """samples: rows of pixels, each pixel a tuple of channel values at the bit depth."""
    height, width = len(samples), len(samples[0])
    channels = len(samples[0][0])
    bpp = max(1, channels * depth // 8)

    def pack(pixels):
        values = [v for p in pixels for v in p]
        if depth == 16:
            return b"".join(struct.pack(">H", v) for v in values)
        out, acc, filled = bytearray(), 0, 0
        for v in values:
            acc, filled = (acc << depth) | v, filled + depth
            if filled == 8:
                out.append(acc)
                acc, filled = 0, 0
        if filled:
            out.append(acc << (8 - filled))
        return bytes(out)

    def rows(x0, y0, dx, dy, start):
        out, prior, n = bytearray(), None, start
        for y in range(y0, height, dy):
            line = pack([samples[y][x] for x in range(x0, width, dx)])
            if not line:
                return bytes(out), n
            prior = prior or bytes(len(line))
            kind = n % 5
            n += 1
            out.append(kind)
            for i, v in enumerate(line):
                a = line[i - bpp] if i >= bpp else 0
                b = prior[i]
                c = prior[i - bpp] if i >= bpp else 0
                if kind == 4:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    pred = a if pa <= pb and pa <= pc else b if pb <= pc else c
                else:
                    pred = (0, a, b, (a + b) // 2)[kind]
                out.append((v - pred) & 0xFF)
            prior = line
        return bytes(out), n

    raw, n = b"", 0
    for x0, y0, dx, dy in (ADAM7 if interlaced else ((0, 0, 1, 1),)):
        part, n = rows(x0, y0, dx, dy, n)
        raw += part
    data = zlib.compress(raw, 9)
    out = bytearray(b"\x89PNG\r\n\x1a\n")
    out += png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0,
                                           1 if interlaced else 0))
    for kind, body in extra:
        out += png_chunk(kind, body)
    if palette:
        out += png_chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    if trns is not None:
        out += png_chunk(b"tRNS", trns)
    step = split or len(data)
    for at in range(0, len(data), step):
        out += png_chunk(b"IDAT", data[at:at + step])
    out += png_chunk(b"IEND", b"")
    return bytes(out)


def png_seeds():
    hero = sample.draw()
    cells_rgb = [[sample.COLOURS[c] for c in row] for row in hero]
    indexed = png([[(c,) for c in row] for row in hero], 3, 8, palette=sample.COLOURS)
    for target in ("template_intake", "png_reader"):
        out(target, "hero-indexed.png", indexed)
    out("png_reader", "hero-truecolour-interlaced.png", png(cells_rgb, 2, 8, interlaced=True))
    # A partly transparent pixel inside the first cell, another in a gap.
    rgba = [[c + (255,) for c in row] for row in cells_rgb]
    rgba[5][7] = rgba[5][7][:3] + (128,)
    rgba[0][0] = rgba[0][0][:3] + (40,)
    for target in ("template_intake", "png_reader"):
        out(target, "hero-partly-transparent.png", png(rgba, 6, 8))

    # Every colour type and bit depth, small, with odd sizes; keyed and interlaced ones.
    width, height = 11, 7
    def grid(f):
        return [[f(x, y) for x in range(width)] for y in range(height)]
    for depth in (1, 2, 4, 8, 16):
        top = (1 << depth) - 1
        grey = grid(lambda x, y: ((x * 3 + y * 5) % (top + 1),))
        out("png_reader", "grey-%d.png" % depth, png(grey, 0, depth))
        out("png_reader", "grey-%d-keyed-interlaced.png" % depth,
            png(grey, 0, depth, trns=struct.pack(">H", grey[1][2][0]), interlaced=True))
        if depth <= 8:
            entries = min(top + 1, 12)
            palette = [(i * 20, 255 - i * 20, (i * 77) % 256) for i in range(entries)]
            idx = grid(lambda x, y: ((x + y * 2) % entries,))
            out("png_reader", "indexed-%d.png" % depth, png(idx, 3, depth, palette=palette))
            out("png_reader", "indexed-%d-alphas-interlaced.png" % depth,
                png(idx, 3, depth, palette=palette, trns=bytes([0, 128, 255][:entries]),
                    interlaced=True))
    for depth in (8, 16):
        top = (1 << depth) - 1
        rgb = grid(lambda x, y: (x * top // width, y * top // height, (x * y * 37) % (top + 1)))
        out("png_reader", "truecolour-%d.png" % depth, png(rgb, 2, depth))
        out("png_reader", "truecolour-%d-keyed.png" % depth,
            png(rgb, 2, depth, trns=struct.pack(">HHH", *rgb[3][4])))
        alphas = (0, top, top // 2, 1, top - 1)
        ga = grid(lambda x, y: ((x * 23) % (top + 1), alphas[(x + y) % 5]))
        out("png_reader", "grey-alpha-%d-interlaced.png" % depth, png(ga, 4, depth, interlaced=True))
        rgba = grid(lambda x, y: rgb[y][x] + (alphas[(x * 2 + y) % 5],))
        out("png_reader", "truecolour-alpha-%d.png" % depth, png(rgba, 6, depth, split=5))
    # Colour chunks, which change nothing, and chunks a reader passes over.
    profile = b"none\0\0" + zlib.compress(bytes(64))
    out("png_reader", "colour-chunks.png",
        png(grid(lambda x, y: (x * 20, y * 30, 99)), 2, 8,
            extra=((b"gAMA", struct.pack(">I", 10000)), (b"cHRM", bytes(32)), (b"sRGB", b"\0"),
                   (b"iCCP", profile), (b"tEXt", b"Comment\0made by hand"))))


def settings_seeds():
    data = os.path.join(ROOT, "tests", "data", "settings")
    for name in sorted(os.listdir(data)):
        if name != "empty.ini":
            shutil.copy(os.path.join(data, name), os.path.join(HERE, "corpus", "settings_file", name))
    rows = ["// 拡張文字", "1   ①  ②  ③  ④  ⑤  ⑥  ⑦  ⑧  ⑨  ⑩  Ⅰ  Ⅱ  Ⅲ  Ⅳ  Ⅴ  Ⅵ",
            "[OtherTool]", "key=値", "a   α  β  γ  δ  ε  ζ  η  θ  ι  κ  λ  μ  ν  ξ  ο  π",
            "F   □  ■  ｱ  ｲ"]
    out("settings_file", "kanji-rows.ini", "\r\n".join(rows).encode("cp932") + b"\r\n")


def sheet_seeds():
    shutil.copy(os.path.join(ROOT, "examples", "hero.json"),
                os.path.join(HERE, "corpus", "sheet_file", "hero.json"))
    out("sheet_file", "empty-object.json", b"{}")
    out("sheet_file", "few-keys.json",
        '{"name": "ｱﾙﾄ", "gender": 3, "comment": "a\\rb\\nc",'
        ' "growthRates": {"enabled": true, "growthRates": [0,1,2,3,4,5,6,7,8,255,0,1,2,3,"4"]},'
        ' "paletteSwaps": [[0, 15], [4, 5]], "paletteWords": [1, 2]}'.encode())
    out("sheet_file", "bad-code.json", b'{"initialArts": {"spells": ["FF", "B1", "zz", 1]}}')


def patch_seeds():
    # Named .bin: the repository ignores *.k7p, the files the program writes.
    with open(os.path.join(ROOT, "examples", "hero.k7p"), "rb") as f:
        hero = f.read()
    out("patch_reader", "hero.bin", hero)
    fixed = bytearray(hero[:7158])
    out("patch_reader", "fixed-part-only.bin", bytes(fixed))
    # An extended character in the name, every block locked, a one-character comment.
    fixed[3:11] = bytes((0x18, 0x10, 0x18, 0x2F, 0x20, 0xB1, 0x50, 0x50))
    blocks = bytearray()
    for block_id, length in ((1, 11), (2, 10), (3, 8), (4, 8), (5, 15), (6, 1), (7, 3)):
        payload = {1: bytes((5, 90, 15, 20, 33, 44, 55, 128, 4, 8, 10)),
                   2: bytes((0x84, 0x83, 1, 0x82, 3, 4, 0x1F, 0xE5, 0xA6, 0x80)),
                   3: bytes((1, 2, 0x68, 0xFF, 0x28, 1, 0xFF, 0xFF)),
                   4: bytes((0x59, 8, 0xFF, 0xFF, 1, 0x63, 0x28, 0xFF)),
                   5: bytes((0, 8, 255, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 255)),
                   6: bytes((0x25,)), 7: bytes((0x0A, 0x0F, 0x08))}[block_id]
        blocks += bytes((block_id, 0xFF, length)) + payload
    out("patch_reader", "every-block.bin", bytes(fixed) + bytes(blocks) + b"\xff\x01\x00\x0d")


def text_seeds():
    texts = {"default-name": "名無しさん", "default-job": "お腹いっぱい。",
             "half-width": "ｶﾞｷﾞﾊﾟﾎﾟｳﾞ Hero-1!", "extended": "①αあ剣ＡＢ",
             "rejected": "□漢😀", "comment": "一行目\r\n二行目 ~\\¥"}
    for name, text in texts.items():
        out("game_text", name + ".txt", text.encode("utf-16-le"))


def names_seeds():
    # Made-up names only: the names file is the user's own.
    out("names_file", "few-names.tsv",
        "\ufeff# 名前\r\ntechniques\t0f\tテスト技\r\n\r\nspells\tAB\t🐉の術\r\n"
        "exclusiveWeapon\tB8\t氷の剣\r\nformation\t00\t陣形なし".encode())
    out("names_file", "bad-lines.tsv",
        ("technique\t11\tx\ntechniques\t00\tx\ntechniques\t1G\tx\ntechniques\t12\t\n"
         "techniques\t13\ta\x01b\ntechniques\t14\ta\tb\ntechniques 15 x\n"
         "techniques\t10\tone\ntechniques\t10\ttwo\narmour\t60\t\u3000\n"
         "weapons\t00\t" + "名" * 41 + "\n").encode() + b"spells\tAB\t\xff\xfe\n")
    lines = []
    for list_key, codes in (("inspirationType", range(0x00, 0x0B)),
                            ("commanderType", range(0x00, 0x09)),
                            ("formation", range(0x00, 0x0B))):
        lines += ["%s\t%02X\t名前%02X" % (list_key, c, c) for c in codes]
    out("names_file", "whole-lists.tsv", ("\n".join(lines) + "\n").encode())


if __name__ == "__main__":
    template_seeds()
    png_seeds()
    settings_seeds()
    sheet_seeds()
    patch_seeds()
    text_seeds()
    names_seeds()
