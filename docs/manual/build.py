#!/usr/bin/env python3
"""Builds the manual from its Markdown source, read with markdown-it (a
CommonMark parser, with its table and definition-list extensions):

- Basic.pdf with groff (ms macros, tbl, gropdf): contents with leaders and
  links, bookmarks, an index of keywords, operators and error numbers with
  linked page numbers, and page labels that match the printed numbers;
- Basic.html, the same text as one page;
- tenrek.1, the man page of the command (the chapter "The tenrek command");
- tenrek-basic.7, the man page of the language (every other chapter).

Usage: build.py SOURCE.md VERSION [--pdf OUT.pdf] [--html OUT.html]
                [--man OUT.1] [--man7 OUT.7] [--doc-dir DIR]

DIR is where Basic.pdf and Basic.html are installed; the man pages name it.
"""
import html
import re
import subprocess
import sys

from markdown_it import MarkdownIt
from markdown_it.tree import SyntaxTreeNode
from mdit_py_plugins.deflist import deflist_plugin

TITLE = "Tenrek BASIC"
COMMAND_CHAPTER = "The tenrek command"
STATEMENTS_CHAPTER = "Statements"
BLOCK_LABELS = {"input": "Answers typed:", "output": "Prints:", "transcript": "Transcript:"}
KEYWORD = re.compile(r"\b[A-Z][A-Z]+\$?")


# ---- the source ------------------------------------------------------------

class Chapter:
    def __init__(self, heading):
        self.heading = heading
        self.title = heading.children[0].content
        self.blocks = []


def read_source(path):
    with open(path, encoding="latin-1") as f:
        text = f.read()
    parser = MarkdownIt("commonmark").enable("table").use(deflist_plugin)
    root = SyntaxTreeNode(parser.parse(text))
    chapters = []
    for node in root.children:
        if node.type == "heading" and node.tag == "h1":
            chapters.append(Chapter(node))
        elif chapters:
            chapters[-1].blocks.append(node)
        else:
            sys.exit(f"{path}: text before the first chapter")
    return chapters


def inline_of(node):
    """The inline node of a heading, paragraph, cell or term."""
    while node.type != "inline":
        node = node.children[0]
    return node


def plain(node):
    """The text of an inline node without any markup."""
    out = []
    for child in inline_of(node).children:
        if child.type in ("text", "code_inline"):
            out.append(child.content)
        elif child.type in ("softbreak", "hardbreak"):
            out.append(" ")
        else:
            out.append(plain_children(child))
    return "".join(out)


def plain_children(node):
    return "".join(c.content if c.type in ("text", "code_inline") else plain_children(c)
                   for c in node.children)


def code_spans(node):
    found = []
    for child in inline_of(node).children:
        if child.type == "code_inline":
            found.append(child.content)
        elif child.children:
            found += [c.content for c in child.children if c.type == "code_inline"]
    return found


def is_form_lines(node):
    """A paragraph of forms only (`IF ... THEN ...` lines) keeps its lines."""
    lines = [[]]
    for child in inline_of(node).children:
        if child.type == "softbreak":
            lines.append([])
        else:
            lines[-1].append(child)
    return len(lines) > 1 and all(
        len(line) >= 1 and line[0].type == "code_inline"
        and all(c.type == "code_inline" or (c.type == "text" and re.fullmatch(r"[,.]?( \.\.\. )?|, ", c.content))
                for c in line)
        for line in lines)


def table_rows(table):
    rows = []
    for part in table.children:
        for row in part.children:
            rows.append(row.children)
    return rows


# ---- the index ---------------------------------------------------------------
# Keywords (statements, functions, operator words), operator signs and error
# numbers, each with where it is described: the sections of the statements
# chapter (the words of the heading and of the forms under it) and the rows
# of the operator, function and error tables.

def table_kind(table):
    return plain(table_rows(table)[0][0])


def keyword_terms(text):
    return [("Keywords", word, word) for word in KEYWORD.findall(text)]


