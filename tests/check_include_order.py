#!/usr/bin/env python3
"""Fails when a source file includes a folder that comes after its own in the include order.

The order is read from the "Include order:" line at the top of the root CMakeLists.txt: folders
from left to right, each allowed to include its own files and those of every folder to its
left. `*/ui` stands for every ui/ sub-folder (document/ui, stage/ui, ...). Tests, benchmarks,
fuzz targets and the public forwarding headers in include/ may include anything.
"""
import pathlib
import re
import sys

EXEMPT = {"tests", "bench", "fuzz", "include", "build"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/([^"]+)"')


def read_order(root):
    for line in (root / "CMakeLists.txt").read_text().splitlines():
        if "Include order:" in line:
            names = re.split(r"\s*(?:,|->)\s*", line.split("Include order:", 1)[1].strip())
            return {name: rank for rank, name in enumerate(n for n in names if n)}
    sys.exit("check_include_order: no 'Include order:' line in CMakeLists.txt")


def folder_key(parts):
    """The order's name for a path given as its components: `*/ui` for ui sub-folders."""
    if len(parts) > 2 and parts[1] == "ui":
        return "*/ui"
    return parts[0]


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    order = read_order(root)
    faults = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        parts = path.relative_to(root).parts
        if parts[0] in EXEMPT or parts[0].startswith("build"):
            continue
        source = folder_key(parts)
        if source not in order:
            faults.append(f"{'/'.join(parts)}: folder '{source}' is not in the include order")
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = folder_key((match.group(1), *match.group(2).split("/")))
            if target not in order or target == source:
                continue  # a header beside the file, or not one of our folders
            if order[target] > order[source]:
                faults.append(f"{'/'.join(parts)}:{number}: {source} includes {target}: "
                              f"{match.group(1)}/{match.group(2)}")
    for fault in faults:
        print(fault)
    if faults:
        print(f"check_include_order: {len(faults)} include(s) against the order", file=sys.stderr)
        return 1
    print(f"check_include_order: every include follows the order ({len(order)} folders)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
