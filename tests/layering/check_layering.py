#!/usr/bin/env python3
"""Fails when a source file under src/ includes a header of a folder above its own.

The folders below are the program's layers, lowest first. A file may include headers of its own
folder and of the folders before it, never of one after it. The core (src/core) sits below the
windows (src/ui); each library is built with only its own include root, so the compiler already
refuses a core file that names a window's header. This check keeps the order inside each half.
"""

import pathlib
import re
import sys

LAYERS = [
    "core/platform",  # the stand-ins for the operating system's services: profile files, database, text files, clock
    "core/data",  # the connection, the row classes, paths, regional formats, the UI-services port
    "core/posting",  # races, results, scoring and the posting engine
    "core/rules",  # what the editors and lists allow: delete checks, the pick editors' salary and date rules
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

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def layer_of(path: pathlib.Path, src: pathlib.Path):
    rel = path.relative_to(src).as_posix()
    for index, layer in enumerate(LAYERS):
        if rel.startswith(layer + "/"):
            return index
    return None


def resolve(name: str, including: pathlib.Path, src: pathlib.Path):
    # Both roots, so that a core file naming a window's header is reported here too.
    roots = [including.parent, src / "core", src / "ui"]
    for root in roots:
        candidate = root / name
        if candidate.is_file():
            return candidate.resolve()
    return None


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src").resolve()
    problems = []
    files = sorted(p for p in src.rglob("*") if p.suffix in (".cpp", ".h"))
    for path in files:
        own = layer_of(path, src)
        if own is None and path.parent != src:
            problems.append(f"{path.relative_to(src)}: lies in no layer; add its folder to LAYERS")
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for match in INCLUDE.finditer(text):
            target = resolve(match.group(1), path, src)
            if target is None:
                continue  # generated files (moc, ui) and system headers
            theirs = layer_of(target, src)
            if own is not None and theirs is not None and theirs > own:
                line = text.count("\n", 0, match.start()) + 1
                problems.append(
                    f"{path.relative_to(src)}:{line}: includes {match.group(1)} of {LAYERS[theirs]}, "
                    f"above its own {LAYERS[own]}"
                )
    for problem in problems:
        print(problem)
    print(f"{len(files)} files read, {len(problems)} includes against the layers")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