def heading_terms(chapter, section, first_paragraph):
    if chapter != STATEMENTS_CHAPTER:
        return []
    text = plain(section) + " " + " ".join(code_spans(first_paragraph) if first_paragraph else [])
    terms = keyword_terms(text)
    if "(?)" in plain(section):
        terms.append(("Operators and signs", "?", "?"))
    return terms


def row_terms(kind, cells):
    if kind == "Function":
        return keyword_terms(" ".join(code_spans(cells[0])))
    if kind == "Level":
        terms = []
        for op in code_spans(cells[1]):
            terms += keyword_terms(op) if KEYWORD.fullmatch(op) else [("Operators and signs", op, op)]
        return terms
    if kind == "Number" and table_kind_is_errors(cells):
        number = plain(cells[0])
        return [("Error numbers", f"{number}  {plain(cells[1])}", f"{int(number):+04d}")]
    return []


def table_kind_is_errors(cells):
    return len(cells) == 3 and re.fullmatch(r"-?\d+", plain(cells[0]) or "") is not None


def sort_key(group, key):
    if group == "Error numbers":
        number = int(key)
        return (number < 0, abs(number))
    return (key.lstrip("$").upper(), key)


# ---- troff text --------------------------------------------------------------

CODE_CHARS = {"\\": "\\e", "-": "\\-", "'": "\\(aq", "`": "\\(ga", "^": "\\(ha", "~": "\\(ti"}
TEXT_CHARS = {"\\": "\\e", "^": "\\(ha", "~": "\\(ti", "`": "\\(ga"}


def escape(text, code=False):
    table = CODE_CHARS if code else TEXT_CHARS
    return "".join(table.get(ch, ch) for ch in text)


SHORT_CODE = 30  # a code span up to this long is never broken at a blank


def code_text(text, fixed_blanks):
    """A code span: words never hyphenated; short spans never broken."""
    words = [("\\%" + escape(w, code=True)) if w else "" for w in text.split(" ")]
    return ("\\ " if fixed_blanks else " ").join(words)


class Fonts:
    """Font names for the PDF (Courier for code) and for man pages (bold)."""
    def __init__(self, pdf):
        self.pdf = pdf

    def code(self, font):
        if not self.pdf:
            return "B"
        return {"B": "CB", "I": "CI", "BI": "CBI"}.get(font, "CR")


def troff_inline(node, fonts, font="R", form_lines=False):
    out = []
    children = node.children
    for i, child in enumerate(children):
        kind = child.type
        if kind == "text" and 0 < i < len(children) - 1 and re.fullmatch(r"[,;]? ", child.content) \
                and children[i - 1].type == children[i + 1].type == "code_inline" \
                and children[i - 1].content.endswith((")", "$")):
            # between two forms (`SIN(x)`, `COS(x)`) a blank as wide as theirs
            out.append(f"\\f[{fonts.code(font)}]{escape(child.content, code=True)}\\f[{font}]")
        elif kind == "text":
            # keywords in the prose are never hyphenated
            out.append(re.sub(r"\b(?=[A-Z][A-Z]+\b)", r"\\%", escape(child.content)))
        elif kind == "code_inline":
            out.append(f"\\f[{fonts.code(font)}]" + code_text(child.content, fonts.pdf and len(child.content) <= SHORT_CODE)
                       + f"\\f[{font}]")
        elif kind in ("strong", "em"):
            inner = ("B" if kind == "strong" else "I")
            inner = {"BI": "BI", "IB": "BI"}.get(font + inner, inner) if font != "R" else inner
            out.append(f"\\f[{inner}]" + troff_inline(child, fonts, inner) + f"\\f[{font}]")
        elif kind == "softbreak":
            out.append("\n.br\n" if form_lines else "\n")
        elif kind == "hardbreak":
            out.append("\n.br\n")
        else:
            out.append(troff_inline(child, fonts, font))
    return "".join(out)


