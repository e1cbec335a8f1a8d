#!/usr/bin/env python3
"""Two PDFs rendered alike: every page of each through pdftoppm at 150 dpi in grey, and
no pixel more than 128 levels apart, and at most MOST_NEAR_DIFFERENT more than 32 apart (the
faces' outlines from GDI and FreeType may differ by a hair at a glyph's edge).

  same_pages.py A.pdf B.pdf
"""
import re
import subprocess
import sys
import tempfile

DPI = 150
MOST_NEAR_DIFFERENT = 200


def pages(pdf, folder, name):
    subprocess.run(["pdftoppm", "-r", str(DPI), "-gray", pdf, f"{folder}/{name}"], check=True)
    out = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
    count = int(re.search(r"^Pages:\s+(\d+)", out, re.M).group(1))
    pictures = []
    for page in range(1, count + 1):
        path = f"{folder}/{name}-{page:0{len(str(count))}d}.pgm"
        with open(path, "rb") as f:
            data = f.read()
        m = re.match(rb"P5\s+(\d+)\s+(\d+)\s+255\s", data)
        pictures.append((int(m[1]), int(m[2]), data[m.end():]))
    return pictures


def main():
    with tempfile.TemporaryDirectory() as folder:
        a, b = pages(sys.argv[1], folder, "a"), pages(sys.argv[2], folder, "b")
    if len(a) != len(b):
        print(f"{len(a)} páginas frente a {len(b)}")
        return 1
    for number, (pa, pb) in enumerate(zip(a, b), 1):
        if pa[:2] != pb[:2]:
            print(f"página {number}: {pa[:2]} frente a {pb[:2]} píxeles")
            return 1
        far = sum(1 for x, y in zip(pa[2], pb[2]) if abs(x - y) > 128)
        near = sum(1 for x, y in zip(pa[2], pb[2]) if abs(x - y) > 32)
        print(f"página {number}: {near} píxeles distintos en más de 32, {far} en más de 128")
        if far > 0 or near > MOST_NEAR_DIFFERENT:
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
