#!/usr/bin/env python3
"""Compares two saved cards, one made on Windows and one on Linux, byte for byte except
the glyphs: the inside of every number cell (everything strictly within its one-pixel
border) comes from each platform's font renderer, so there the digits need only stand in
the same place: each digit's inked box agrees within a pixel at the top, bottom and left,
and within a few pixels at the right, where the Linux renderer widens light bold faces. Headers, borders, blank cells and the gaps between cells must be
identical.

    compare_cards.py WINDOWS.bmp LINUX.bmp
Prints one line per check and "N passed, M failed"; exits 1 on any failure.
"""
import struct
import sys

WIDTH, HEIGHT = 721, 241
HEADER_BYTES = 54
CELL = 80
ROWS, COLUMNS = 3, 9
WHITE = (255, 255, 255)
# Edges of the digits' inked box may differ this much: anti-aliasing and emboldening.
INK_BOX_TOLERANCE = 5
# Each digit's top, bottom and left edges: the two renderers place the same outline.
DIGIT_EDGE_TOLERANCE = 1

passed = failed = 0


def check(condition, what):
    global passed, failed
    print(("ok" if condition else "FALLO") + " - " + what)
    if condition:
        passed += 1
    else:
        failed += 1
    return condition


def pixels(data):
    """Rows top-down of (r, g, b) from a bottom-up 24-bit bitmap."""
    row_bytes = (WIDTH * 3 + 3) & ~3
    rows = []
    for y in range(HEIGHT):
        start = HEADER_BYTES + (HEIGHT - 1 - y) * row_bytes
        row = data[start:start + WIDTH * 3]
        rows.append([(row[3 * x + 2], row[3 * x + 1], row[3 * x]) for x in range(WIDTH)])
    return rows


def cell_interiors():
    """(column, row, x range, y range) of the inside of each cell, border excluded."""
    for row in range(ROWS):
        for column in range(COLUMNS):
            x1, y1 = column * CELL + 1, row * CELL + 1  # the cell's outer top-left
            yield column, row, range(x1 + 1, x1 + CELL - 2), range(y1 + 1, y1 + CELL - 2)


def ink_box(rows, xs, ys):
    """(left, top, right, bottom) of the non-white pixels, or None when there are none."""
    inked = [(x, y) for y in ys for x in xs if rows[y][x] != WHITE]
    if not inked:
        return None
    return (min(x for x, _ in inked), min(y for _, y in inked),
            max(x for x, _ in inked), max(y for _, y in inked))


def digit_boxes(rows, xs, ys):
    """(left, top, right, bottom) of each digit, the digits told apart by blank columns."""
    inked = [x for x in xs if any(rows[y][x] != WHITE for y in ys)]
    runs = []
    for x in inked:
        if runs and x == runs[-1][1] + 1:
            runs[-1][1] = x
        else:
            runs.append([x, x])
    return [ink_box(rows, range(a, b + 1), ys) for a, b in runs]


def digits_agree(win_digits, lin_digits):
    if len(win_digits) != len(lin_digits):
        return False
    for win, lin in zip(win_digits, lin_digits):
        (wl, wt, wr, wb), (ll, lt, lr, lb) = win, lin
        if max(abs(lt - wt), abs(lb - wb), abs(ll - wl)) > DIGIT_EDGE_TOLERANCE:
            return False
        if abs(lr - wr) > INK_BOX_TOLERANCE:
            return False
    return True


def main(windows_path, linux_path):
    with open(windows_path, "rb") as f:
        windows = f.read()
    with open(linux_path, "rb") as f:
        linux = f.read()
    if not check(len(windows) == len(linux) == 521578,
                 f"both files are 521,578 bytes ({len(windows)}, {len(linux)})"):
        return
    check(windows[:HEADER_BYTES] == linux[:HEADER_BYTES], "the 54 header bytes are identical")
    width, height = struct.unpack_from("<ii", windows, 18)
    check((width, height) == (WIDTH, HEIGHT), f"the picture is {WIDTH} x {HEIGHT}")

    win_rows, lin_rows = pixels(windows), pixels(linux)
    masked = [[False] * WIDTH for _ in range(HEIGHT)]
    number_cells = 0
    kinds_agree = True
    for column, row, xs, ys in cell_interiors():
        # A number cell is white inside; its corner stays clear of the digits.
        win_number = win_rows[ys[0]][xs[0]] == WHITE
        lin_number = lin_rows[ys[0]][xs[0]] == WHITE
        if win_number != lin_number:
            kinds_agree = False
            print(f"  cell ({column}, {row}): number on Windows {win_number}, on Linux {lin_number}")
            continue
        if not win_number:
            continue
        number_cells += 1
        win_box = ink_box(win_rows, xs, ys)
        lin_box = ink_box(lin_rows, xs, ys)
        check(win_box is not None and lin_box is not None and
              all(abs(a - b) <= INK_BOX_TOLERANCE for a, b in zip(win_box, lin_box)),
              f"cell ({column}, {row}): the digits stand in the same place "
              f"(inked box {win_box} on Windows, {lin_box} on Linux)")
        win_digits = digit_boxes(win_rows, xs, ys)
        lin_digits = digit_boxes(lin_rows, xs, ys)
        check(len(win_digits) == 2 and digits_agree(win_digits, lin_digits),
              f"cell ({column}, {row}): each of its two digits within "
              f"{DIGIT_EDGE_TOLERANCE} px at the top, bottom and left "
              f"(Windows {win_digits}, Linux {lin_digits})")
        for y in ys:
            for x in xs:
                masked[y][x] = True
    check(kinds_agree, "blank and number cells lie in the same places")
    check(number_cells == 15, f"15 number cells ({number_cells})")

    differing = [(x, y) for y in range(HEIGHT) for x in range(WIDTH)
                 if not masked[y][x] and win_rows[y][x] != lin_rows[y][x]]
    compared = sum(not masked[y][x] for y in range(HEIGHT) for x in range(WIDTH))
    detail = ""
    if differing:
        x, y = differing[0]
        detail = f"; first at ({x}, {y}): {win_rows[y][x]} against {lin_rows[y][x]}"
    check(not differing,
          f"the {compared} pixels outside the digits are identical "
          f"({len(differing)} differ{detail})")
    padding_same = all(
        windows[HEADER_BYTES + r * ((WIDTH * 3 + 3) & ~3) + WIDTH * 3] ==
        linux[HEADER_BYTES + r * ((WIDTH * 3 + 3) & ~3) + WIDTH * 3] for r in range(HEIGHT))
    check(padding_same, "the row padding bytes are identical")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("uso: compare_cards.py WINDOWS.bmp LINUX.bmp")
    main(sys.argv[1], sys.argv[2])
    print(f"{passed} passed, {failed} failed")
    sys.exit(1 if failed else 0)
