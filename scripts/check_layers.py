#!/usr/bin/env python3
"""Checks every #include "..." of the tree against the layer table of docs/ARCHITECTURE.md.

- A file of a layer folder includes only its own layer and the layers it stands on,
  transitively. Tests under tests/<folder>/ follow <folder>'s rule and may also include
  tests/support/.
- bench/, fuzz/, examples/, tests/support/ and tools/ may include any layer; tests may also
  include tools/ (the skin packer makes test data).
- A header named *Internal.h, *InternalEh.h or *Private.h is internal to its folder (and that
  folder's tests).
- Only platform/host includes the X11 headers: every other layer reaches the display through
  the window manager, so every test runs headless.

Prints file:line and the offending include for each breach and exits 1 when there is one.
--self-test runs the rules over a small made-up tree instead.
"""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FREE = ("bench/", "fuzz/", "examples/", "tests/support/")
SOURCE = re.compile(r"\.(h|hpp|cpp|cc)$")
INTERNAL = re.compile(r"(Internal|InternalEh|Private)\.h$")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
X11_INCLUDE = re.compile(r"^\s*#\s*include\s*<(X11/[^>]+)>")
X11_HOME = ("platform/host/", "tests/platform/host/")


def read_layers(markdown):
    """{folder: the folders it may include}, from the table headed folder | library | stands on."""
    rows, in_table = [], False
    for line in markdown.splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if cells[:3] == ["folder", "library", "stands on"]:
            in_table = True
        elif in_table and not line.startswith("|"):
            break
        elif in_table and not set(cells[0]) <= set("-: "):
            rows.append(cells[:3])
    folder_of = {library: folder for folder, library, _ in rows}
    below = {folder: {folder_of[d.strip()] for d in on.split(",") if d.strip() in folder_of}
             for folder, _, on in rows}
    allowed = {}
    for folder in below:
        seen, todo = {folder}, [folder]
        while todo:
            for d in below[todo.pop()] - seen:
                seen.add(d)
                todo.append(d)
        allowed[folder] = seen
    return allowed


def layer_of(path, folders):
    """(layer folder or None, whether the path is under tests/)."""
    is_test = path.startswith("tests/")
    rest = path[len("tests/"):] if is_test else path
    matches = [f for f in folders if rest.startswith(f + "/")]
    return (max(matches, key=len) if matches else None), is_test


def resolve(includer, name, files):
    """The repository path an include names (the includer's folder first), or None."""
    local = os.path.normpath(os.path.join(os.path.dirname(includer), name))
    return local if local in files else name if name in files else None


def breach(path, target, allowed):
    """Why path may not include target, or None."""
    folder, is_test = layer_of(path, allowed)
    owner, owner_is_test = layer_of(target, allowed)
    free = path.startswith(FREE)
    if INTERNAL.search(target):
        home = owner or os.path.dirname(target)
        if free or folder != home:
            return "internal to " + home
    if free or folder is None:
        return None
    # tools/ (the skin packer) also makes the tests' data, as tests/support/ does.
    if target.startswith(("tests/support/", "tools/")):
        return None if is_test else "test support in a library"
    if owner is None:
        return "outside every layer"
    if owner_is_test and not is_test:
        return "a test header in a library"
    if owner not in allowed[folder]:
        return f"{folder} does not stand on {owner}"
    return None


def check(sources, allowed):
    """sources: {path: text}. Answers the breaches as "path:line: #include "x" (why)"."""
    problems = []
    for path in sorted(sources):
        for number, line in enumerate(sources[path].splitlines(), 1):
            x11 = X11_INCLUDE.match(line)
            if x11 and not path.startswith(X11_HOME):
                problems.append(f"{path}:{number}: #include <{x11.group(1)}> (only platform/host uses X11)")
            m = INCLUDE.match(line)
            target = m and resolve(path, m.group(1), sources)
            why = target and breach(path, target, allowed)
            if why:
                problems.append(f'{path}:{number}: #include "{m.group(1)}" ({why})')
    return problems


