#!/usr/bin/env python3
"""Installs the build into a fresh folder (`cmake --install`) and checks
what a Linux user gets:

- the man pages tenrek(1) and tenrek-basic(7) format without a warning;
- tenrek-basic(7) documents every statement and function (every keyword
  of the language), with a line of its own for the forms of each;
- tenrek(1) documents every option that `tenrek --help` names;
- SEE ALSO and `--help` name the installed Basic.pdf, and it is there,
  with Basic.html beside it holding every heading and code block of the
  manual as written;
- the example programs are installed, unchanged.

Usage: check_install.py CMAKE BUILD_DIR DOC_DIR PREFIX token_kinds.h basic.md EXAMPLES_DIR
DOC_DIR is where the build says the manual is installed, under PREFIX.
"""
import filecmp
import html
import os
import re
import subprocess
import sys
import tempfile


def man_text(path, problems):
    result = subprocess.run(["groff", "-t", "-man", "-ww", "-Tutf8", path], capture_output=True,
                            env=dict(os.environ, GROFF_NO_SGR="1"))
    if result.returncode != 0 or result.stderr:
        problems.append(f"{path} does not format cleanly:\n{result.stderr.decode()}")
    # no overstriking: plain text
    return re.sub(r".\x08", "", result.stdout.decode("utf-8"))


def main():
    cmake, build, doc_dir, prefix, kinds_path, source_path, examples = sys.argv[1:8]
    with open(kinds_path) as f:
        keywords = re.findall(r'KIND\(\w+, "([^"]+)"', f.read())
    with open(source_path, encoding="latin-1") as f:
        source = f.read()
    headings = re.findall(r"^#+ (.*)$", re.sub(r"^```.*?^```", "", source, flags=re.S | re.M), re.M)
    code_blocks = re.findall(r"^```\w*\n(.*?)^```$", source, re.S | re.M)
    problems = []
    with tempfile.TemporaryDirectory() as root:
        subprocess.run([cmake, "--install", build, "--prefix", root], check=True,
                       stdout=subprocess.DEVNULL)
        installed_doc = os.path.join(root, os.path.relpath(doc_dir, prefix))
        man_dir = os.path.join(root, "share", "man")

        language = man_text(os.path.join(man_dir, "man7", "tenrek-basic.7"), problems)
        # a keyword is documented where a line of the page starts with a
        # form of it: a heading, a table row, a syntax line or an example
        undocumented = [k for k in keywords
                        if not re.search(r"^[\s|│]*(?:\S.*[\s(,])?" + re.escape(k) + r"(?![\w$])",
                                         language, re.M)]
        if undocumented:
            problems.append(f"tenrek-basic(7) does not document {undocumented}")

        command = man_text(os.path.join(man_dir, "man1", "tenrek.1"), problems)
        tenrek = os.path.join(root, "bin", "tenrek")
        usage = subprocess.run([tenrek, "--help"], capture_output=True, text=True).stdout
        options = sorted(set(re.findall(r"--[a-z]+", usage)))
        missing = [o for o in options if o not in command]
        if missing:
            problems.append(f"tenrek(1) does not document {missing}, which --help names")

        pdf = os.path.join(doc_dir, "Basic.pdf")
        for name, text in (("tenrek(1)", command), ("tenrek-basic(7)", language),
                           ("tenrek --help", usage)):
            if pdf not in " ".join(text.split()):
                problems.append(f"{name} does not name {pdf}")
        for name in ("Basic.pdf", "Basic.html"):
            if not os.path.isfile(os.path.join(installed_doc, name)):
                problems.append(f"{name} is not installed in {doc_dir}")
        page = os.path.join(installed_doc, "Basic.html")
        if os.path.isfile(page):
            with open(page, encoding="latin-1") as f:
                markup = f.read()
            text = html.unescape(re.sub(r"<[^>]+>", "", markup))
            blocks = [html.unescape(b) for b in re.findall(r"<pre[^>]*>(.*?)</pre>", markup, re.S)]
            if blocks != code_blocks:
                problems.append("Basic.html's code blocks differ from the manual's: " + str(
                    [b for b in code_blocks if b not in blocks][:2]))
            absent = [h for h in headings if re.sub(r"[`*]", "", h) not in text]
            if absent:
                problems.append(f"Basic.html lacks {absent}")

        programs = sorted(n for n in os.listdir(examples) if n.endswith((".bas", ".script")))
        for name in programs:
            path = os.path.join(installed_doc, "examples", name)
            if not os.path.isfile(path) or not filecmp.cmp(path, os.path.join(examples, name),
                                                           shallow=False):
                problems.append(f"example {name} is not installed as it is")
    for problem in problems:
        print(problem)
    print(f"{len(keywords)} keywords, {len(options)} options, {len(programs)} examples checked")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