def troff_lines(text):
    """Text lines that never start with a control character or a blank."""
    lines = []
    for line in text.split("\n"):
        if line in (".br",):
            lines.append(line)
            continue
        line = line.strip()
        if line:
            lines.append("\\&" + line if line.startswith((".", "'")) else line)
    return lines


def troff_block_text(node, fonts, font="R"):
    inline = inline_of(node)
    form_lines = node.type == "paragraph" and is_form_lines(node)
    return troff_lines(troff_inline(inline, fonts, font, form_lines))


def code_lines(body):
    out = []
    for line in body.rstrip("\n").split("\n"):
        text = escape(line, code=True)
        out.append("\\&" + text if text else "")
    return out


# ---- the PDF (ms) ------------------------------------------------------------

class PdfWriter:
    def __init__(self, chapters, version, contents, index):
        self.chapters = chapters
        self.version = version
        self.contents = contents      # [(level, page, number, title, destination)]
        self.index = index            # {(group, key)): (text, [(page, destination)])}
        self.fonts = Fonts(pdf=True)
        self.destinations = 0
        self.out = []

    def emit(self, *lines):
        self.out.extend(lines)

    def text(self, node, font="R"):
        return troff_block_text(node, self.fonts, font)

    def mark(self, terms):
        """A destination here, and index entries that point at it."""
        self.destinations += 1
        name = f"ix{self.destinations}"
        self.emit(f".pdfhref M -N {name}")
        for group, text, key in terms:
            self.emit(f".tm IDX {group}|{key}|\\n%|{name}|{text}")

    def link(self, destination, text):
        return (f"\\X'pdf: markstart \\n[lk:top] \\n[lk:bottom] \\n[PDFHREF.LEADING] "
                f"/Subtype /Link /Dest /{destination} /Border [0 0 0] /Color [0 0 1]'{text}\\X'pdf: markend'")

    def document(self):
        self.emit(".mso pdf.tmac", ".nr PS 10", ".nr VS 12", ".nr PO 1i", ".nr LL 6.5i",
                  ".nr HM 0.8i", ".nr FM 0.8i", ".nr PD 0.4v", ".nr PI 0", ".ds CH", ".ds CF",
                  ".nr GROWPS 0", f'.pdfinfo /Title "{TITLE}"',
                  # the height of a link's hot spot: that of a line of text
                  ".nr lk:w \\w'\\s[10]Xg\\s0'", ".nr lk:top \\n[rst]", ".nr lk:bottom \\n[rsb]",
                  ".TL", TITLE, ".AU", f"The language and the object, version {self.version}",
                  ".sp 2", ".LP", ".pdfbookmark 1 Contents", "\\s+2\\fBContents\\fP\\s0", ".sp 0.5")
        self.table_of_contents()
        # The title and contents pages have no number; the body starts on page 1.
        self.emit(".pn 1", ".bp", ".ds CF \\\\n%")
        for number, chapter in enumerate(self.chapters):
            if number:
                self.emit(".bp")
            self.heading(1, chapter.heading, chapter.title)
            self.blocks(chapter.title, chapter.blocks)
        self.index_chapter()
        self.emit(".tm LAST \\n%")
        return "\n".join(self.out) + "\n"

    def table_of_contents(self):
        self.emit(".na", ".nh", ".ta \\n(.luR", ".lc .", ".in 0")
        for level, page, number, title, destination in self.contents:
            if level == 1:
                self.emit(".sp 0.3")
                line = f"\\fB{escape(number)}\\h'|3.5n'{escape(title)}\\fP\x01{page}"
            else:
                line = f"\\h'|3.5n'{escape(number)}\\h'|9n'{escape(title)}\x01{page}"
            self.emit(self.link(destination, line), ".br")
        self.emit(".lc", ".ta", ".ad", ".hy")

    def heading(self, level, node, title):
        self.destinations += 1
        name = f"h{self.destinations}"
        self.emit(f".pdfhref M -N {name}")
        if level == 0:
            self.emit(".SH", escape(title))
        else:
            self.emit(f".NH {level}", *troff_block_text(node, self.fonts, "B"))
        self.emit(f".pdfbookmark {max(level, 1)} \"{title}\"")
        self.emit(f".tm TOC {max(level, 1)}|\\n%|{'' if level == 0 else chr(92) + '*[SN]'}|{title}|{name}")

    def blocks(self, chapter, blocks):
        for i, node in enumerate(blocks):
            kind = node.type
            if kind == "heading":
                # a heading stays with the start of what follows it
                following = blocks[i + 1] if i + 1 < len(blocks) else None
                if following is not None and following.type == "table":
                    self.emit(f".ne {min(len(table_rows(following)) * 1.6 + 4, 20):.0f}v")
                else:
                    self.emit(".ne 8v")
                self.heading(2, node, plain(node))
                following = blocks[i + 1] if i + 1 < len(blocks) and blocks[i + 1].type == "paragraph" else None
                terms = heading_terms(chapter, node, following)
                if terms:
                    self.mark(terms)
            elif kind == "paragraph":
                self.emit(".PP", *self.text(node))
            elif kind in ("bullet_list", "ordered_list"):
                for n, item in enumerate(node.children, 1):
                    self.emit(f".IP {n}. 3" if kind == "ordered_list" else ".IP \\(bu 2")
                    for j, part in enumerate(item.children):
                        if j:
                            self.emit(".sp 0.3")
                        self.emit(*self.text(part))
                self.emit(".LP")
            elif kind == "dl":
                self.definitions(node)
            elif kind == "table":
                self.table(node)
            elif kind == "fence":
                self.code(node.info.strip(), node.content)
            else:
                sys.exit(f"the manual's builder does not know {kind} blocks")

    def definitions(self, node):
        for child in node.children:
            if child.type == "dt":
                self.emit(".IP \"\" 4", ".ti -4", *self.text(child))
            else:
                self.emit(".br")
                for part in child.children:
                    self.emit(*self.text(part))
        self.emit(".LP")

    def table(self, node):
        rows = table_rows(node)
        kind = table_kind(node)
        columns = max(len(r) for r in rows)
        widths = column_widths(rows)
        if widths is None:
            # Columns as wide as their longest entry, but the last one takes
            # what is left and wraps.
            formats = ["lb " * (columns - 1) + "lb", "l " * (columns - 1) + "lx."]
        else:
            # Too wide for that: every column wraps, in a width that is its
            # share of the line.
            formats = [" ".join(f"lbw({w}n)" for w in widths), " ".join(f"lw({w}n)" for w in widths) + "."]
        self.emit(".TS", "allbox tab(\x01);", *formats)
        for n, row in enumerate(rows):
            if n:
                terms = row_terms(kind, row)
                if terms:
                    self.mark(terms)
            cells = []
            for c, cell in enumerate(row):
                font = "B" if n == 0 else "R"
                text = " ".join(troff_block_text(cell, self.fonts, font)) \
                    if inline_of(cell).children else ""
                # a text block starts in its font: tbl does not reset it
                wrap = widths is not None or (c == columns - 1 and n > 0)
                cells.append(f"T{{\n.na\n.nh\n\\f[{font}]{text}\nT}}" if wrap else text)
            self.emit("\x01".join(cells))
        self.emit(".TE")

    def code(self, kind, body):
        if kind in BLOCK_LABELS:
            self.emit(".LP", "\\fI" + BLOCK_LABELS[kind] + "\\fP")
        self.emit(".DS I", ".ft CR", ".ps -1", ".vs -1", ".nf", *code_lines(body),
                  ".fi", ".vs", ".ps", ".ft", ".DE")

    def index_chapter(self):
        if not self.index:
            return
        self.emit(".bp")
        self.heading(0, None, "Index")
        self.emit(".2C", ".na", ".nh", ".in 0")
        group = None
        for (entry_group, key), (text, places) in sorted(
                self.index.items(), key=lambda item: (INDEX_GROUPS.index(item[0][0]),
                                                      sort_key(*item[0]))):
            if entry_group != group:
                self.emit(".in 0", ".sp 0.6" if group else ".sp 0", ".ne 3")
                group = entry_group
                self.emit(f"\\fB{group}\\fP", ".sp 0.2", ".br")
            code = group != "Error numbers"
            label = f"\\f[CR]{code_text(text, True)}\\f[R]" if code else escape(text)
            numbers = ", ".join(self.link(dest, page) for page, dest in places)
            self.emit(".in 2n", ".ti 0", f"{label}\\0\\0{numbers}", ".br")
        self.emit(".in 0")