def tree_files():
    try:
        command = ["git", "ls-files", "--cached", "--others", "--exclude-standard"]
        out = subprocess.run(command, cwd=ROOT, capture_output=True, text=True, check=True)
        return out.stdout.splitlines()
    except (OSError, subprocess.CalledProcessError):
        found = []
        for top, dirs, names in os.walk(ROOT):
            dirs[:] = [d for d in dirs if not d.startswith((".", "build"))]
            found += [os.path.relpath(os.path.join(top, n), ROOT) for n in names]
        return found


def self_test():
    table = """| folder | library | stands on | what it is |
|---|---|---|---|
| low | low | (ICU) | a |
| mid | mid | low | b |
| top | top | mid | c |
| side | side | low | d |
"""
    # (includer, include, expected breach or None)
    cases = [
        ("top/T.cpp", "low/L.h", None),  # transitively below
        ("low/L.cpp", "mid/M.h", "low does not stand on mid"),
        ("side/S.cpp", "mid/M.h", "side does not stand on mid"),
        ("mid/M.cpp", "low/LInternal.h", "internal to low"),
        ("low/L.cpp", "low/LInternal.h", None),
        ("tests/low/LTest.cpp", "low/LInternal.h", None),
        ("tests/top/TTest.cpp", "tests/support/Probe.h", None),
        ("tests/top/TTest.cpp", "tests/low/LSupport.h", None),
        ("tests/low/LTest.cpp", "top/T.h", "low does not stand on top"),
        ("mid/M.cpp", "tests/support/Probe.h", "test support in a library"),
        ("mid/M.cpp", "tests/low/LSupport.h", "a test header in a library"),
        ("tests/top/TTest.cpp", "tools/pack/P.h", None),
        ("mid/M.cpp", "tools/pack/P.h", "test support in a library"),
        ("bench/b.cpp", "top/T.h", None),
        ("fuzz/f.cpp", "mid/MPrivate.h", "internal to mid"),
        ("tests/support/Probe.h", "low/LInternalEh.h", "internal to low"),
        ("top/sub/X.cpp", "Near.h", None),  # resolved beside the includer
        ("mid/M.cpp", "<X11/Xlib.h>", "only platform/host uses X11"),
        ("platform/host/H.cpp", "<X11/Xlib.h>", None),
    ]
    tree = ["low/L.h", "low/LInternal.h", "low/LInternalEh.h", "mid/M.h", "mid/MPrivate.h", "top/T.h",
            "top/sub/Near.h", "tests/support/Probe.h", "tests/low/LSupport.h",
            "tools/pack/P.h"]
    allowed = read_layers(table)
    failures = 0
    for includer, include, expected in cases:
        spelled = include if include.startswith("<") else f'"{include}"'
        sources = dict.fromkeys(tree, "") | {includer: f"#include {spelled}\n"}
        got = check(sources, allowed)
        want = [f"{includer}:1: #include {spelled} ({expected})"] if expected else []
        if got != want:
            failures += 1
            print(f"self-test {includer} -> {include}: expected {want}, got {got}")
    return failures


def main():
    if sys.argv[1:] == ["--self-test"]:
        return 1 if self_test() else 0
    with open(os.path.join(ROOT, "docs", "ARCHITECTURE.md"), encoding="utf-8") as f:
        allowed = read_layers(f.read())
    if not allowed:
        print("check_layers: no layer table in docs/ARCHITECTURE.md")
        return 1
    sources = {}
    for path in tree_files():
        if SOURCE.search(path) and os.path.isfile(os.path.join(ROOT, path)):
            with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
                sources[path] = f.read()
    problems = check(sources, allowed)
    for p in problems:
        print(p)
    print(f"check_layers: {len(sources)} files, {len(problems)} breaches of the layer rule")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
