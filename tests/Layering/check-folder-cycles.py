#!/usr/bin/env python3
"""Fails when the folders of a library include each other in a cycle.

Usage: check-folder-cycles.py SOURCE_ROOT LIBRARY...

For each LIBRARY (a top-level folder such as TavvoShared), every
`#include "LIBRARY/<Folder>/..."` in a file anywhere under LIBRARY/<Other>/
is an edge from Other to Folder. A folder that reaches itself again through
such edges can no longer be understood, tested or split out on its own, so
the first cycle found is printed and the exit status is 1.
"""
import pathlib
import re
import sys


def folder_edges(root, library):
    include = re.compile(r'#include\s+"' + re.escape(library) + r'/([^/"]+)/')
    edges = {}
    for source in sorted((root / library).rglob("*")):
        relative = source.relative_to(root / library)
        if source.suffix not in (".hpp", ".cpp") or len(relative.parts) < 2:
            continue
        folder = relative.parts[0]
        targets = edges.setdefault(folder, set())
        for target in include.findall(source.read_text(encoding="utf-8")):
            if target != folder:
                targets.add(target)
    return edges


def first_cycle(edges):
    # Depth-first search; a folder met again while still on the path closes
    # a cycle, which is the path from its first visit onwards.
    finished = set()
    path = []

    def visit(folder):
        if folder in path:
            return path[path.index(folder):] + [folder]
        if folder in finished:
            return None
        path.append(folder)
        for target in sorted(edges.get(folder, ())):
            cycle = visit(target)
            if cycle:
                return cycle
        path.pop()
        finished.add(folder)
        return None

    for folder in sorted(edges):
        cycle = visit(folder)
        if cycle:
            return cycle
    return None


def main():
    root = pathlib.Path(sys.argv[1])
    status = 0
    for library in sys.argv[2:]:
        cycle = first_cycle(folder_edges(root, library))
        if cycle:
            print(f"{library}: folders include each other: {' -> '.join(cycle)}", file=sys.stderr)
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
