#!/usr/bin/python3
"""Checks that README.md and docs/*.md name only what the repository holds.

- A link to a file of the repository must reach it, and its #anchor a heading there.
- A backticked path whose first part is a folder of the repository, in the text or in a command
  of a fenced block, must exist; so must a backticked file name with a source extension
  (`Folders.hpp`) somewhere in the repository.
- A backticked C++ name, `Name` or `Scope::Name` (with or without "()"), must be found by
  `git grep -w` outside the documents (*.md); for `Scope::Name` in a file that also names Scope.

Anything else in backticks is taken for what it clearly is and left alone: a text with a space
(a command, a quoted text), an option flag (-x), a file name of another extension, a path outside
the repository (/usr/bin, ~/.local, $XDG_DATA_HOME, C:\\...). Prints each miss as
file:line: what, and fails when there is one.
"""

import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE_EXTENSIONS = (".cpp", ".hpp", ".h", ".c", ".sh", ".py", ".md", ".cmake", ".rc", ".qrc",
                     ".json", ".map", ".dict", ".in")
NAME = re.compile(r"[A-Za-z_][A-Za-z0-9_]*(::~?[A-Za-z_][A-Za-z0-9_]*)*(\(\))?")
LINK = re.compile(r"\]\(([^)\s]+)\)")
CODE = re.compile(r"`([^`]+)`")


def git(*args):
    return subprocess.run(["git", *args], cwd=ROOT, capture_output=True, text=True).stdout


TRACKED = git("ls-files").splitlines()
TOP_FOLDERS = {path.split("/")[0] for path in TRACKED if "/" in path}
BASENAMES = {os.path.basename(path) for path in TRACKED}
_files_naming = {}


def files_naming(word):
    if word not in _files_naming:
        listed = git("grep", "-l", "-w", "-F", "-e", word, "--", ".", ":!*.md")
        _files_naming[word] = set(listed.splitlines())
    return _files_naming[word]


def slug(heading):
    text = re.sub(r"[`*_]", "", heading.strip().lower())
    return re.sub(r"[^a-z0-9 -]", "", text).replace(" ", "-")


def anchors(path):
    with open(path, encoding="utf-8") as doc:
        return {slug(line.lstrip("#")) for line in doc if line.startswith("#")}


def repository_path(text):
    """The path when text names one inside the repository, else None."""
    path = text.rstrip("/").rstrip(":")
    if path.split("/")[0] in TOP_FOLDERS and "/" in text:
        return path
    return None


def check_path(path):
    if re.search(r"[<>*$%{}]", path):
        return None  # a pattern, not one path
    return None if os.path.exists(os.path.join(ROOT, path)) else f"path {path} does not exist"


def check_code(span):
    if " " in span or span.startswith("-"):
        return None
    path = repository_path(span)
    if path:
        return check_path(path)
    if "/" not in span and "\\" not in span and span.endswith(SOURCE_EXTENSIONS):
        return None if span in BASENAMES else f"file {span} is in no folder of the repository"
    if not NAME.fullmatch(span):
        return None
    parts = span.removesuffix("()").split("::")
    found = files_naming(parts[-1].lstrip("~"))
    if len(parts) > 1:
        found = found & files_naming(parts[0])
    if not found:
        return f"name {span} is not in the code"
    return None


def check_link(doc, target):
    if re.match(r"[a-z]+:", target):
        return None  # another site
    file_part, _, anchor = target.partition("#")
    path = os.path.normpath(os.path.join(os.path.dirname(doc), file_part)) if file_part else doc
    if not os.path.exists(path):
        return f"link {target} reaches nothing"
    if anchor and path.endswith(".md") and anchor not in anchors(path):
        return f"link {target} names no heading there"
    return None


def check(doc):
    misses = []
    fenced = False
    with open(doc, encoding="utf-8") as text:
        for number, line in enumerate(text, 1):
            if line.startswith("```"):
                fenced = not fenced
                continue
            found = []
            if fenced:
                for word in line.split():
                    path = repository_path(word.strip("'\""))
                    if path:
                        found.append(check_path(path))
            else:
                found += [check_link(doc, target) for target in LINK.findall(line)]
                found += [check_code(span) for span in CODE.findall(line)]
            where = os.path.relpath(doc, ROOT)
            misses += [f"{where}:{number}: {miss}" for miss in found if miss]
    return misses


def main():
    docs = [os.path.join(ROOT, "README.md")]
    docs += sorted(os.path.join(ROOT, "docs", name) for name in os.listdir(os.path.join(ROOT, "docs"))
                   if name.endswith(".md"))
    misses = [miss for doc in docs for miss in check(doc)]
    for miss in misses:
        print(miss)
    print(f"check-docs: {len(docs)} documents, {len(misses)} not found")
    return 1 if misses else 0


if __name__ == "__main__":
    sys.exit(main())
