#!/usr/bin/env python3
"""Build the 8x16 code page 437 glyph table, src/platform/Cp437Font.cpp.

Glyphs come from the VGA console font shipped by Debian's console-setup
(Uni2-VGA16.psf.gz) wherever it really has the character, and from GNU
Unifont (unifont.hex) for the rest.  Box-drawing strokes are checked to meet
the cell edges so that frames join up; if one falls short it is extended
here rather than by hand-editing the output.

Usage:
    tools/make_cp437_font.py [--vga PSF] [--extra-psf PSF ...] [--unifont HEX]
                             [--out CPP] [--no-write] [--preview [CODE ...]]

The output depends only on the input fonts, so re-running it with the same
fonts gives a byte-identical file.
"""

import argparse
import gzip
import os
import struct
import sys

# Byte -> character.  0x01-0x1F and 0x7F are the IBM graphic symbols, not
# control codes; 0x00 is kept as U+0000 and 0xFF as U+00A0 and both are drawn
# blank (see BLANK_CODEPOINTS).
CP437_ROWS = [
    "\u0000☺☻♥♦♣♠•◘○◙♂♀♪♫☼",  # 0x00
    "►◄↕‼¶§▬↨↑↓→←∟↔▲▼",  # 0x10
    " !\"#$%&'()*+,-./",  # 0x20
    "0123456789:;<=>?",  # 0x30
    "@ABCDEFGHIJKLMNO",  # 0x40
    "PQRSTUVWXYZ[\\]^_",  # 0x50
    "`abcdefghijklmno",  # 0x60
    "pqrstuvwxyz{|}~⌂",  # 0x70
    "ÇüéâäàåçêëèïîìÄÅ",  # 0x80
    "ÉæÆôöòûùÿÖÜ¢£¥₧ƒ",  # 0x90
    "áíóúñÑªº¿⌐¬½¼¡«»",  # 0xA0
    "░▒▓│┤╡╢╖╕╣║╗╝╜╛┐",  # 0xB0
    "└┴┬├─┼╞╟╚╔╩╦╠═╬╧",  # 0xC0
    "╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀",  # 0xD0
    "αßΓπΣσµτΦΘΩδ∞φε∩",  # 0xE0
    "≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00a0",  # 0xF0
]
assert len(CP437_ROWS) == 16 and all(len(row) == 16 for row in CP437_ROWS)
CP437 = "".join(CP437_ROWS)

# Drawn as empty cells whatever the fonts say (Unifont shows U+0000 and
# U+00A0 as labelled boxes).
BLANK_CODEPOINTS = {0x0000, 0x00A0}

# Which way each box-drawing character's strokes leave the cell, as
# (up, down, left, right): 's' single, 'd' double, None for no stroke.
S, D, N = "s", "d", None
BOX_STROKES = {
    0x2500: (N, N, S, S),  # ─
    0x2502: (S, S, N, N),  # │
    0x250C: (N, S, N, S),  # ┌
    0x2510: (N, S, S, N),  # ┐
    0x2514: (S, N, N, S),  # └
    0x2518: (S, N, S, N),  # ┘
    0x251C: (S, S, N, S),  # ├
    0x2524: (S, S, S, N),  # ┤
    0x252C: (N, S, S, S),  # ┬
    0x2534: (S, N, S, S),  # ┴
    0x253C: (S, S, S, S),  # ┼
    0x2550: (N, N, D, D),  # ═
    0x2551: (D, D, N, N),  # ║
    0x2552: (N, S, N, D),  # ╒
    0x2553: (N, D, N, S),  # ╓
    0x2554: (N, D, N, D),  # ╔
    0x2555: (N, S, D, N),  # ╕
    0x2556: (N, D, S, N),  # ╖
    0x2557: (N, D, D, N),  # ╗
    0x2558: (S, N, N, D),  # ╘
    0x2559: (D, N, N, S),  # ╙
    0x255A: (D, N, N, D),  # ╚
    0x255B: (S, N, D, N),  # ╛
    0x255C: (D, N, S, N),  # ╜
    0x255D: (D, N, D, N),  # ╝
    0x255E: (S, S, N, D),  # ╞
    0x255F: (D, D, N, S),  # ╟
    0x2560: (D, D, N, D),  # ╠
    0x2561: (S, S, D, N),  # ╡
    0x2562: (D, D, S, N),  # ╢
    0x2563: (D, D, D, N),  # ╣
    0x2564: (N, S, D, D),  # ╤
    0x2565: (N, D, S, S),  # ╥
    0x2566: (N, D, D, D),  # ╦
    0x2567: (S, N, D, D),  # ╧
    0x2568: (D, N, S, S),  # ╨
    0x2569: (D, N, D, D),  # ╩
    0x256A: (S, S, D, D),  # ╪
    0x256B: (D, D, S, S),  # ╫
    0x256C: (D, D, D, D),  # ╬
}
assert all(chr(cp) in CP437 for cp in BOX_STROKES)

