#!/usr/bin/env python3
"""Checks that includes run only down the layers and that no headers include
each other in a ring (a source may include headers of its folder that
include its own header: that is a module using its parts, not a ring).

Each folder below lists the folders it may include from; what those may use
it may use as well. A file may always include from its own folder. A folder
not listed takes the rule of its nearest listed parent. Prints every include
that runs the wrong way and every ring of headers,
and exits 1 if there is any.
"""
import os
import re
import sys

MAY_USE = {
    "runtime/platform/os": [],
    "runtime/platform/gfx": ["runtime/platform/os"],
    "runtime/platform/gui": ["runtime/platform/gfx"],
    "runtime/platform/display": ["runtime/platform/gui"],
    "runtime/platform/print": ["runtime/platform/gfx"],
    "runtime/core/base": ["runtime/platform/display", "runtime/platform/print"],
    "runtime/core/text": ["runtime/core/base"],
    "runtime/core/values": ["runtime/core/text"],
    "runtime/core/pictures": ["runtime/core/values"],
    "runtime/core/expression": ["runtime/core/pictures"],
    "runtime/core/startup": ["runtime/core/expression"],
    "runtime/data/driver": ["runtime/core/startup"],
    "runtime/data/bdx/store": ["runtime/data/driver"],
    "runtime/data/bdx": ["runtime/data/bdx/store"],
    "runtime/data/view": ["runtime/data/driver"],
    "runtime/data/postgres": ["runtime/data/driver"],
    "runtime/window/resource": ["runtime/core/startup"],
    "runtime/window/controls": ["runtime/window/resource"],
    "runtime/window/loop": ["runtime/window/controls"],
    "runtime/window": ["runtime/window/loop"],
    "runtime/report": ["runtime/window", "runtime/data/view"],
    "app": ["runtime/report", "runtime/data/bdx", "runtime/data/postgres"],
}
ROOTS = ["runtime", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def rule_folder(folder):
    while folder and folder not in MAY_USE:
        folder = os.path.dirname(folder)
    return folder


def allowed(folder):
    """The folders a file in `folder` may include from, itself among them."""
    seen, todo = set(), [folder]
    while todo:
        f = todo.pop()
        if f in seen:
            continue
        seen.add(f)
        todo.extend(MAY_USE.get(f, []))
    return seen


def sources():
    for root in ROOTS:
        for dirpath, _, names in os.walk(root):
            for name in sorted(names):
                if name.endswith((".h", ".cpp", ".inc")):
                    yield os.path.join(dirpath, name)


def main():
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    faults = []
    graph = {}  # header -> the headers it includes
    for path in sources():
        text = open(path, encoding="utf-8", errors="replace").read()
        folder = rule_folder(os.path.dirname(path))
        may = allowed(folder)
        for target in INCLUDE.findall(text):
            if not target.startswith(tuple(r + "/" for r in ROOTS)):
                continue
            to = rule_folder(os.path.dirname(target))
            if to not in may:
                faults.append(f"{path}: includes {target}, which lies above it")
            if path.endswith(".h"):
                graph.setdefault(path, set()).add(target)
    faults.extend(rings(graph))
    for f in faults:
        print(f)
    if faults:
        print(f"{len(faults)} layering fault(s)")
        return 1
    print("layers: every include runs down, no rings")
    return 0


def rings(graph):
    """Each ring of headers once, found by a depth-first walk."""
    found, state, stack = [], {}, []

    def walk(node):
        state[node] = 1
        stack.append(node)
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == 1:
                ring = stack[stack.index(nxt):] + [nxt]
                found.append("ring: " + " -> ".join(ring))
            elif nxt not in state:
                walk(nxt)
        stack.pop()
        state[node] = 2

    for node in sorted(graph):
        if node not in state:
            walk(node)
    return found


if __name__ == "__main__":
    sys.exit(main())
