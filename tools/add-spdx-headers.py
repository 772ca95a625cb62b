#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Adds the project's two SPDX lines to every tracked file that can carry them and lacks
them, in the file's own comment syntax: after a shebang, an XML declaration or a manual
page's preprocessor line, which must stay first. Files that cannot carry a comment
(pictures, sounds, generated data, the licence texts, Debian changelogs) are left to
.reuse/dep5. Running it again changes nothing. Afterwards `reuse lint` tells whether every
file is covered.

Usage: tools/add-spdx-headers.py [REPOSITORY]   (default: the repository it lies in)
"""
import os
import re
import subprocess
import sys

# REUSE-IgnoreStart (these are the lines to write, not this file's own)
COPYRIGHT = "SPDX-FileCopyrightText: 2026 The Vemol developers"
LICENCE = "SPDX-License-Identifier: GPL-3.0-or-later"
# REUSE-IgnoreEnd

# How each kind of file comments, by file name first, then by extension.
HASH = ("# ", "")
SLASHES = ("// ", "")
ROFF = ('.\\" ', "")
BY_NAME = {
    "Makefile": HASH, "CMakeLists.txt": HASH, ".gitignore": HASH, ".clang-format": HASH,
    ".gitattributes": HASH, "postinst": HASH, "prerm": HASH, "postrm": HASH, "preinst": HASH,
}
BY_EXTENSION = {
    "cpp": SLASHES, "cc": SLASHES, "c": SLASHES, "h": SLASHES, "hpp": SLASHES, "js": SLASHES,
    "cmake": HASH, "sh": HASH, "bash": HASH, "py": HASH, "txt": HASH, "in": HASH,
    "default": HASH, "supp": HASH, "dict": HASH, "yml": HASH, "yaml": HASH, "toml": HASH,
    "conf": HASH, "service": HASH, "po": HASH, "pot": HASH, "cfg": HASH, "ini": HASH,
    "css": ("/* ", " */"),
    "1": ROFF, "5": ROFF, "6": ROFF, "7": ROFF, "8": ROFF,
}
BLOCK = {"md": "markdown", "xml": "xml", "html": "xml", "svg": "xml"}

# Files that cannot carry a comment; .reuse/dep5 covers them.
LEFT_TO_DEP5 = re.compile(r"^(LICENSES/|\.reuse/|COPYING$|packaging/copyright$|.*changelog(\.Debian)?(\.in)?$|"
                          r"resources/(?!.*(CMakeLists\.txt|\.txt|\.cmake|\.cpp|\.h)$)|"
                          r"tests/golden/|docs/screenshots/)")


def comment_style(path):
    name = os.path.basename(path)
    if name in BY_NAME:
        return BY_NAME[name]
    extension = name.rsplit(".", 1)[1] if "." in name.lstrip(".") else ""
    if extension in BLOCK:
        return BLOCK[extension]
    if extension in BY_EXTENSION:
        return BY_EXTENSION[extension]
    if path.startswith("packaging/lintian/") or path.startswith(".ci/"):
        return HASH
    return None


def header_lines(style):
    if style in ("markdown", "xml"):
        return ["<!--", COPYRIGHT, LICENCE, "-->"]
    start, end = style
    return [start + COPYRIGHT + end, start + LICENCE + end]


def must_stay_first(line, style):
    if line.startswith("#!"):
        return True
    if style == "xml" and (line.startswith("<?xml") or line.lower().startswith("<!doctype")):
        return True
    return style == ROFF and line.startswith("'\\\"")


def add_header(path, text, style):
    lines = text.split("\n")
    at = 1 if lines and must_stay_first(lines[0], style) else 0
    lines[at:at] = header_lines(style)
    return "\n".join(lines)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    files = subprocess.run(["git", "-C", root, "ls-files", "-z"], check=True, capture_output=True,
                           text=True).stdout.split("\0")
    changed, unknown = 0, []
    for path in filter(None, files):
        full = os.path.join(root, path)
        if LEFT_TO_DEP5.match(path) or os.path.islink(full) or not os.path.isfile(full):
            continue
        with open(full, "rb") as source:
            data = source.read()
        if b"\0" in data[:8192]:
            continue
        text = data.decode("utf-8", errors="surrogateescape")
        if LICENCE.split()[0] in "\n".join(text.split("\n")[:20]):
            continue
        style = comment_style(path)
        if style is None:
            style = HASH if text.startswith("#!") else None
        if style is None:
            unknown.append(path)
            continue
        with open(full, "wb") as target:
            target.write(add_header(path, text, style).encode("utf-8", errors="surrogateescape"))
        changed += 1
    print(f"add-spdx-headers: {changed} files given the SPDX lines")
    for path in unknown:
        print(f"add-spdx-headers: no comment syntax known for {path}; cover it in .reuse/dep5")
    return 1 if unknown else 0


if __name__ == "__main__":
    sys.exit(main())
