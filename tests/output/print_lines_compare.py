"""Compares the lines of a printed PDF with the lines the preview lays out
on the same printer page.

The preview's runs (quillane-cli text --printer QUEUE, at screen resolution)
and the runs the print lays out (the same with --print --dpi at the
printer's resolution) must be the same lines, page by page, in drawing
order. Every run the print lays out must then arrive in the printed PDF as
exactly its words, on its row, inside the width it was measured at (give or
take --tol mm), and every word of the PDF must belong to one run: a line
broken elsewhere leaves words on another row or past the measured end.

The printed page is the whole sheet; the layout's page is the printable
area inside it, so one offset (the same on every page) is found first from
the runs whose first word is unique on its page.

With --written, the PDF the queue wrote from the printed document must show
the same pages (its fonts lose their text on the way through PostScript, so
it is compared as pictures).

usage: print_lines_compare.py PREVIEW.tsv LAID.tsv PRINTED.bbox.html
           [--printed-pdf PRINTED.pdf --written QUEUE.pdf] [--tol MM]
(PDFs read with pdftotext -bbox) exit 0: the same lines; 1: differences
(listed); 2: unreadable input.
"""
import argparse
import collections
import difflib
import html
import os
import re
import subprocess
import sys
import tempfile
import unicodedata

PT = 25.4 / 72


def leader(text):
    """Leader dots of the contents are drawing, not text: on paper they may
    overlap and merge into fewer dots."""
    return len(text.strip()) >= 3 and not text.strip(". ")


def read_preview(path):
    pages, raw = collections.defaultdict(list), collections.defaultdict(list)
    with open(path, encoding="utf-8") as f:
        head = f.readline()
        m = re.match(r"# (\d+) pages of (\d+) x (\d+) pixels at \d+ dpi \(([\d.]+) x ([\d.]+) mm\)", head)
        if not m:
            sys.exit("%s: no page header" % path)
        count, wpx, wmm = int(m.group(1)), int(m.group(2)), float(m.group(4))
        mm = wmm / wpx
        last = None
        for line in f:
            page, x, y, w, h, text = line.rstrip("\n").split("\t", 5)
            page, x, y, w, h = int(page), int(x), int(y), int(w), int(h)
            text = unicodedata.normalize("NFKC", text)
            # Runs drawn one after the other without a gap (leader dots,
            # a word in two fonts) are one word on paper.
            if last and last[0] == page and last[2] == y and last[4] == h and -1 <= x - last[1] - last[3] <= h // 10:
                last[3] = x + w - last[1]
                last[5] += text
            else:
                last = [page, x, y, w, h, text]
                raw[page].append(last)
    for page, runs in raw.items():
        for _, x, y, w, h, text in runs:
            words = text.split()
            if words and not leader(text):
                pages[page].append({"x": x * mm, "y": y * mm, "w": w * mm, "h": h * mm, "words": words,
                                    "text": " ".join(words)})
    return count, pages


