#!/usr/bin/env python3
"""Builds the manual from its Markdown source: a PDF with a table of
contents and bookmarks (groff with the ms macros, tbl and gropdf), and the
man page of the `tenrek` command from the manual's chapter about it.

Usage: build.py SOURCE.md VERSION [--pdf OUT.pdf] [--man OUT.1]

The source uses a small part of Markdown: `#` chapters and `##` sections,
paragraphs, `-` and `1.` lists, pipe tables, fenced code blocks, definition
lists (a line, then `: ` and the text) and the inline forms `code`,
**bold** and *italic*.
"""
import re
import subprocess
import sys

MAN_CHAPTER = "The tenrek command"
BLOCK_LABELS = {"input": "Answers typed:", "output": "Prints:", "transcript": "Transcript:"}


# ---- text ---------------------------------------------------------------

def escape(text, code=False):
    text = text.replace("\\", "\\e")
    if code:
        text = text.replace("-", "\\-").replace("'", "\\(aq").replace("`", "\\(ga")
    return text


def inline(text):
    """Markdown inline forms to troff font changes."""
    out, pos = [], 0
    pattern = re.compile(r"`([^`]+)`|\*\*(.+?)\*\*|\*(.+?)\*")
    for m in pattern.finditer(text):
        out.append(escape(text[pos:m.start()]))
        if m.group(1) is not None:
            out.append("\\f(CW" + escape(m.group(1), code=True) + "\\fP")
        elif m.group(2) is not None:
            out.append("\\fB" + escape(m.group(2)) + "\\fP")
        else:
            out.append("\\fI" + escape(m.group(3)) + "\\fP")
        pos = m.end()
    out.append(escape(text[pos:]))
    return protect("".join(out))


def protect(line):
    """A text line must not start with a control character."""
    return "\\&" + line if line.startswith((".", "'")) else line


def plain(text):
    """Heading text for bookmarks and .tm: no markup at all."""
    return re.sub(r"[`*]", "", text)


# ---- blocks -------------------------------------------------------------

def parse(source):
    """Splits the source into (kind, data) blocks."""
    lines = source.split("\n")
    blocks, i = [], 0
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
        elif line.startswith("```"):
            kind, body = line[3:].strip(), []
            i += 1
            while not lines[i].startswith("```"):
                body.append(lines[i])
                i += 1
            blocks.append(("code", (kind, body)))
            i += 1
        elif line.startswith("#"):
            level = len(line) - len(line.lstrip("#"))
            blocks.append(("heading", (level, line[level:].strip())))
            i += 1
        elif line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                cells = [c.strip() for c in lines[i].strip().strip("|").split("|")]
                if not all(re.fullmatch(r":?-+:?", c) for c in cells):
                    rows.append(cells)
                i += 1
            blocks.append(("table", rows))
        elif re.match(r"(- |\d+\. )", line):
            items = []
            while i < len(lines) and lines[i].strip():
                m = re.match(r"(- |\d+\. )(.*)", lines[i])
                if m:
                    items.append([m.group(2)])
                else:
                    items[-1].append(lines[i].strip())
                i += 1
            blocks.append(("list", (line[0] != "-", [" ".join(item) for item in items])))
        elif i + 1 < len(lines) and lines[i + 1].startswith(": "):
            term, text = line, [lines[i + 1][2:]]
            i += 2
            while i < len(lines) and lines[i].startswith("  ") and lines[i].strip():
                text.append(lines[i].strip())
                i += 1
            blocks.append(("definition", (term, " ".join(text))))
        else:
            text = []
            while (i < len(lines) and lines[i].strip()
                   and not lines[i].startswith(("```", "#", "|"))):
                text.append(lines[i])
                i += 1
            blocks.append(("paragraph", text))
    return blocks


def paragraph_lines(lines):
    """A paragraph of forms only (`IF ... THEN ...` lines) keeps its lines."""
    text = [inline(line) for line in lines]
    if len(lines) > 1 and all(re.fullmatch(r"`[^`]+`[,.]?", l.strip()) for l in lines):
        return [part for line in text for part in (line, ".br")][:-1]
    return text


# ---- the PDF (ms) -------------------------------------------------------

def ms_table(rows):
    # The last column takes the width that is left and wraps; the others
    # are as wide as their longest entry.
    columns = max(len(r) for r in rows)
    heading = " ".join(["lb"] * columns)
    body = " ".join(["l"] * (columns - 1) + ["lx"])
    out = [".TS", "allbox tab(\x01);", heading, body + "."]
    for row in rows:
        cells = [inline(c) for c in row + [""] * (columns - len(row))]
        cells[-1] = "T{\n" + cells[-1] + "\nT}"
        out.append("\x01".join(cells))
    out.append(".TE")
    return out


def ms_code(kind, body):
    out = []
    if kind in BLOCK_LABELS:
        out += [".LP", "\\fI" + BLOCK_LABELS[kind] + "\\fP"]
    out += [".DS I", ".ft CW", ".ps -1", ".vs -1", ".nf"]
    out += [protect(escape(line, code=True)) if line else "" for line in body]
    out += [".fi", ".vs", ".ps", ".ft", ".DE"]
    return out


