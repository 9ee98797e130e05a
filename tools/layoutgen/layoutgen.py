#!/usr/bin/env python3
"""Writes the keyboard layout files product/layouts/<board>.xml from the board descriptions here.

Run from anywhere, with Python 3 and nothing else:

    python3 tools/layoutgen/layoutgen.py            # rewrite product/layouts/kw104.xml and kw87.xml
    python3 tools/layoutgen/layoutgen.py --check    # exit 1 when a committed file differs from its source

The build does not run this script: the generated files are committed. Edit keys.txt or a
*.board file, run the script and commit the source together with the regenerated XML.

keys.txt is the key catalogue: id, HID usage in hexadecimal, legend (in double quotes when it
holds blanks) and a short description.

A *.board file holds one setting per line ("#" starts a comment):

    board     NAME                 base name of the layout file
    keys      N                    the number of keys the board must end up with
    image     FILE                 picture file name
    code      0x | plain           key codes written with or without the "0x" prefix
    menu      attr=value ...       the menu element, attributes in the order given
    function  attr=value ...       the function element
    firmware  attr=value ...       the firmware element
    light     attr=value ...       the light element
    mode      TEXT MODE BITS NAME  one lighting mode: language text id, mode number, feature
                                   bits (hexadecimal here, decimal in the file), a note
    row R at Y  TOKENS             a row of keys: R is the grid row, Y its top in key units

A row lists its keys left to right from x = 0; an indented line continues the row above. A token
is a key id, optionally with ":W" (width in key units) or ":WxH" (width and height), or "+G" to
leave a gap of G units.

Geometry: one key unit is 44 px; a key is drawn (units * 44 - 4) px wide and (units * 44 - 4) px
high, centred in its cells; the picture has a margin of 20 px round the keys and is centred
horizontally in a 1280 px wide page, just below its 150 px header. Keys are numbered in reading
order (row by row, left to right). The grid column of a key is the key unit in which its left edge
lies; when that cell is taken in the row the key moves to the next free column to the right.
"""

import argparse
import math
import os
import sys
from xml.sax.saxutils import escape

UNIT_PX = 44
KEY_GAP_PX = 4
MARGIN_PX = 20
PAGE_WIDTH_PX = 1280
HEADER_HEIGHT_PX = 150
GRID_ROWS = 8
GRID_COLUMNS = 32
MAX_KEYS = 110
ELEMENT_ORDER = ("menu", "function", "firmware", "light")

HERE = os.path.dirname(os.path.abspath(__file__))
REPO_ROOT = os.path.dirname(os.path.dirname(HERE))
DEFAULT_OUT = os.path.join(REPO_ROOT, "product", "layouts")
BOARDS = ("kw104", "kw87")


class SourceError(Exception):
    pass


def strip_comment(line):
    # "#" starts a comment unless it stands inside a quoted legend or is a legend itself.
    out = []
    quoted = False
    for i, ch in enumerate(line):
        if ch == '"':
            quoted = not quoted
        if ch == "#" and not quoted and (i == 0 or line[i - 1].isspace()):
            rest = line[i + 1:]
            if rest[:1].isspace() or rest == "":
                break
        out.append(ch)
    return "".join(out).rstrip()


def read_catalogue(path):
    keys = {}
    codes = {}
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            where = f"{os.path.basename(path)}:{number}"
            fields = line.split(None, 2)
            if len(fields) < 3:
                raise SourceError(f"{where}: expected id, code, name and description")
            key_id, code_text, rest = fields
            if rest.startswith('"'):
                end = rest.find('"', 1)
                if end < 0:
                    raise SourceError(f"{where}: unterminated quoted name")
                name, desc = rest[1:end], rest[end + 1:].strip()
            else:
                name, _, desc = rest.partition(" ")
                desc = desc.strip()
            if not name or not desc:
                raise SourceError(f"{where}: expected id, code, name and description")
            try:
                code = int(code_text, 16)
            except ValueError:
                raise SourceError(f"{where}: code {code_text!r} is not hexadecimal")
            if not 0 < code < 0xFF:
                raise SourceError(f"{where}: code {code_text} must lie between 01 and FE")
            if key_id in keys:
                raise SourceError(f"{where}: key id {key_id!r} given twice")
            if code in codes:
                raise SourceError(f"{where}: code {code_text} already belongs to {codes[code]!r}")
            keys[key_id] = {"code": code, "name": name, "desc": desc}
            codes[code] = key_id
    return keys


def parse_attributes(words, where):
    attributes = []
    for word in words:
        name, sep, value = word.partition("=")
        if not sep or not name:
            raise SourceError(f"{where}: expected attr=value, found {word!r}")
        attributes.append((name, value))
    return attributes


