#!/usr/bin/env python3
"""Builds translate.dat from data/translations.tsv.

translate.dat, little-endian: i32 number of columns (20), i32 number of rows,
then every row's 20 texts, each an i32 count of UTF-16 code units followed by
the UTF-16LE code units. The TSV's header (its first line that is not a
comment) names its columns by language code, "de" (the German key) first;
column n of the TSV is column n of translate.dat (the same column as the
language's row in src/i18n/languages.cpp), and the further columns are
written empty.

usage: gen_translate_dat.py TSV OUTPUT
"""
import struct
import sys

COLUMNS = 20


def unescape(text, where):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\":
            nxt = text[i + 1] if i + 1 < len(text) else ""
            if nxt == "t":
                out.append("\t")
            elif nxt == "n":
                out.append("\n")
            elif nxt == "r":
                out.append("\r")
            elif nxt == "\\":
                out.append("\\")
            else:
                raise ValueError(f"{where}: unknown escape '\\{nxt}'")
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_header(fields, where):
    codes = fields
    if codes[0] != "de":
        raise ValueError(f"{where}: the header's first column must be de (the German key)")
    if len(codes) > COLUMNS:
        raise ValueError(f"{where}: {len(codes)} columns, translate.dat holds {COLUMNS}")
    for c in codes:
        if not (2 <= len(c) <= 3 and c.isascii() and c.isalpha() and c.islower()):
            raise ValueError(f"{where}: '{c}' is no language code")
    if len(set(codes)) != len(codes):
        raise ValueError(f"{where}: a language code twice")
    return codes


def read_rows(path):
    """The header's language codes and the rows of texts."""
    codes = None
    rows = []
    seen = {}
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n").rstrip("\r")
            if not line or line.startswith("#"):
                continue
            where = f"{path}:{n}"
            fields = line.split("\t")
            if codes is None:
                codes = read_header(fields, where)
                continue
            if len(fields) != len(codes):
                raise ValueError(f"{where}: {len(fields)} columns, expected {len(codes)} ({' '.join(codes)})")
            texts = [unescape(t, where) for t in fields]
            key = texts[0]
            if not key.strip(" "):
                raise ValueError(f"{where}: empty German text")
            if key != key.strip(" "):
                # The lookup compares texts without their outer blanks.
                raise ValueError(f"{where}: German text has leading or trailing blanks")
            if key in seen:
                raise ValueError(f"{where}: German text already in line {seen[key]}")
            seen[key] = n
            rows.append(texts)
    if codes is None:
        raise ValueError(f"{path}: no header naming the columns")
    return codes, rows


def encode(rows):
    out = bytearray(struct.pack("<ii", COLUMNS, len(rows)))
    for texts in rows:
        for c in range(COLUMNS):
            t = texts[c] if c < len(texts) else ""
            units = t.encode("utf-16-le")
            out += struct.pack("<i", len(units) // 2) + units
    return bytes(out)


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        _, rows = read_rows(argv[1])
    except (OSError, ValueError) as e:
        print(f"gen_translate_dat: {e}", file=sys.stderr)
        return 1
    data = encode(rows)
    tmp = argv[2] + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    import os
    os.replace(tmp, argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