def ms_body(blocks):
    out, chapters = [], 0
    for kind, data in blocks:
        if kind == "heading":
            level, title = data
            if level == 1:
                chapters += 1
                if chapters > 1:
                    out.append(".bp")
            out += [f".NH {level}", inline(title)]
            out.append(f".pdfbookmark {level} \"{plain(title)}\"")
            out.append(f".tm TOC {level}|\\n%|\\*[SN]|{plain(title)}")
        elif kind == "paragraph":
            out += [".PP"] + paragraph_lines(data)
        elif kind == "list":
            numbered, items = data
            for n, item in enumerate(items, 1):
                out += [f".IP {n}. 3" if numbered else ".IP \\(bu 2", inline(item)]
            out.append(".LP")
        elif kind == "definition":
            term, text = data
            out += [".IP \"" + inline(term) + "\" 4", inline(text), ".LP"]
        elif kind == "table":
            out += ms_table(data)
        elif kind == "code":
            out += ms_code(*data)
    return out


def ms_document(blocks, version, contents):
    out = [".mso pdf.tmac", ".nr PS 10", ".nr VS 12", ".nr PO 1i", ".nr LL 6.5i",
           ".nr HM 0.8i", ".nr FM 0.8i", ".nr PD 0.4v", ".nr PI 0", ".ds CH",
           ".ds CF", '.pdfinfo /Title "Tenrek BASIC"',
           ".TL", "Tenrek BASIC", ".AU", f"The language and the object, version {version}",
           ".sp 2", ".LP", "\\s+2\\fBContents\\fP\\s0", ".sp 0.5", ".na", ".ta \\n(.luR", ".lc ."]
    for level, page, number, title in contents:
        if level == 1:
            out += [".sp 0.4", f"\\fB{escape(number)}  {escape(title)}\\fP\\a{page}", ".br"]
        else:
            out += [f"\\h'2n'{escape(number)}  {escape(title)}\\a{page}", ".br"]
    # The contents pages have no number; the body starts on page 1.
    out += [".ad", ".pn 1", ".bp", ".ds CF \\\\n%"]
    return "\n".join(out + ms_body(blocks)) + "\n"


def run_groff(document, output=None):
    command = ["groff", "-ms", "-t", "-Tpdf", "-dpaper=a4", "-P-pa4"]
    if output is None:
        command.append("-z")
    result = subprocess.run(command, input=document.encode("latin-1"), capture_output=True)
    if result.returncode != 0:
        sys.exit("groff failed:\n" + result.stderr.decode("latin-1"))
    messages = result.stderr.decode("latin-1").splitlines()
    contents = []
    for line in messages:
        if line.startswith("TOC "):
            level, page, number, title = line[4:].split("|", 3)
            contents.append((int(level), page, number.strip(), title))
        elif "error" in line or "fatal" in line:
            sys.exit("groff: " + line)
        elif line.strip():
            print("groff: " + line, file=sys.stderr)
    if output is not None:
        with open(output, "wb") as f:
            f.write(result.stdout)
    return contents


def build_pdf(blocks, version, output):
    # The contents come first but need the pages of the headings: a first
    # pass without them finds the pages (the body always starts on page 1).
    contents = run_groff(ms_document(blocks, version, []))
    run_groff(ms_document(blocks, version, contents), output)


# ---- the man page --------------------------------------------------------

def man_page(blocks, version):
    start = next(i for i, (k, d) in enumerate(blocks) if k == "heading" and d == (1, MAN_CHAPTER))
    out = [f'.TH TENREK 1 "" "tenrek {version}" "Tenrek manual"', ".SH NAME",
           "tenrek \\- BASIC prompt, program runner and host simulator of Tenrek"]
    for kind, data in blocks[start + 1:]:
        if kind == "heading":
            if data[0] == 1:
                break
            out += [".SH " + plain(data[1]).upper()]
        elif kind == "paragraph":
            out += [".PP"] + paragraph_lines(data)
        elif kind == "definition":
            out += [".TP", inline(data[0]), inline(data[1])]
        elif kind == "list":
            out += [item for i in data[1] for item in (".IP \\(bu 2", inline(i))]
        elif kind == "code":
            out += [".PP", ".nf"] + [protect(escape(l, code=True)) for l in data[1][1]] + [".fi"]
        elif kind == "table":
            out += ms_table(data)
    out += [".SH SEE ALSO", "The Tenrek BASIC manual, \\fIBasic.pdf\\fP, for the language."]
    return "\n".join(out) + "\n"


def main():
    source, version = sys.argv[1], sys.argv[2]
    args = sys.argv[3:]
    with open(source, encoding="latin-1") as f:
        blocks = parse(f.read())
    if "--pdf" in args:
        build_pdf(blocks, version, args[args.index("--pdf") + 1])
    if "--man" in args:
        with open(args[args.index("--man") + 1], "w", encoding="latin-1") as f:
            f.write(man_page(blocks, version))


if __name__ == "__main__":
    main()