def parse_units(text, where):
    try:
        value = float(text)
    except ValueError:
        raise SourceError(f"{where}: {text!r} is not a number of key units")
    if value <= 0 or value * 4 != int(value * 4):
        raise SourceError(f"{where}: {text!r} must be a positive multiple of 0.25 units")
    return value


def read_board(path, catalogue):
    board = {"elements": {}, "modes": [], "rows": []}
    current_row = None
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            where = f"{os.path.basename(path)}:{number}"
            line = strip_comment(raw.rstrip("\n"))
            if not line.strip():
                continue
            words = line.split()
            if raw[0].isspace():
                if current_row is None:
                    raise SourceError(f"{where}: continuation line without a row")
                current_row["tokens"].extend((token, where) for token in words)
                continue
            current_row = None
            keyword = words[0]
            if keyword in ("board", "image", "code", "keys"):
                if len(words) != 2:
                    raise SourceError(f"{where}: {keyword} takes one value")
                board[keyword] = words[1]
            elif keyword in ELEMENT_ORDER:
                board["elements"][keyword] = parse_attributes(words[1:], where)
            elif keyword == "mode":
                if len(words) < 4:
                    raise SourceError(f"{where}: mode needs text id, mode number and feature bits")
                try:
                    text_id, mode, bits = int(words[1]), int(words[2]), int(words[3], 16)
                except ValueError:
                    raise SourceError(f"{where}: bad number in mode line")
                note = " ".join(words[4:])
                if "--" in note:
                    raise SourceError(f"{where}: a mode note cannot hold '--' (it becomes an XML comment)")
                board["modes"].append({"name": text_id, "mode": mode, "bits": bits, "note": note})
            elif keyword == "row":
                if len(words) < 4 or words[2] != "at":
                    raise SourceError(f"{where}: expected 'row R at Y' followed by keys")
                try:
                    row = int(words[1])
                    top = float(words[3])
                except ValueError:
                    raise SourceError(f"{where}: bad row number or top")
                current_row = {"row": row, "top": top, "tokens": [(t, where) for t in words[4:]]}
                board["rows"].append(current_row)
            else:
                raise SourceError(f"{where}: unknown setting {keyword!r}")

    for required in ("board", "keys", "image", "code"):
        if required not in board:
            raise SourceError(f"{os.path.basename(path)}: missing '{required}'")
    if board["code"] not in ("0x", "plain"):
        raise SourceError(f"{os.path.basename(path)}: code must be '0x' or 'plain'")
    try:
        board["keys_expected"] = int(board["keys"])
    except ValueError:
        raise SourceError(f"{os.path.basename(path)}: keys {board['keys']!r} is not a whole number")
    board["key_list"] = place_keys(board["rows"], catalogue)
    return board


def place_keys(rows, catalogue):
    keys = []
    used_ids = set()
    taken = set()
    for row in sorted(rows, key=lambda r: r["row"]):
        if not 0 <= row["row"] < 10:
            raise SourceError(f"row {row['row']}: the row must be a single digit")
        x = 0.0
        for token, where in row["tokens"]:
            if token.startswith("+"):
                x += parse_units(token[1:], where)
                continue
            key_id, _, size = token.partition(":")
            width, height = 1.0, 1.0
            if size:
                w_text, _, h_text = size.partition("x")
                width = parse_units(w_text, where)
                height = parse_units(h_text, where) if h_text else 1.0
            if key_id not in catalogue:
                raise SourceError(f"{where}: unknown key {key_id!r}")
            if key_id in used_ids:
                raise SourceError(f"{where}: key {key_id!r} placed twice")
            used_ids.add(key_id)
            column = math.floor(x)
            while (row["row"], column) in taken:
                column += 1
            if column >= GRID_COLUMNS or row["row"] >= GRID_ROWS:
                raise SourceError(f"{where}: key {key_id!r} falls outside the {GRID_ROWS} x {GRID_COLUMNS} grid")
            taken.add((row["row"], column))
            keys.append(dict(catalogue[key_id], id=key_id, x=x, y=row["top"], w=width, h=height,
                             row=row["row"], column=column))
            x += width
    return keys


def px(units):
    value = units * UNIT_PX
    if value != int(value):
        raise SourceError(f"{units} key units is not a whole number of pixels")
    return int(value)


def key_rect(key):
    left = MARGIN_PX + px(key["x"]) + KEY_GAP_PX // 2
    top = MARGIN_PX + px(key["y"]) + KEY_GAP_PX // 2
    return left, top, px(key["w"]) - KEY_GAP_PX, px(key["h"]) - KEY_GAP_PX


def overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def check_board(board):
    name = board["board"]
    keys = board["key_list"]
    if len(keys) != board["keys_expected"]:
        raise SourceError(f"{name}: {len(keys)} keys placed, {board['keys_expected']} expected")
    if len(keys) > MAX_KEYS:
        raise SourceError(f"{name}: more than {MAX_KEYS} keys")
    rects = [key_rect(k) for k in keys]
    for i in range(len(rects)):
        for j in range(i + 1, len(rects)):
            if overlaps(rects[i], rects[j]):
                raise SourceError(f"{name}: keys {keys[i]['id']!r} and {keys[j]['id']!r} overlap")
    for element in ELEMENT_ORDER:
        if element not in board["elements"]:
            raise SourceError(f"{name}: missing '{element}'")


def attribute_text(attributes):
    return " ".join(f'{n}="{escape(v, {chr(34): "&quot;"})}"' for n, v in attributes)


def render(board, source_name):
    keys = board["key_list"]
    prefix = "0x" if board["code"] == "0x" else ""
    right = max(k["x"] + k["w"] for k in keys)
    bottom = max(k["y"] + k["h"] for k in keys)
    width = 2 * MARGIN_PX + px(right)
    height = 2 * MARGIN_PX + px(bottom)
    xpos = (PAGE_WIDTH_PX - width) // 2
    ypos = HEADER_HEIGHT_PX
    col_count = max(k["column"] for k in keys) + 1
    row_count = max(k["row"] for k in keys) + 1

    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           f"<!-- Generated by tools/layoutgen/layoutgen.py from tools/layoutgen/{source_name}. "
           "Edit the source and regenerate; do not edit this file by hand. -->",
           "<device.info>"]
    elements = board["elements"]
    for element in ELEMENT_ORDER[:-1]:
        out.append(f"\t<{element} {attribute_text(elements[element])}/>")
    out.append(f"\t<light {attribute_text(elements['light'])}>")
    for mode in board["modes"]:
        note = f" <!-- {escape(mode['note'])} (0x{mode['bits']:03X}) -->" if mode["note"] else ""
        out.append(f'\t\t<info name="{mode["name"]}" mode="{mode["mode"]}" attribute="{mode["bits"]}"/>{note}')
    out.append("\t</light>")
    out.append(f'\t<Keyboard xpos="{xpos}" ypos="{ypos}" width="{width}" height="{height}" '
               f'image="{escape(board["image"], {chr(34): "&quot;"})}" row_count="{row_count}" col_count="{col_count}">')
    out.append("\t\t<KeyItems>")
    for index, key in enumerate(keys):
        rect = "#".join(str(v) for v in key_rect(key))
        attributes = [("code", f"{prefix}{key['code']:02X}"), ("name", key["name"]), ("desc", key["desc"]),
                      ("key_index", str(index)), ("light_index", str(index)), ("icon", ""),
                      ("row_col", f"{key['row']}#{key['column']}"), ("rect", rect)]
        out.append(f"\t\t\t<key {attribute_text(attributes)}/>")
    out.append("\t\t</KeyItems>")
    out.append("\t</Keyboard>")
    out.append("</device.info>")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description="Write the keyboard layout files from their source.")
    parser.add_argument("--out", default=DEFAULT_OUT, help="folder for the layout files (default: %(default)s)")
    parser.add_argument("--check", action="store_true", help="compare with the existing files instead of writing")
    args = parser.parse_args()

    try:
        catalogue = read_catalogue(os.path.join(HERE, "keys.txt"))
        outputs = {}
        for name in BOARDS:
            source_name = f"{name}.board"
            board = read_board(os.path.join(HERE, source_name), catalogue)
            if board["board"] != name:
                raise SourceError(f"{source_name}: board is named {board['board']!r}")
            check_board(board)
            outputs[name] = render(board, source_name)
    except (SourceError, OSError) as error:
        print(f"layoutgen: {error}", file=sys.stderr)
        return 2

    stale = []
    for name, text in outputs.items():
        path = os.path.join(args.out, f"{name}.xml")
        if args.check:
            try:
                with open(path, encoding="utf-8", newline="") as f:
                    if f.read() != text:
                        stale.append(path)
            except OSError:
                stale.append(path)
            continue
        os.makedirs(args.out, exist_ok=True)
        temporary = path + ".tmp"
        with open(temporary, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        os.replace(temporary, path)
        print(f"wrote {os.path.relpath(path)}")
    if stale:
        for path in stale:
            print(f"layoutgen: {os.path.relpath(path)} is not what its source generates", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