INDEX_GROUPS = ["Keywords", "Operators and signs", "Error numbers"]


LINE_ENS = 93  # the line, 6.5 inches, in ens of the 10-point text


def text_ens(node):
    """The width of an inline node's text in ens, roughly (Courier's
    characters are 1.2 ens wide; Times's capitals 1.4, its other characters
    1 at most), and the width of its longest word (a short code span does
    not break)."""
    total, longest, word = 0.0, 0.0, 0.0
    for child in inline_of(node).children if node is not None else []:
        parts = [child] if child.type != "strong" and child.type != "em" else child.children
        for part in parts:
            code = part.type == "code_inline"
            pieces = [part.content] if code and len(part.content) <= SHORT_CODE else part.content.split(" ")
            for i, piece in enumerate(pieces):
                if i:
                    longest, word = max(longest, word), 0.0
                    total += 1
                size = sum(1.2 if code else 1.4 if ch.isupper() else 1.0 for ch in piece)
                word += size
                total += size
    return total, max(longest, word)


def column_widths(rows):
    """None when every column can be as wide as its longest entry but the
    last; otherwise each column's width in ens: the narrow ones as they
    are, the others sharing the rest of the line by their lengths, none
    narrower than its longest word."""
    columns = max(len(r) for r in rows)
    # (the bold headings are a tenth wider)
    measured = [[tuple(x * (1.1 if n == 0 else 1)
                       for x in text_ens(r[c] if c < len(r) and inline_of(r[c]).children else None))
                 for n, r in enumerate(rows)] for c in range(columns)]
    natural = [max(m[0] for m in column) + 1 for column in measured]
    least = [max(m[1] for m in column) + 2 for column in measured]
    room = LINE_ENS - 3 * columns - 2
    if sum(natural[:-1]) + 20 <= room:
        return None
    widths, wide = list(natural), set(range(columns))
    while wide:
        share = (room - sum(widths[c] for c in range(columns) if c not in wide)) / len(wide)
        narrow = {c for c in wide if natural[c] <= max(share, least[c])}
        if not narrow:
            break
        wide -= narrow
    if not wide:
        return [int(w) for w in widths]
    left = room - sum(widths[c] for c in range(columns) if c not in wide)
    total = sum(natural[c] - least[c] for c in wide) or 1
    for c in wide:
        widths[c] = least[c] + max(0, left - sum(least[w] for w in wide)) * (natural[c] - least[c]) / total
    return [int(w) for w in widths]