# Straight pieces whose pixels define where single/double strokes run.
HORIZONTAL = {S: 0x2500, D: 0x2550}
VERTICAL = {S: 0x2502, D: 0x2551}

WIDTH, HEIGHT = 8, 16

# Solid blocks are geometry, not lettering: the halves must split the cell
# exactly so that two half blocks side by side or stacked fill it without a
# seam or overlap.  (The IBM design's upper half is one row short.)
BLOCKS = {
    0x2588: [0xFF] * 16,  # █
    0x2580: [0xFF] * 8 + [0x00] * 8,  # ▀
    0x2584: [0x00] * 8 + [0xFF] * 8,  # ▄
    0x258C: [0xF0] * 16,  # ▌
    0x2590: [0x0F] * 16,  # ▐
}

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
DEFAULT_VGA = "/usr/share/consolefonts/Uni2-VGA16.psf.gz"
DEFAULT_UNIFONT = "/usr/share/unifont/unifont.hex"
DEFAULT_OUT = os.path.join(ROOT, "src", "platform", "Cp437Font.cpp")


def fail(message):
    sys.exit("make_cp437_font: " + message)


def read_maybe_gzip(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] == b"\x1f\x8b":
        data = gzip.decompress(data)
    return data


def load_psf(path):
    """Return {code point: 16 row bytes} for the glyphs a PSF font really has.

    console-setup's Unicode tables list a glyph's own character first and
    then stand-ins it is willing to display in its place (═ on the ─ glyph,
    ▲ on the ↑ glyph, ...).  Only that first character counts; a stand-in
    would look wrong in a CP437 table, so those fall through to Unifont.
    """
    data = read_maybe_gzip(path)
    if data[:2] == b"\x36\x04":  # PSF1
        mode, charsize = data[2], data[3]
        count = 512 if mode & 0x01 else 256
        has_table = bool(mode & 0x06)
        offset, width, height, psf2 = 4, 8, charsize, False
    elif data[:4] == b"\x72\xb5\x4a\x86":  # PSF2
        (_, _, offset, flags, count, charsize,
         height, width) = struct.unpack_from("<8I", data)
        has_table, psf2 = bool(flags & 0x01), True
    else:
        fail("%s: not a PSF font" % path)
    if (width, height) != (WIDTH, HEIGHT) or charsize != HEIGHT:
        fail("%s: glyphs are %dx%d, need %dx%d" % (path, width, height, WIDTH, HEIGHT))
    if not has_table:
        fail("%s: no Unicode table" % path)

    glyphs = [data[offset + i * charsize: offset + (i + 1) * charsize]
              for i in range(count)]
    pos = offset + count * charsize
    native = {}
    for index in range(count):
        if psf2:
            end = data.index(b"\xff", pos)
            entry, pos = data[pos:end], end + 1
            singles = entry.split(b"\xfe")[0].decode("utf-8")
            codepoints = [ord(ch) for ch in singles]
        else:
            codepoints, in_sequence = [], False
            while True:
                (value,) = struct.unpack_from("<H", data, pos)
                pos += 2
                if value == 0xFFFF:
                    break
                if value == 0xFFFE:
                    in_sequence = True
                elif not in_sequence:
                    codepoints.append(value)
        if codepoints:
            native.setdefault(codepoints[0], glyphs[index])
    return native


