#!/usr/bin/env python3
"""Reads a sheets PDF of tessarine-cards back through poppler and zbar, as a player and a
caller would, and checks it against the run's card list and the cards the codes make:

  - the page count: four cards a page, then the caller's board;
  - every label "Cartón NNNN · código XXXXXXXX" in the order of the list, with its code;
  - every card found on the rendered page above its label, cell by cell: a blank cell all
    card colour, a number cell white with its two digits as text inside it, as the card of
    that code (tessarine-cards --layout --code) has them;
  - every page's barcodes, read by zbarimg at 300 dpi, are exactly its cards' codes.

  check_sheets.py SHEETS.pdf LIST.csv LINUX_TESSARINE_CARDS [RRGGBB]

Prints one line per check ("ok - ..." / "FALLO - ...") and "N passed, M failed".
"""
import csv
import re
import subprocess
import sys
import tempfile

DPI = 100
BARCODE_DPI = 300
CARD_ROW_SHARE = 0.25   # a row of a card is at least 4 of its 9 cells card colour
CARD_ROW_SHARE_OF_PAGE = 0.125  # and the card at least half the page wide
MOST_ROW_GAP = 3        # the white lines between a card's rows
LEAST_CARD_ROWS = 40
BLANK_SHARE = 0.9       # a blank cell's middle is all card colour; a number cell's is not
COLOUR_TOLERANCE = 24


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, check=True).stdout


def page_count(pdf):
    return int(re.search(r"^Pages:\s+(\d+)", run("pdfinfo", pdf), re.M).group(1))


def words(pdf, page):
    """pdftotext's words of a page: (x_min, y_min, x_max, y_max, text) in points."""
    out = run("pdftotext", "-bbox", "-f", str(page), "-l", str(page), pdf, "-")
    found = []
    for m in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" '
                         r'yMax="([\d.]+)">([^<]*)</word>', out):
        found.append((float(m[1]), float(m[2]), float(m[3]), float(m[4]), m[5]))
    return found


def labels(page_words):
    """(number, code, y_min) of each card label, top to bottom."""
    found = []
    for i in range(len(page_words) - 4):
        w = [x[4] for x in page_words[i:i + 5]]
        if w[0] == "Cartón" and w[2] == "·" and w[3] == "código":
            found.append((int(w[1]), w[4], page_words[i][1]))
    return sorted(found, key=lambda label: label[2])


def render(pdf, page, dpi, folder):
    base = f"{folder}/page{page}-{dpi}"
    run("pdftoppm", "-r", str(dpi), "-f", str(page), "-l", str(page), "-singlefile", pdf, base)
    with open(base + ".ppm", "rb") as f:
        data = f.read()
    m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    width, height = int(m[1]), int(m[2])
    return width, height, data[m.end():], base + ".ppm"


def card_mask(picture, colour):
    width, height, rgb, _ = picture
    r, g, b = colour
    mask = bytearray(width * height)
    for i in range(width * height):
        p = 3 * i
        if (abs(rgb[p] - r) <= COLOUR_TOLERANCE and abs(rgb[p + 1] - g) <= COLOUR_TOLERANCE
                and abs(rgb[p + 2] - b) <= COLOUR_TOLERANCE):
            mask[i] = 1
    return mask


def card_box(mask, width, top, bottom):
    """The card between two rows: its longest run of rows of card colour, and its columns."""
    rows = [y for y in range(top, bottom)
            if sum(mask[y * width:(y + 1) * width]) >= CARD_ROW_SHARE_OF_PAGE * width]
    runs, start, last = [], None, None
    for y in rows:
        if start is None or y - last > MOST_ROW_GAP + 1:
            if start is not None:
                runs.append((start, last))
            start = y
        last = y
    if start is not None:
        runs.append((start, last))
    runs = [r for r in runs if r[1] - r[0] >= LEAST_CARD_ROWS]
    if not runs:
        return None
    y0, y1 = max(runs, key=lambda r: r[1] - r[0])
    height = y1 - y0 + 1
    columns = [x for x in range(width)
               if sum(mask[y * width + x] for y in range(y0, y1 + 1)) >= CARD_ROW_SHARE * height]
    return (min(columns), y0, max(columns) + 1, y1 + 1)