def run_groff(document, output=None):
    command = ["groff", "-ms", "-t", "-Tpdf", "-dpaper=a4", "-P-pa4"]
    if output is None:
        command.append("-z")
    result = subprocess.run(command, input=document.encode("latin-1"), capture_output=True)
    if result.returncode != 0:
        sys.exit("groff failed:\n" + result.stderr.decode("latin-1"))
    contents, index, last = [], {}, 0
    for line in result.stderr.decode("latin-1").splitlines():
        if line.startswith("TOC "):
            level, page, number, title, destination = line[4:].split("|", 4)
            contents.append((int(level), page, number.strip(), title, destination))
        elif line.startswith("IDX "):
            group, key, page, destination, text = line[4:].split("|", 4)
            places = index.setdefault((group, key), (text, []))[1]
            if all(p != page for p, _ in places):
                places.append((page, destination))
        elif line.startswith("LAST "):
            last = int(line[5:])
        elif line.strip():
            # a warning is a line that does not fit or a table too wide:
            # the manual must set cleanly
            sys.exit("groff: " + line)
    if output is not None:
        with open(output, "wb") as f:
            f.write(result.stdout)
    return contents, index, last, result.stdout


def add_page_labels(path, last_page):
    """Page labels, so that a viewer's page numbers are the printed ones:
    i, ii, ... for the title and contents pages, then 1 to the last page.
    Added as an incremental update that replaces the document catalog."""
    with open(path, "rb") as f:
        pdf = f.read()
    trailer = pdf[pdf.rindex(b"trailer"):]
    root = int(re.search(rb"/Root\s+(\d+)\s+0\s+R", trailer).group(1))
    size = int(re.search(rb"/Size\s+(\d+)", trailer).group(1))
    info = re.search(rb"/Info\s+\d+\s+0\s+R", trailer)
    previous = int(re.findall(rb"startxref\s+(\d+)", pdf)[-1])
    catalog = re.search(rb"(?<![0-9])%d\s+0\s+obj\s*<<(.*?)>>\s*endobj" % root, pdf, re.S)
    pages = int(re.search(rb"/Pages\s+(\d+)\s+0\s+R", catalog.group(1)).group(1))
    count = re.search(rb"(?<![0-9])%d\s+0\s+obj\s*<<[^>]*?/Count\s+(\d+)" % pages, pdf).group(1)
    front_pages = int(count) - last_page
    numbers = (b"0 << /S /r >> " if front_pages else b"") + b"%d << /S /D /St 1 >>" % front_pages
    body = b"<<" + catalog.group(1) + b" /PageLabels << /Nums [" + numbers + b"] >> >>"
    update = b"\n%d 0 obj\n" % root + body + b"\nendobj\n"
    offset = len(pdf) + 1
    xref = len(pdf) + len(update)
    update += b"xref\n%d 1\n%010d 00000 n \n" % (root, offset)
    update += b"trailer\n<< /Size %d /Root %d 0 R " % (size, root)
    update += (info.group(0) + b" " if info else b"") + b"/Prev %d >>\n" % previous
    update += b"startxref\n%d\n%%%%EOF\n" % xref
    with open(path, "wb") as f:
        f.write(pdf + update)


