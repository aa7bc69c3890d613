#!/usr/bin/env python3
"""Checks the shipped help pages: check-help-pages.py HELP_DIR [--catches-faults].

HELP_DIR holds one folder per language (named by its language code, as each language file's
text 10278 names it) and the stylesheet the folders share. Every page must be well-formed (it
parses as XML), declare its folder's language, keep its ids unique, and every link of it must
lead to a file inside HELP_DIR and, with a fragment, to an id of that page. Each translated
folder must hold the English folder's pages with their structure: the same block elements in
the same order with the same ids, and the same links (a translation may reorder the links
within a paragraph); its titles must not be the English ones.

With --catches-faults, the check is run on broken copies of HELP_DIR and must reject each.
"""

import os
import shutil
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
from urllib.parse import urlsplit

REFERENCE = "en"
# The elements whose order makes a page's structure; inline ones (a, span, code) may move.
BLOCKS = {"html", "head", "title", "link", "body", "header", "main", "footer", "nav",
          "section", "h1", "h2", "h3", "p", "ul", "ol", "li", "dl", "dt", "dd", "pre",
          "table", "caption", "thead", "tbody", "tr", "th", "td"}


def read_page(path, problems):
    try:
        return ElementTree.parse(path).getroot()
    except ElementTree.ParseError as error:
        problems.append(f"{path}: not well-formed: {error}")
        return None


def links_of(root):
    return [element.get(attribute) for element in root.iter()
            for attribute in ("href", "src") if element.get(attribute) is not None]


def check(help_dir):
    problems = []
    languages = sorted(name for name in os.listdir(help_dir)
                       if os.path.isdir(os.path.join(help_dir, name)))
    if REFERENCE not in languages:
        return [f"{help_dir}: no folder '{REFERENCE}'"]
    pages = {}  # (language, file name) -> root element
    for language in languages:
        folder = os.path.join(help_dir, language)
        for name in sorted(os.listdir(folder)):
            if name.endswith(".html"):
                root = read_page(os.path.join(folder, name), problems)
                if root is not None:
                    pages[(language, name)] = root

    def ids_of(language, name):
        root = pages.get((language, name))
        return set() if root is None else {e.get("id") for e in root.iter() if e.get("id")}

    for (language, name), root in pages.items():
        where = f"{language}/{name}"
        if root.get("lang") != language:
            problems.append(f"{where}: <html lang=\"{root.get('lang')}\">, not \"{language}\"")
        ids = [e.get("id") for e in root.iter() if e.get("id")]
        for duplicate in sorted({i for i in ids if ids.count(i) > 1}):
            problems.append(f"{where}: the id \"{duplicate}\" is used more than once")
        for link in links_of(root):
            parts = urlsplit(link)
            if parts.scheme or parts.netloc:
                continue  # a web address
            target = os.path.normpath(os.path.join(help_dir, language, parts.path or name))
            inside = os.path.commonpath([os.path.abspath(help_dir), os.path.abspath(target)])
            if inside != os.path.abspath(help_dir) or not os.path.isfile(target):
                problems.append(f"{where}: the link \"{link}\" leads to no file of the help")
            elif parts.fragment:
                target_language = os.path.basename(os.path.dirname(target))
                if parts.fragment not in ids_of(target_language, os.path.basename(target)):
                    problems.append(f"{where}: the link \"{link}\" leads to no id of the page")

    reference_names = {name for (language, name) in pages if language == REFERENCE}
    for language in languages:
        names = set(os.listdir(os.path.join(help_dir, language)))
        for name in sorted(reference_names - names):
            problems.append(f"{language}/: lacks {name}")
        for name in sorted(names - reference_names):
            problems.append(f"{language}/{name}: not in {REFERENCE}/")
        if language == REFERENCE:
            continue
        for name in sorted(reference_names & names):
            root, english = pages.get((language, name)), pages.get((REFERENCE, name))
            if root is None or english is None:
                continue
            where = f"{language}/{name}"
            blocks = [(e.tag, e.get("id")) for e in root.iter() if e.tag in BLOCKS]
            english_blocks = [(e.tag, e.get("id")) for e in english.iter() if e.tag in BLOCKS]
            if blocks != english_blocks:
                at = next((i for i, pair in enumerate(zip(blocks, english_blocks))
                           if pair[0] != pair[1]), min(len(blocks), len(english_blocks)))
                problems.append(f"{where}: the structure differs from {REFERENCE}/{name} at "
                                f"block {at + 1}: {blocks[at:at + 1]} instead of "
                                f"{english_blocks[at:at + 1]}")
            if sorted(links_of(root)) != sorted(links_of(english)):
                problems.append(f"{where}: its links are not those of {REFERENCE}/{name}")
            if root.findtext("head/title") == english.findtext("head/title"):
                problems.append(f"{where}: its title is the English one")
    return problems


def catches_faults(help_dir):
    """Each fault, made in a copy of the German pages, must be reported."""
    faults = {
        "an unclosed element": ("index.html", "</main>", ""),
        "a link to a missing page": ("index.html", 'href="welcome.html"', 'href="wellcome.html"'),
        "a link to a missing anchor": ("index.html", "#permission", "#permissions"),
        "a wrong language": ("index.html", 'lang="de"', 'lang="en"'),
        "a missing section": ("exporting.html", ' id="quota"', ""),
        "a stylesheet outside the help": ("index.html", '"../help.css"', '"../../help.css"'),
        "an English title": ("welcome.html", "Willkommen – Contaxio-Hilfe",
                             "Welcome – Contaxio Help"),
    }
    failed = False
    for fault, (name, old, new) in faults.items():
        with tempfile.TemporaryDirectory() as work:
            copy = os.path.join(work, "help")
            shutil.copytree(help_dir, copy)
            page = os.path.join(copy, "de", name)
            with open(page, encoding="utf-8") as file:
                text = file.read()
            if old not in text:
                print(f"FAIL: de/{name} has no '{old}' to break", file=sys.stderr)
                failed = True
                continue
            with open(page, "w", encoding="utf-8") as file:
                file.write(text.replace(old, new, 1))
            if not check(copy):
                print(f"FAIL: the check accepts {fault} in de/{name}", file=sys.stderr)
                failed = True
    return not failed


def main():
    if len(sys.argv) not in (2, 3) or sys.argv[2:] not in ([], ["--catches-faults"]):
        print(__doc__, file=sys.stderr)
        return 2
    help_dir = sys.argv[1]
    problems = check(help_dir)
    for problem in problems:
        print(f"FAIL: {problem}", file=sys.stderr)
    if problems:
        return 1
    if sys.argv[2:] and not catches_faults(help_dir):
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