def check_card(mask, width, box, page_words, expected_rows):
    """Problems found in the card at box against its rows ("08 65 -- ..." each)."""
    x0, y0, x1, y1 = box
    cell_w, cell_h = (x1 - x0) / 9, (y1 - y0) / 3
    problems = []
    for row in range(3):
        fields = expected_rows[row].split()
        for column in range(9):
            cx0, cy0 = x0 + column * cell_w, y0 + row * cell_h
            xs = range(int(cx0 + 0.2 * cell_w), int(cx0 + 0.8 * cell_w))
            ys = range(int(cy0 + 0.2 * cell_h), int(cy0 + 0.8 * cell_h))
            share = sum(mask[y * width + x] for y in ys for x in xs) / (len(xs) * len(ys))
            text = "".join(w[4] for w in page_words
                           if cx0 < (w[0] + w[2]) / 2 * DPI / 72 < cx0 + cell_w
                           and cy0 < (w[1] + w[3]) / 2 * DPI / 72 < cy0 + cell_h)
            where = f"fila {row + 1} columna {column + 1}"
            if fields[column] == "--":
                if share < BLANK_SHARE or text:
                    problems.append(f"{where}: se esperaba vacía")
            elif share >= BLANK_SHARE or text != fields[column]:
                problems.append(f"{where}: se esperaba {fields[column]}, hay {text!r}")
    return problems


def main():
    pdf, listing, linux_cli = sys.argv[1:4]
    colour_hex = sys.argv[4] if len(sys.argv) > 4 else "C0C0C0"
    colour = tuple(int(colour_hex[i:i + 2], 16) for i in (0, 2, 4))
    with open(listing, newline="", encoding="utf-8") as f:
        cards = [row for row in csv.DictReader(f)]
    passed = failed = 0

    def check(ok, what):
        nonlocal passed, failed
        print(("ok - " if ok else "FALLO - ") + what)
        passed, failed = passed + bool(ok), failed + (not ok)

    pages = page_count(pdf)
    check(pages == (len(cards) + 3) // 4 + 1, f"{pages} páginas para {len(cards)} cartones")
    seen = 0
    with tempfile.TemporaryDirectory() as folder:
        for page in range(1, (len(cards) + 3) // 4 + 1):
            page_words = words(pdf, page)
            page_labels = labels(page_words)
            expected = cards[seen:seen + 4]
            check([(n, c) for n, c, _ in page_labels] ==
                  [(seen + i + 1, card["codigo"]) for i, card in enumerate(expected)],
                  f"página {page}: las etiquetas de los cartones {seen + 1} a {seen + len(expected)}")
            picture = render(pdf, page, DPI, folder)
            width = picture[0]
            mask = card_mask(picture, colour)
            top = 0
            for number, code, label_y in page_labels:
                box = card_box(mask, width, top, int(label_y * DPI / 72))
                top = int(label_y * DPI / 72) + 2
                if box is None:
                    check(False, f"cartón {number:04d}: no se encuentra en la página")
                    continue
                rows = run(linux_cli, "--layout", "--code", code).splitlines()
                problems = check_card(mask, width, box, page_words, rows)
                check(not problems, f"cartón {number:04d} ({code}): cada casilla como la de su código"
                      + ("; " + "; ".join(problems[:3]) if problems else ""))
            barcode_page = render(pdf, page, BARCODE_DPI, folder)[3]
            read = subprocess.run(["zbarimg", "--raw", "-q", "-Sdisable", "-Scode128.enable",
                                   barcode_page], capture_output=True, text=True).stdout.split()
            check(sorted(read) == sorted(card["codigo"] for card in expected),
                  f"página {page}: los códigos de barras a {BARCODE_DPI} ppp dan {sorted(read)}")
            seen += len(expected)
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