def build_pdf(chapters, version, output):
    # The contents come first but need the pages of the headings, and the
    # index needs the pages of its entries: a first pass finds them (the
    # body always starts on page 1, and the index comes last).
    contents, index, _, _ = run_groff(PdfWriter(chapters, version, [], {}).document())
    contents, index, _, _ = run_groff(PdfWriter(chapters, version, contents, index).document())
    final = PdfWriter(chapters, version, contents, index).document()
    again, _, last, pdf = run_groff(final, output)
    if again != contents:
        sys.exit("the pages of the headings moved when the index was added")
    add_page_labels(output, last)


# ---- HTML --------------------------------------------------------------------

def slug(number):
    return "s" + number.replace(".", "-")


def html_inline(node):
    out = []
    for child in node.children:
        kind = child.type
        if kind == "text":
            out.append(html.escape(child.content, quote=False))
        elif kind == "code_inline":
            out.append("<code>" + html.escape(child.content, quote=False) + "</code>")
        elif kind == "strong":
            out.append("<strong>" + html_inline(child) + "</strong>")
        elif kind == "em":
            out.append("<em>" + html_inline(child) + "</em>")
        elif kind == "softbreak":
            out.append("\n")
        elif kind == "hardbreak":
            out.append("<br>\n")
        else:
            out.append(html_inline(child))
    return "".join(out)


def html_text(node):
    inline = inline_of(node)
    text = html_inline(inline)
    if node.type == "paragraph" and is_form_lines(node):
        text = text.replace("\n", "<br>\n")
    return text