def read_pdf(path):
    pages = []
    with open(path, encoding="utf-8") as f:
        data = f.read()
    for page in re.findall(r"<page [^>]*>(.*?)</page>", data, re.S):
        words = []
        for a, b, c, d, t in re.findall(
                r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(.*?)</word>', page):
            if leader(html.unescape(t)):
                continue
            words.append({"x0": float(a) * PT, "y0": float(b) * PT, "x1": float(c) * PT, "y1": float(d) * PT,
                          "text": unicodedata.normalize("NFKC", html.unescape(t)), "run": None})
        pages.append(words)
    return pages


def offset(preview, printed):
    """The printable area's place on the sheet: the most common offset
    between a run's first word and the same word, unique on both pages."""
    votes = collections.Counter()
    for n, runs in preview.items():
        if n > len(printed):
            continue
        firsts = collections.Counter(r["words"][0] for r in runs)
        pdf = collections.defaultdict(list)
        for w in printed[n - 1]:
            pdf[w["text"]].append(w)
        for r in runs:
            word = r["words"][0]
            if firsts[word] == 1 and len(pdf[word]) == 1:
                w = pdf[word][0]
                votes[(round(w["x0"] - r["x"], 1), round((w["y0"] + w["y1"]) / 2 - (r["y"] + r["h"] / 2), 1))] += 1
    if not votes:
        return None
    # The most votes within half a millimetre, their mean.
    best = max(votes, key=lambda v: sum(c for u, c in votes.items()
                                        if abs(u[0] - v[0]) <= 0.5 and abs(u[1] - v[1]) <= 0.5))
    near = [(u, c) for u, c in votes.items() if abs(u[0] - best[0]) <= 0.5 and abs(u[1] - best[1]) <= 0.5]
    total = sum(c for _, c in near)
    return sum(u[0] * c for u, c in near) / total, sum(u[1] * c for u, c in near) / total


def breaks(preview, laid):
    """Differences between the lines of two layouts of the same pages, in
    drawing order."""
    problems = []
    for n in sorted(set(preview) | set(laid)):
        a = [r["text"] for r in preview.get(n, [])]
        b = [r["text"] for r in laid.get(n, [])]
        for op, i1, i2, j1, j2 in difflib.SequenceMatcher(None, a, b, autojunk=False).get_opcodes():
            if op != "equal":
                problems.append("page %d: the preview's lines %s are %s when printed" % (
                    n, " / ".join(a[i1:i2]) or "(none)", " / ".join(b[j1:j2]) or "(none)"))
    return problems


def compare(preview, printed, dx, dy, tol):
    problems, worst, runs_seen = [], 0.0, 0
    for n in sorted(preview):
        if n > len(printed):
            problems.append("page %d: not printed" % n)
            continue
        words = printed[n - 1]
        for i, r in enumerate(preview[n]):
            runs_seen += 1
            left, right = r["x"] + dx - tol, r["x"] + r["w"] + dx + tol
            mid = r["y"] + r["h"] / 2 + dy
            mine = [w for w in words if w["run"] is None and abs((w["y0"] + w["y1"]) / 2 - mid) < 0.35 * r["h"]
                    and w["x0"] >= left and w["x1"] <= right]
            mine.sort(key=lambda w: w["x0"])
            got = [w["text"] for w in mine]
            if "".join(got) != "".join(r["words"]):
                near = sorted((w for w in words if abs((w["y0"] + w["y1"]) / 2 - mid) < 0.35 * r["h"]),
                              key=lambda w: w["x0"])
                problems.append("page %d: the preview draws \"%s\" at %.1f-%.1f mm; printed on that row: %s" % (
                    n, r["text"], r["x"], r["x"] + r["w"],
                    " ".join("\"%s\" %.1f-%.1f" % (w["text"], w["x0"] - dx, w["x1"] - dx) for w in near) or "nothing"))
                continue
            for w in mine:
                w["run"] = i
            if mine:
                worst = max(worst, mine[-1]["x1"] - dx - (r["x"] + r["w"]), r["x"] - (mine[0]["x0"] - dx))
        for w in words:
            if w["run"] is None:
                problems.append("page %d: \"%s\" printed at %.1f, %.1f mm is in no line of the preview" % (
                    n, w["text"], w["x0"] - dx, w["y0"] - dy))
    for n in range(len(preview) + 1, len(printed) + 1):
        if printed[n - 1]:
            problems.append("page %d: printed with text, the preview has none" % n)
    return problems, worst, runs_seen


def read_pgm(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:  # magic, width, height, maxval
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def same_pages(printed_pdf, written_pdf, pages):
    """Differences between the pages of the printed document and those the
    queue wrote from it, as grey pictures at 30 dpi."""
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        for name, pdf in (("a", printed_pdf), ("b", written_pdf)):
            subprocess.run(["pdftoppm", "-r", "30", "-gray", pdf, os.path.join(tmp, name)], check=True, stderr=subprocess.DEVNULL,
                           timeout=120)
        shots = [sorted(f for f in os.listdir(tmp) if f.startswith(name + "-")) for name in ("a", "b")]
        if len(shots[0]) != pages or len(shots[1]) != pages:
            return ["the queue wrote %d pages of the %d printed" % (len(shots[1]), len(shots[0]))]
        for n in range(1, pages + 1):
            (w, h, pa), (w2, h2, pb) = (read_pgm(os.path.join(tmp, s[n - 1])) for s in shots)
            if (w, h) != (w2, h2):
                problems.append("page %d: the queue's page is %d x %d, the printed %d x %d" % (n, w2, h2, w, h))
                continue
            # In blocks of 4 x 4 pixels: the queue draws small glyphs thinner.
            differ = blocks = 0
            for by in range(0, h - 3, 4):
                for bx in range(0, w - 3, 4):
                    sa = sum(pa[(by + j) * w + bx + i] for j in range(4) for i in range(4))
                    sb = sum(pb[(by + j) * w + bx + i] for j in range(4) for i in range(4))
                    blocks += 1
                    differ += abs(sa - sb) > 16 * 48
            if differ > blocks // 200:
                problems.append("page %d: %d of %d blocks of the queue's page differ" % (n, differ, blocks))
    return problems


def report(problems):
    for p in problems[:25]:
        print("  " + p)
    if len(problems) > 25:
        print("  ... %d more" % (len(problems) - 25))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("preview", help="quillane-cli text --printer QUEUE")
    ap.add_argument("laid", help="quillane-cli text --printer QUEUE --print --dpi RESOLUTION")
    ap.add_argument("printed", help="pdftotext -bbox of the printed document")
    ap.add_argument("--printed-pdf", help="the printed document itself")
    ap.add_argument("--written", help="the PDF the queue wrote (with --printed-pdf)")
    ap.add_argument("--tol", type=float, default=0.3)
    a = ap.parse_args()
    count, preview = read_preview(a.preview)
    laidcount, laid = read_preview(a.laid)
    printed = read_pdf(a.printed)
    problems = breaks(preview, laid)
    report(problems)
    print("the preview has %d pages, the layout at the printer's resolution %d: %d differences of lines" % (
        count, laidcount, len(problems)))
    if len(printed) != laidcount:
        print("the printer's layout has %d pages, the printed PDF %d" % (laidcount, len(printed)))
        return 1
    place = offset(laid, printed)
    if place is None:
        print("no word of the printer's layout was found in the printed PDF")
        return 1
    dx, dy = place
    drawn, worst, runs = compare(laid, printed, dx, dy, a.tol)
    report(drawn)
    print("%d pages, %d runs, printable area at %.1f, %.1f mm; words reach at most %.2f mm past a run's "
          "measured ends; %d differences" % (laidcount, runs, dx, dy, worst, len(drawn)))
    problems += drawn
    if a.written:
        written = same_pages(a.printed_pdf, a.written, laidcount)
        report(written)
        print("the queue's PDF shows the printed document: %d differences" % len(written))
        problems += written
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
