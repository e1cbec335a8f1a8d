#!/usr/bin/env python3
"""Checks that a PNG card holds exactly the pixels of a bitmap card, both read by Pillow.

    png_matches_bitmap.py CARD.png CARD.bmp
Exits 0 when they agree; otherwise prints the first difference and exits 1.
"""
import sys

from PIL import Image


def main(png_path, bmp_path):
    png, bmp = Image.open(png_path), Image.open(bmp_path)
    if png.mode != "RGB" or png.size != bmp.size:
        print(f"{png_path}: {png.mode} {png.size}, {bmp_path}: {bmp.mode} {bmp.size}")
        return 1
    width = png.size[0]
    for i, (a, b) in enumerate(zip(png.getdata(), bmp.convert("RGB").getdata())):
        if a != b:
            print(f"{png_path}: pixel ({i % width}, {i // width}) is {a}, in {bmp_path} {b}")
            return 1
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("uso: png_matches_bitmap.py CARTON.png CARTON.bmp")
    sys.exit(main(sys.argv[1], sys.argv[2]))