def html_blocks(blocks, out, numbers):
    for node in blocks:
        kind = node.type
        if kind == "heading":
            numbers[1] += 1
            number = f"{numbers[0]}.{numbers[1]}"
            out.append(f'<h2 id="{slug(number)}">{number} {html_text(node)}</h2>')
        elif kind == "paragraph":
            out.append(f"<p>{html_text(node)}</p>")
        elif kind in ("bullet_list", "ordered_list"):
            tag = "ol" if kind == "ordered_list" else "ul"
            out.append(f"<{tag}>")
            for item in node.children:
                out.append("<li>" + "\n".join(html_text(part) for part in item.children) + "</li>")
            out.append(f"</{tag}>")
        elif kind == "dl":
            out.append("<dl>")
            for child in node.children:
                if child.type == "dt":
                    out.append(f"<dt>{html_text(child)}</dt>")
                else:
                    out.append("<dd>" + "\n".join(html_text(p) for p in child.children) + "</dd>")
            out.append("</dl>")
        elif kind == "table":
            rows = table_rows(node)
            out.append("<table>")
            for n, row in enumerate(rows):
                tag = "th" if n == 0 else "td"
                out.append("<tr>" + "".join(f"<{tag}>{html_text(c) if inline_of(c).children else ''}</{tag}>"
                                            for c in row) + "</tr>")
            out.append("</table>")
        elif kind == "fence":
            label = BLOCK_LABELS.get(node.info.strip())
            if label:
                out.append(f'<p class="label">{label}</p>')
            out.append(f'<pre class="{html.escape(node.info.strip())}">'
                       + html.escape(node.content, quote=False) + "</pre>")


STYLE = """body { max-width: 46em; margin: 2em auto; padding: 0 1em; font-family: serif;
       line-height: 1.4; color: #111; }
h1, h2 { font-family: sans-serif; }
h1 { margin-top: 2em; border-bottom: 1px solid #999; }
code, pre { font-family: monospace; }
pre { background: #f4f4f4; padding: 0.5em 1em; overflow-x: auto; margin-left: 1.5em; }
p.label { font-style: italic; margin: 0.3em 0; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #999; padding: 0.2em 0.5em; vertical-align: top; text-align: left; }
th { background: #eee; }
nav li { list-style: none; }
nav ul ul { padding-left: 2em; }"""


def build_html(chapters, version, output):
    body, contents = [], []
    for c, chapter in enumerate(chapters, 1):
        body.append(f'<h1 id="{slug(str(c))}">{c} {html_text(chapter.heading)}</h1>')
        sections = [plain(b) for b in chapter.blocks if b.type == "heading"]
        contents.append(f'<li><a href="#{slug(str(c))}">{c} {html.escape(chapter.title)}</a>')
        if sections:
            contents.append("<ul>" + "".join(
                f'<li><a href="#{slug(f"{c}.{s}")}">{c}.{s} {html.escape(t)}</a></li>'
                for s, t in enumerate(sections, 1)) + "</ul>")
        contents.append("</li>")
        html_blocks(chapter.blocks, body, [c, 0])
    page = ["<!DOCTYPE html>", '<html lang="en">', "<head>", '<meta charset="iso-8859-1">',
            f"<title>{TITLE}</title>", f"<style>\n{STYLE}\n</style>", "</head>", "<body>",
            f"<header><p><strong>{TITLE}</strong><br>The language and the object, "
            f"version {html.escape(version)}</p></header>",
            "<nav><h2>Contents</h2><ul>", *contents, "</ul></nav>", *body, "</body>", "</html>"]
    with open(output, "w", encoding="latin-1") as f:
        f.write("\n".join(page) + "\n")


# ---- man pages ---------------------------------------------------------------

