#!/usr/bin/env python3
"""Checks the built manual as a reader meets it, through pdftotext:

- the outline (bookmarks) holds the contents, every chapter and section of
  the source in order, and the index;
- no character of the text is a typographic stand-in for an ASCII one
  (U+02C6 for ^, U+02DC for ~, curly quotes, minus signs, ligatures) and
  no Markdown markup shows;
- every line of every code block of the source is in the text as written
  (runs of blanks count as one: pdftotext does not keep them);
- page labels give every page with a printed number that number;
- every line of the contents has leaders and the page of its heading, and
  links to that page; every page number of the index links to its page;
- the index lists every keyword of the language.

Usage: check_pdf.py Basic.pdf basic.md token_kinds.h
"""
import re
import subprocess
import sys

# Characters groff puts in for ASCII ones when it is not told otherwise and
# that have no place in this manual's prose either (its apostrophes may be
# typographic; those of code are checked with the code).
STAND_INS = {"\u02c6": "^", "\u02dc": "~", "\u2018": "`", "\u2212": "-", "\u00b4": "'"}


def normal(line):
    return " ".join(line.split())


# ---- the PDF's objects ------------------------------------------------------

class Pdf:
    def __init__(self, data):
        self.objects = {}
        # the later definition of an object (an incremental update) wins
        for m in re.finditer(rb"(?<![0-9])(\d+)\s+0\s+obj\b(.*?)\bendobj", data, re.S):
            self.objects[int(m.group(1))] = re.sub(rb"stream\r?\n.*?endstream", b"", m.group(2),
                                                   flags=re.S)
        trailer = data[data.rindex(b"trailer"):]
        self.catalog = self.objects[int(re.search(rb"/Root\s+(\d+)", trailer).group(1))]
        self.pages = self.kids(self.ref(self.catalog, b"Pages"))
        self.page_of = {number: i for i, number in enumerate(self.pages)}

    @staticmethod
    def ref(text, key):
        m = re.search(rb"/" + key + rb"\s+(\d+)\s+0\s+R", text)
        return int(m.group(1)) if m else None

    def kids(self, number):
        node = self.objects[number]
        if re.search(rb"/Type\s*/Pages\b", node):
            kids = re.search(rb"/Kids\s*\[([^\]]*)\]", node).group(1)
            return [p for k in re.findall(rb"(\d+)\s+0\s+R", kids) for p in self.kids(int(k))]
        return [number]

    def labels(self):
        m = re.search(rb"/PageLabels\s*<<\s*/Nums\s*\[(.*?)\]\s*>>", self.catalog, re.S)
        if not m:
            return None
        ranges = [(int(start), style.decode(), int(first or 1)) for start, style, first in
                  re.findall(rb"(\d+)\s*<<\s*/S\s*/(\w)(?:\s*/St\s*(\d+))?\s*>>", m.group(1))]
        labels = []
        for page in range(len(self.pages)):
            start, style, first = max(r for r in ranges if r[0] <= page)
            n = first + page - start
            labels.append(str(n) if style == "D" else roman(n))
        return labels

    def destinations(self):
        dests = self.objects[self.ref(self.catalog, b"Dests")]
        return {name.decode(): self.page_of.get(int(page)) for name, page in
                re.findall(rb"/([\w.-]+)\s*\[\s*(\d+)\s+0\s+R", dests)}

    def links(self, page):
        """The destinations of the page's link annotations, in order."""
        m = re.search(rb"/Annots\s*\[([^\]]*)\]", self.objects[self.pages[page]])
        if not m:
            return []
        found = []
        for ref in re.findall(rb"(\d+)\s+0\s+R", m.group(1)):
            annot = self.objects[int(ref)]
            if re.search(rb"/Subtype\s*/Link", annot):
                dest = re.search(rb"/Dest\s*/([\w.-]+)", annot)
                found.append(dest.group(1).decode() if dest else None)
        return found


def roman(n):
    out = ""
    for value, letters in ((10, "x"), (9, "ix"), (5, "v"), (4, "iv"), (1, "i")):
        while n >= value:
            out += letters
            n -= value
    return out


# ---- the checks ---------------------------------------------------------------

def check_outline(data, headings, problems):
    titles = [t.decode("latin-1") for t in re.findall(rb"/Title \(((?:[^)\\]|\\.)*)\)", data)]
    titles = [re.sub(r"\\(.)", r"\1", t) for t in titles]
    wanted = ["Contents"] + headings + ["Index"]
    if titles[1:] != wanted:
        problems.append(f"outline differs from the headings; missing: "
                        f"{[h for h in wanted if h not in titles]}")


def check_characters(pages, problems):
    text = "\f".join(pages)
    for char, meant in STAND_INS.items():
        if char in text:
            where = [line for line in text.split("\n") if char in line][:3]
            problems.append(f"U+{ord(char):04X} stands for {meant!r} in: {where}")
    for markup in (r"\*\*", "`", r"(?<![\w)])\*[A-Za-z][^*\n]*[A-Za-z]\*(?![\w(])"):
        where = [line for line in text.split("\n") if re.search(markup, line)][:3]
        if where:
            problems.append(f"Markdown shows in: {where}")


