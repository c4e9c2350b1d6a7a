#!/usr/bin/env python3
"""Draws the chessmen of the solvers' board into one small resource file.

The solver's board changes size with its window, so the men are drawn once
here, large, as coverage masks, and the program reduces them to the square
size it needs. Each man is two 8-bit masks of SIZE x SIZE pixels: where its
body is (shared by both colours) and where its ink lines are (the outline
glyph for White, the solid glyph for Black), the same drawing as the
textbook's diagrams. The program paints the body light and the lines dark.

The file (little-endian):
    "ZMEN", u16 SIZE, u16 COUNT (18)
    COUNT times: u32 LENGTH, LENGTH bytes of run-length code
Masks in order: bodies k q r b n p, White's lines k..p, Black's lines k..p.
Run-length code, for one mask row after row: a byte c < 128 is followed by
c + 1 bytes taken as they are; a byte c >= 128 by one byte repeated c - 126
times (2 to 129). Most of a mask is empty or full, so the file is small.

usage: men_sheet.py OUT [--size N]
"""
import argparse
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [HERE]

from PIL import Image  # noqa: E402

import board  # noqa: E402

KINDS = 'kqrbnp'


def masks(size):
    """The 18 masks, each size x size, as bytes."""
    def reduce(mask):
        return mask.resize((size, size), Image.LANCZOS).tobytes()
    out = [reduce(board._silhouette(size, k)) for k in KINDS]
    for first in (0x2654, 0x265A):
        out += [reduce(board._glyph(chr(first + i), size)) for i in range(len(KINDS))]
    return out


def encode(data):
    """Run-length code of data (see the module's description)."""
    out = bytearray()
    literal = bytearray()

    def flush():
        while literal:
            chunk = literal[:128]
            out.append(len(chunk) - 1)
            out.extend(chunk)
            del literal[:128]

    i = 0
    while i < len(data):
        run = 1
        while i + run < len(data) and run < 129 and data[i + run] == data[i]:
            run += 1
        if run >= 2:
            flush()
            out += bytes((run + 126, data[i]))
        else:
            literal.append(data[i])
        i += run
    flush()
    return bytes(out)


def decode(code, length):
    """The inverse of encode, for the tests."""
    out = bytearray()
    i = 0
    while i < len(code):
        c = code[i]
        if c < 128:
            out += code[i + 1:i + 2 + c]
            i += c + 2
        else:
            out += bytes([code[i + 1]]) * (c - 126)
            i += 2
    if len(out) != length:
        raise ValueError(f'decoded {len(out)} bytes, expected {length}')
    return bytes(out)


def sheet(size):
    parts = [b'ZMEN', struct.pack('<HH', size, 3 * len(KINDS))]
    for mask in masks(size):
        code = encode(mask)
        parts += [struct.pack('<I', len(code)), code]
    return b''.join(parts)


def main():
    ap = argparse.ArgumentParser(description='Draws the chessmen of the solvers.')
    ap.add_argument('out')
    ap.add_argument('--size', type=int, default=96, help='pixels a side (default 96)')
    args = ap.parse_args()
    data = sheet(args.size)
    with open(args.out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