def man_blocks(blocks, fonts):
    out = []
    for node in blocks:
        kind = node.type
        if kind == "heading":
            out += [".SS " + escape(plain(node))]
        elif kind == "paragraph":
            out += [".PP"] + troff_block_text(node, fonts)
        elif kind == "dl":
            for child in node.children:
                if child.type == "dt":
                    out += [".TP"] + troff_block_text(child, fonts)
                else:
                    out += [line for p in child.children for line in troff_block_text(p, fonts)]
        elif kind in ("bullet_list", "ordered_list"):
            for n, item in enumerate(node.children, 1):
                out.append(f".IP {n}. 4" if kind == "ordered_list" else ".IP \\(bu 2")
                out += [line for p in item.children for line in troff_block_text(p, fonts)]
        elif kind == "fence":
            label = BLOCK_LABELS.get(node.info.strip())
            if label:
                out += [".PP", f"\\fI{label}\\fR"]
            out += [".PP", ".RS 4", ".nf"] + code_lines(node.content) + [".fi", ".RE"]
        elif kind == "table" and max(len(r) for r in table_rows(node)) >= 4:
            # too wide for a terminal: an entry a row, the first two cells
            # its tag, the others under it with their headings
            rows = table_rows(node)
            cell = lambda c: " ".join(troff_block_text(c, fonts)) if inline_of(c).children else ""
            for row in rows[1:]:
                out += [".TP", f"{cell(row[0])} \\(em {cell(row[1])}"]
                for head, value in zip(rows[0][2:], row[2:]):
                    if cell(value):
                        out += [".br", f"\\fI{cell(head)}:\\fR {cell(value)}"]
        elif kind == "table":
            rows = table_rows(node)
            columns = max(len(r) for r in rows)
            out += [".PP", ".TS", "allbox tab(\x01);", "lb " * columns, "lx " * columns + "."]
            for n, row in enumerate(rows):
                cells = [" ".join(troff_block_text(c, fonts, "B" if n == 0 else "R"))
                         if inline_of(c).children else "" for c in row]
                cells = ["T{\n.na\n" + cell + "\nT}" for cell in cells]
                out.append("\x01".join(cells))
            out.append(".TE")
    return out


def see_also(doc_dir, other):
    return [".SH SEE ALSO", ".ad l", f".BR {other},", "the Tenrek BASIC manual,",
            f".IR \\%{doc_dir}/Basic.pdf ,", "and the same text as one page,",
            f".IR \\%{doc_dir}/Basic.html ."]


def man_page(chapters, version, doc_dir):
    fonts = Fonts(pdf=False)
    chapter = next(c for c in chapters if c.title == COMMAND_CHAPTER)
    out = ["'\\\" t", f'.TH TENREK 1 "" "tenrek {version}" "Tenrek manual"', ".SH NAME",
           "tenrek \\- BASIC prompt, program runner and host simulator of Tenrek"]
    for line in man_blocks(chapter.blocks, fonts):
        out.append(".SH " + line[4:].upper() if line.startswith(".SS ") else line)
    out += see_also(doc_dir, "tenrek-basic (7)")
    return "\n".join(out) + "\n"


def language_man_page(chapters, version, doc_dir):
    fonts = Fonts(pdf=False)
    out = ["'\\\" t", f'.TH TENREK-BASIC 7 "" "tenrek {version}" "Tenrek manual"', ".SH NAME",
           "tenrek-basic \\- the BASIC language of Tenrek and its object in the authoring host"]
    for chapter in chapters:
        if chapter.title == COMMAND_CHAPTER:
            continue
        out += [".SH " + escape(chapter.title.upper())] + man_blocks(chapter.blocks, fonts)
    out += see_also(doc_dir, "tenrek (1)")
    return "\n".join(out) + "\n"


def main():
    source, version = sys.argv[1], sys.argv[2]
    args = sys.argv[3:]

    def option(name, default=None):
        return args[args.index(name) + 1] if name in args else default

    chapters = read_source(source)
    doc_dir = option("--doc-dir", "/usr/local/share/doc/tenrek")
    if option("--pdf"):
        build_pdf(chapters, version, option("--pdf"))
    if option("--html"):
        build_html(chapters, version, option("--html"))
    for name, make in (("--man", man_page), ("--man7", language_man_page)):
        if option(name):
            with open(option(name), "w", encoding="latin-1") as f:
                f.write(make(chapters, version, doc_dir))


if __name__ == "__main__":
    main()
