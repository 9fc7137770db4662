#!/usr/bin/env python3
"""Fails when a source file under src/ includes a header of a folder above its own.

The folders below are the program's layers, lowest first. A file may include headers of its own
folder and of the folders before it, never of one after it. The core (src/core) sits below the
windows (src/ui); each library is built with only its own include root, so the compiler already
refuses a core file that names a window's header. This check keeps the order inside each half.

Every file under src/ is read, whatever its name: sources are .cpp and .h only (a header of another
name would be read by the compiler but could hide its includes from a check that picked files by
name), the schema's .sql files are data. A file at the root of src/ (main.cpp) sits above every
layer, so nothing may include it. Includes are read in both forms, "..." and <...>.

Before it reads src/, the check proves itself on small trees that each break the layers one way.
"""

import pathlib
import re
import sys
import tempfile

LAYERS = [
    "core/platform",  # the stand-ins for the operating system's services: profile files, database, text files, clock
    "core/data",  # the connection, the row classes, paths, regional formats, the UI-services port
    "core/posting",  # races, results, scoring and the posting engine
    "core/rules",  # what the editors and lists allow: delete checks, the car rules, the pick editors' salary and date rules
    "core/reports",  # report settings, the HTML building blocks and the report generators
    "core/exchange",  # FTP, imports and publishing
    "core/app",  # the program's own settings file
    "ui/adapters",  # the Qt implementations of the core's ports
    "ui/kit",  # the pieces the windows share: twips, the date picker, sort by value, the editor grid
    "ui/editors",  # the editors of races, scoring, leagues, teams, picks, cars and groups
    "ui/reports",  # the report request and report details windows, the browser
    "ui/exchange",  # the publish window
    "ui/shell",  # the main window, the list windows, the commands and start-up
]
TOP = len(LAYERS)  # the files at the root of src/: the program's entry point

SOURCE_SUFFIXES = (".cpp", ".h")
DATA_SUFFIXES = (".sql",)

INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)', re.MULTILINE)


def layer_of(path: pathlib.Path, src: pathlib.Path):
    rel = path.relative_to(src)
    if len(rel.parts) == 1:
        return TOP
    for index, layer in enumerate(LAYERS):
        if rel.as_posix().startswith(layer + "/"):
            return index
    return None


def resolve(name: str, quoted: bool, including: pathlib.Path, src: pathlib.Path):
    # Both include roots, so that a core file naming a window's header is reported here too. A quoted
    # name is looked for beside the including file first, as the compiler does.
    roots = ([including.parent] if quoted else []) + [src / "core", src / "ui", src]
    for root in roots:
        candidate = root / name
        if candidate.is_file():
            return candidate.resolve()
    return None


def check(src: pathlib.Path):
    """Returns the problems found under src and the number of files read."""
    src = src.resolve()
    problems = []
    files = sorted(p for p in src.rglob("*") if p.is_file())
    for path in files:
        rel = path.relative_to(src)
        if path.suffix in DATA_SUFFIXES:
            continue
        if path.suffix not in SOURCE_SUFFIXES:
            problems.append(f"{rel}: is neither a .cpp nor a .h file")
        own = layer_of(path, src)
        if own is None:
            problems.append(f"{rel}: lies in no layer; add its folder to LAYERS")
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for match in INCLUDE.finditer(text):
            name = match.group(1) or match.group(2)
            target = resolve(name, match.group(1) is not None, path, src)
            if target is None or not target.is_relative_to(src):
                continue  # generated files (moc, ui) and system headers
            theirs = layer_of(target, src)
            line = text.count("\n", 0, match.start()) + 1
            if theirs is None:
                problems.append(f"{rel}:{line}: includes {name}, which lies in no layer")
            elif theirs > own:
                above = "the program's entry point" if theirs == TOP else LAYERS[theirs]
                problems.append(f"{rel}:{line}: includes {name} of {above}, above its own "
                                f"{LAYERS[own] if own < TOP else 'root'}")
    return problems, len(files)


# Trees that must pass and trees that must fail, each one way around the layers.
SELF_CHECK_CASES = [
    ("an include downward passes", True, {
        "core/data/cCar.h": '#include "platform/Clock.h"\n#include <QString>\n',
        "core/platform/Clock.h": "",
        "main.cpp": '#include "shell/frmMain.h"\n',
        "ui/shell/frmMain.h": '#include <data/cCar.h>\n',
        "core/data/schema/010_tables.sql": "CREATE TABLE t (x);\n",
    }),
    ("a quoted include upward fails", False, {
        "core/data/cCar.h": '#include "shell/frmMain.h"\n',
        "ui/shell/frmMain.h": "",
    }),
    ("an include upward in angle brackets fails", False, {
        "core/data/cCar.h": "#include <shell/frmMain.h>\n",
        "ui/shell/frmMain.h": "",
    }),
    ("a header that is not .h fails, and so do its includes", False, {
        "core/data/cCar.h": '#include "data/Hidden.hpp"\n',
        "core/data/Hidden.hpp": '#include "shell/frmMain.h"\n',
        "ui/shell/frmMain.h": "",
    }),
    ("a file at the root of src/ cannot carry an include upward", False, {
        "core/data/cCar.h": '#include "../../Bridge.h"\n',
        "Bridge.h": '#include "ui/shell/frmMain.h"\n',
        "ui/shell/frmMain.h": "",
    }),
    ("a file in no layer fails", False, {
        "core/extra/Thing.h": "",
    }),
]


def self_check():
    failures = []
    for title, should_pass, tree in SELF_CHECK_CASES:
        with tempfile.TemporaryDirectory() as tmp:
            root = pathlib.Path(tmp) / "src"
            for rel, text in tree.items():
                (root / rel).parent.mkdir(parents=True, exist_ok=True)
                (root / rel).write_text(text, encoding="utf-8")
            problems, _ = check(root)
            if (not problems) != should_pass:
                failures.append(f"self-check '{title}': {'failed' if problems else 'passed'} ({problems})")
    return failures


def main() -> int:
    failures = self_check()
    for failure in failures:
        print(failure)
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    problems, count = check(src)
    for problem in problems:
        print(problem)
    print(f"{len(SELF_CHECK_CASES)} self-check cases, {len(failures)} wrong; "
          f"{count} files read, {len(problems)} includes against the layers")
    return 1 if problems or failures else 0


if __name__ == "__main__":
    sys.exit(main())