def check_code(source, pages, problems):
    """Code blocks line by line, in order; code spans anywhere (they may
    break at a blank)."""
    lines = [normal(line) for line in "\n".join(pages).split("\n")]
    prose = re.sub(r"^```.*?^```$", "", source, flags=re.S | re.M)
    position, blocks = 0, re.findall(r"^```\w*\n(.*?)^```$", source, re.S | re.M)
    for block in blocks:
        for line in filter(None, map(normal, block.split("\n"))):
            try:
                position = lines.index(line, position) + 1
            except ValueError:
                problems.append(f"code line not in the PDF as written: {line!r}")
    text = " ".join(lines)
    spans = set(normal(span) for span in re.findall(r"`([^`]+)`", prose))
    for span in sorted(spans):
        if span not in text:
            problems.append(f"code span not in the PDF as written: {span!r}")
    return len(blocks), len(spans)


def check_labels(pdf, pages, labels, problems):
    if labels is None:
        problems.append("no page labels")
        return
    for page, (text, label) in enumerate(zip(pages, labels)):
        printed = [line.strip() for line in text.split("\n") if line.strip()][-1:]
        if label.isdigit() and printed != [label]:
            problems.append(f"page {page + 1} is labelled {label} but prints {printed}")
        if not label.isdigit() and printed and printed[0].strip().isdigit():
            problems.append(f"page {page + 1} is labelled {label} but prints {printed}")


def check_contents(pdf, pages, labels, headings, problems):
    """Lines of the form `number title ..... page`, each a link to its page."""
    front = [i for i, label in enumerate(labels or []) if not label.isdigit()]
    entries, links = [], []
    for page in front:
        entries += re.findall(r"^\s*((?:[\d.]+\s+)?(.+?))\s*\.{5,}\s*(\w+)$", pages[page], re.M)
        links += pdf.links(page)
    titles = [title for _, title, _ in entries]
    if titles != headings + ["Index"]:
        problems.append(f"the contents list {titles} instead of the headings")
    dests = pdf.destinations()
    for (line, title, printed), link in zip(entries, links + [None] * len(entries)):
        page = labels.index(printed) if printed in labels else None
        if page is None or normal(line) not in map(normal, pages[page].split("\n")):
            problems.append(f"contents: {line!r} is not on page {printed}")
        if link is None or dests.get(link) != page:
            problems.append(f"contents: {title!r} does not link to page {printed}")


def check_index(pdf, pages, labels, keywords, problems):
    start = next((i for i, text in enumerate(pages) if re.match(r"\s*Index\n", text)
                  and labels[i].isdigit()), None)
    if start is None:
        problems.append("no index")
        return
    # each page without its last line, the page number
    text = "\n".join(page.rstrip().rsplit("\n", 1)[0] for page in pages[start:])
    listed = set(re.findall(r"^(\S+)\s+\d", text, re.M))
    missing = [k for k in keywords if k not in listed]
    if missing:
        problems.append(f"the index lacks {missing}")
    numbers = [n for line in text.split("\n")[1:]
               for n in re.findall(r"\b(\d+)(?=,|$)", line.strip())]
    numbers = [n for n in numbers if n in labels]
    dests = pdf.destinations()
    targets = [labels[dests[d]] if d in dests and dests[d] is not None else None
               for page in range(start, len(pages)) for d in pdf.links(page)]
    if numbers != targets:
        problems.append(f"the index's page numbers {numbers[:12]}... link to {targets[:12]}...")


def main():
    pdf_path, source_path, kinds_path = sys.argv[1:4]
    with open(pdf_path, "rb") as f:
        data = f.read()
    with open(source_path, encoding="latin-1") as f:
        source = f.read()
    with open(kinds_path) as f:
        keywords = re.findall(r'KIND\(\w+, "([^"]+)"', f.read())
    headings = [re.sub(r"[`*]", "", m.group(1)) for m in
                re.finditer(r"^#+ (.*)$", re.sub(r"^```.*?^```", "", source, flags=re.S | re.M),
                            re.M)]
    def pdftotext(*options):
        text = subprocess.run(["pdftotext", "-enc", "UTF-8", *options, pdf_path, "-"],
                              capture_output=True, check=True).stdout.decode("utf-8")
        return text.split("\f")[:-1]

    # as laid out on the page (the index's columns side by side), and in
    # the order of writing (the index a column after the other)
    pages, flowing = pdftotext("-layout"), pdftotext("-raw")
    pdf = Pdf(data)
    problems = []
    if len(pages) != len(pdf.pages):
        problems.append(f"pdftotext reads {len(pages)} pages of {len(pdf.pages)}")
    labels = pdf.labels()
    check_outline(data, headings, problems)
    check_characters(pages, problems)
    blocks, spans = check_code(source, pages, problems)
    check_labels(pdf, pages, labels, problems)
    if labels:
        check_contents(pdf, pages, labels, headings, problems)
        check_index(pdf, flowing, labels, keywords, problems)
    for problem in problems:
        print(f"{pdf_path}: {problem}")
    print(f"{len(headings)} headings, {blocks} code blocks, {spans} code spans, {len(pages)} pages, "
          f"{len(keywords)} keywords checked")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