def load_unifont(path, wanted):
    """Return {code point: 16 row bytes} for the half-width glyphs in wanted."""
    found = {}
    with open(path, encoding="ascii") as f:
        for line in f:
            code, _, bitmap = line.strip().partition(":")
            cp = int(code, 16)
            if cp in wanted and len(bitmap) == 2 * HEIGHT:
                found[cp] = bytes.fromhex(bitmap)
    return found


def pixel(rows, r, c):
    return (rows[r] >> (7 - c)) & 1


def lit_rows(rows):
    return [r for r in range(HEIGHT) if rows[r]]


def lit_cols(rows):
    return [c for c in range(WIDTH) if any(pixel(rows, r, c) for r in range(HEIGHT))]


def extend_to_edges(cp, rows, h_rows, v_cols):
    """Run every stroke of box character cp out to the cell edge it points at.

    The VGA fonts were drawn for a 9-pixel cell where the card copied
    column 8 from column 7; here cells are 8 pixels, so a stroke that stops
    short leaves a visible gap between neighbouring cells.  Returns the list
    of sides that had to be extended.
    """
    up, down, left, right = BOX_STROKES[cp]
    rows = list(rows)
    fixed = []

    def set_px(r, c):
        rows[r] |= 0x80 >> c

    for side, weight in (("left", left), ("right", right)):
        if weight is None:
            continue
        edge = 0 if side == "left" else WIDTH - 1
        half = range(0, WIDTH // 2) if side == "left" else range(WIDTH // 2, WIDTH)
        if any(pixel(rows, r, edge) for r in h_rows[weight]):
            continue
        stroke = [r for r in h_rows[weight] if any(pixel(rows, r, c) for c in half)]
        if not stroke:
            fail("U+%04X: no %s stroke on the rows of U+%04X"
                 % (cp, side, HORIZONTAL[weight]))
        step = 1 if side == "left" else -1
        for r in stroke:
            c = edge
            while not pixel(rows, r, c):
                set_px(r, c)
                c += step
        fixed.append(side)

    for side, weight in (("up", up), ("down", down)):
        if weight is None:
            continue
        edge = 0 if side == "up" else HEIGHT - 1
        half = range(0, HEIGHT // 2) if side == "up" else range(HEIGHT // 2, HEIGHT)
        if any(pixel(rows, edge, c) for c in v_cols[weight]):
            continue
        stroke = [c for c in v_cols[weight] if any(pixel(rows, r, c) for r in half)]
        if not stroke:
            fail("U+%04X: no %s stroke in the columns of U+%04X"
                 % (cp, side, VERTICAL[weight]))
        step = 1 if side == "up" else -1
        for c in stroke:
            r = edge
            while not pixel(rows, r, c):
                set_px(r, c)
                r += step
        fixed.append(side)
    return bytes(rows), fixed


def build(vga_path, extra_psf_paths, unifont_path):
    """Return (glyphs, sources, notes): 256 bitmaps, origin names, fix notes."""
    fonts = [("vga", load_psf(vga_path))]
    for path in extra_psf_paths:
        name = os.path.basename(path).split(".")[0]
        fonts.append((name, load_psf(path)))
    wanted = {ord(ch) for ch in CP437} - BLANK_CODEPOINTS
    for _, glyph_map in fonts:
        wanted -= set(glyph_map)
    fonts.append(("unifont", load_unifont(unifont_path, wanted)))

    glyphs, sources = [], []
    for byte, ch in enumerate(CP437):
        cp = ord(ch)
        if cp in BLANK_CODEPOINTS:
            glyphs.append(bytes(HEIGHT))
            sources.append("blank")
            continue
        for name, glyph_map in fonts:
            if cp in glyph_map:
                glyphs.append(glyph_map[cp])
                sources.append(name)
                break
        else:
            fail("no 8x16 glyph for byte 0x%02X (U+%04X)" % (byte, cp))

    notes = [""] * 256
    index = {ord(ch): byte for byte, ch in enumerate(CP437)}
    # The straight pieces go first: once they span the cell, their rows and
    # columns say where every other glyph's strokes must meet the edge.
    order = [HORIZONTAL[S], HORIZONTAL[D], VERTICAL[S], VERTICAL[D]]
    order += sorted(set(BOX_STROKES) - set(order))
    h_rows = {w: lit_rows(glyphs[index[cp]]) for w, cp in HORIZONTAL.items()}
    v_cols = {w: lit_cols(glyphs[index[cp]]) for w, cp in VERTICAL.items()}
    for cp in order:
        byte = index[cp]
        glyphs[byte], fixed = extend_to_edges(cp, glyphs[byte], h_rows, v_cols)
        if fixed:
            notes[byte] = "extended " + "/".join(fixed) + " stroke to the edge"
    for cp, rows in BLOCKS.items():
        byte = index[cp]
        if list(glyphs[byte]) != rows:
            glyphs[byte] = bytes(rows)
            notes[byte] = "redrawn as an exact block"
    return glyphs, sources, notes


def check(glyphs):
    """Fail loudly if the table would draw broken frames or missing text."""
    problems = []
    index = {ord(ch): byte for byte, ch in enumerate(CP437)}
    for cp, (up, down, left, right) in sorted(BOX_STROKES.items()):
        rows = glyphs[index[cp]]
        touches = {
            "up": any(pixel(rows, 0, c) for c in range(WIDTH)),
            "down": any(pixel(rows, HEIGHT - 1, c) for c in range(WIDTH)),
            "left": any(pixel(rows, r, 0) for r in range(HEIGHT)),
            "right": any(pixel(rows, r, WIDTH - 1) for r in range(HEIGHT)),
        }
        for side, weight in zip(("up", "down", "left", "right"), (up, down, left, right)):
            if weight is not None and not touches[side]:
                problems.append("U+%04X does not reach the %s edge" % (cp, side))
            if weight is None and touches[side]:
                problems.append("U+%04X spills over the %s edge" % (cp, side))
    # Matching strokes must line up with the straight pieces on both sides.
    for weight, cp in HORIZONTAL.items():
        want = set(lit_rows(glyphs[index[cp]]))
        for other, strokes in BOX_STROKES.items():
            rows = glyphs[index[other]]
            for side, col in (("left", 0), ("right", WIDTH - 1)):
                if strokes[2 if side == "left" else 3] == weight:
                    got = {r for r in range(HEIGHT) if pixel(rows, r, col)}
                    if not want & got:
                        problems.append("U+%04X %s stroke misses U+%04X" % (other, side, cp))
    for weight, cp in VERTICAL.items():
        want = set(lit_cols(glyphs[index[cp]]))
        for other, strokes in BOX_STROKES.items():
            rows = glyphs[index[other]]
            for side, row in (("up", 0), ("down", HEIGHT - 1)):
                if strokes[0 if side == "up" else 1] == weight:
                    got = {c for c in range(WIDTH) if pixel(rows, row, c)}
                    if not want & got:
                        problems.append("U+%04X %s stroke misses U+%04X" % (other, side, cp))

    def expect(byte, rows, what):
        if tuple(glyphs[byte]) != tuple(rows):
            problems.append("0x%02X is not %s" % (byte, what))

    for cp, rows in BLOCKS.items():
        expect(index[cp], rows, "the block U+%04X" % cp)
    expect(0x00, [0] * 16, "blank")
    expect(0x20, [0] * 16, "blank")
    expect(0xFF, [0] * 16, "blank")
    shade = [sum(bin(b).count("1") for b in glyphs[byte]) for byte in (0xB0, 0xB1, 0xB2)]
    if not 0 < shade[0] < shade[1] < shade[2] < WIDTH * HEIGHT:
        problems.append("shades 0xB0-0xB2 do not get darker in turn: %s" % shade)
    if glyphs[0x82] == glyphs[ord("e")]:
        problems.append("0x82 looks just like 'e'")
    for byte in list(range(0x01, 0x20)) + list(range(0x21, 0xFF)):
        if not any(glyphs[byte]):
            problems.append("0x%02X is empty" % byte)
    if problems:
        fail("glyph check failed:\n  " + "\n  ".join(problems))


def comment_char(byte):
    # Plain ASCII output: only printable ASCII is shown, never a backslash
    # last on the line (it would splice the next line into the comment).
    if 0x21 <= byte <= 0x7E:
        return " '%s'" % chr(byte)
    return ""


def render(glyphs, sources, notes, vga_path):
    origin = {"vga": os.path.basename(vga_path).split(".")[0] + " (console-setup)",
              "unifont": "GNU Unifont"}
    used = []
    for s in sources:
        if s != "blank" and s not in used:
            used.append(s)
    used.sort(key=lambda s: {"vga": 0, "unifont": 2}.get(s, 1))
    lines = [
        "// Generated by tools/make_cp437_font.py; do not edit.",
        "// Code page 437 glyphs, 8 x 16, from: %s." % ", ".join(origin.get(s, s) for s in used),
        "// Licences and per-glyph origin: third_party/fonts/NOTICE.md.",
        "",
        '#include "platform/Cp437Font.h"',
        "",
        "namespace almanouk {",
        "",
        "const unsigned char kCp437Font[256][16] = {",
    ]
    for byte in range(256):
        rows = ", ".join("0x%02X" % b for b in glyphs[byte])
        note = "; " + notes[byte] if notes[byte] else ""
        lines.append("    {%s},  // 0x%02X U+%04X%s %s%s"
                     % (rows, byte, ord(CP437[byte]), comment_char(byte), sources[byte], note))
    lines += ["};", "", "}  // namespace almanouk", ""]
    return "\n".join(lines)


def preview(glyphs, codes):
    out = []
    for start in range(0, len(codes), 8):
        chunk = codes[start:start + 8]
        out.append("   ".join("%-8s" % ("0x%02X" % b) for b in chunk))
        for r in range(HEIGHT):
            out.append("   ".join(
                "".join("#" if pixel(glyphs[b], r, c) else "." for c in range(WIDTH))
                for b in chunk))
        out.append("")
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--vga", default=DEFAULT_VGA, help="preferred PSF font")
    parser.add_argument("--extra-psf", action="append", default=[],
                        help="further 8x16 PSF font tried before Unifont (repeatable)")
    parser.add_argument("--unifont", default=DEFAULT_UNIFONT, help="unifont .hex file")
    parser.add_argument("--out", default=DEFAULT_OUT, help="C++ file to write")
    parser.add_argument("--no-write", action="store_true", help="only check and report")
    parser.add_argument("--preview", nargs="*", metavar="CODE",
                        help="print glyphs as ASCII art (hex bytes; a default set if none)")
    args = parser.parse_args()

    glyphs, sources, notes = build(args.vga, args.extra_psf, args.unifont)
    check(glyphs)

    if not args.no_write:
        text = render(glyphs, sources, notes, args.vga)
        with open(args.out, "w", encoding="ascii", newline="\n") as f:
            f.write(text)
        print("wrote %s" % os.path.relpath(args.out))

    counts = {}
    for s in sources:
        counts[s] = counts.get(s, 0) + 1
    print("glyphs by source: " + ", ".join("%s %d" % kv for kv in sorted(counts.items())))
    for s in sorted(counts):
        if s not in ("vga", "blank"):
            print("  from %s: %s" % (s, " ".join(
                "%02X" % b for b in range(256) if sources[b] == s)))
    for byte in range(256):
        if notes[byte]:
            print("  0x%02X U+%04X: %s" % (byte, ord(CP437[byte]), notes[byte]))

    if args.preview is not None:
        codes = [int(c, 16) for c in args.preview] or [
            0xDA, 0xC4, 0xC2, 0xBF, 0xB3, 0xC5, 0xC9, 0xCD, 0xCB, 0xBB, 0xBA, 0xCE,
            0xB0, 0xB1, 0xB2, 0xDB, 0x82, 0x65, 0x01, 0x7F]
        print(preview(glyphs, codes))


if __name__ == "__main__":
    main()
