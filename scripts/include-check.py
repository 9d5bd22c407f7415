#!/usr/bin/env python3
"""Checks the include structure of the product code.

A unit is a header with its source file (x.h and x.cpp). The check fails when
- units of compassplot/ or helicart/ include each other around a loop (directly or through
  other units), or
- a room of helicart/ includes a unit of a room it must not know: input/ and output/ know
  neither each other nor the run at the top of helicart/.

Usage: include-check.py [ROOT]    status 1 with the loops and back arrows listed
"""
import os
import re
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                       os.path.join(os.path.dirname(__file__), ".."))
FOLDERS = ["common", "compassplot", "helicart", "interfaces", "tickfit"]
CHECKED = ("compassplot/", "helicart/")
# Room -> rooms (folder prefixes) whose units it must not include.
FORBIDDEN = {
    "helicart/input/": ["helicart/output/", "helicart/table/", "helicart/xml/", "helicart/*"],
    "helicart/output/": ["helicart/input/", "helicart/xml/", "helicart/*"],
    "helicart/page/": ["helicart/input/", "helicart/output/", "helicart/table/", "helicart/xml/",
                       "helicart/*"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def units():
    """Unit name (path without suffix, relative to ROOT) -> the headers it includes."""
    found = {}
    for folder in FOLDERS:
        for directory, _, names in os.walk(os.path.join(ROOT, folder)):
            for name in names:
                stem, suffix = os.path.splitext(name)
                if suffix not in (".h", ".cpp"):
                    continue
                path = os.path.join(directory, name)
                unit = os.path.relpath(os.path.join(directory, stem), ROOT)
                with open(path, encoding="utf-8") as source:
                    found.setdefault(unit, set()).update(INCLUDE.findall(source.read()))
    return found


def graph(found):
    """Unit -> the units whose headers it includes (headers found by file name)."""
    by_header = {}
    for unit in found:
        if os.path.exists(os.path.join(ROOT, unit + ".h")):
            by_header.setdefault(os.path.basename(unit) + ".h", unit)
    return {unit: {by_header[h] for h in headers if h in by_header and by_header[h] != unit}
            for unit, headers in found.items()}


def loops(edges):
    """Strongly connected components with more than one unit (Tarjan, iteratively)."""
    index, low, on_stack, stack, result, counter = {}, {}, set(), [], [], [0]
    for start in sorted(edges):
        if start in index:
            continue
        work = [(start, iter(sorted(edges[start])))]
        index[start] = low[start] = counter[0]
        counter[0] += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is None:
                work.pop()
                if work:
                    low[work[-1][0]] = min(low[work[-1][0]], low[node])
                if low[node] == index[node]:
                    component = []
                    while True:
                        member = stack.pop()
                        on_stack.discard(member)
                        component.append(member)
                        if member == node:
                            break
                    if len(component) > 1:
                        result.append(sorted(component))
            elif child not in index:
                index[child] = low[child] = counter[0]
                counter[0] += 1
                stack.append(child)
                on_stack.add(child)
                work.append((child, iter(sorted(edges.get(child, ())))))
            elif child in on_stack:
                low[node] = min(low[node], index[child])
    return result


def in_room(unit, room):
    if room == "helicart/*":  # the top of helicart/ itself, not its sub-folders
        return os.path.dirname(unit) == "helicart"
    return unit.startswith(room)


def main():
    edges = graph(units())
    status = 0
    for component in loops(edges):
        if any(unit.startswith(CHECKED) for unit in component):
            print("include-check: loop: " + " <-> ".join(component))
            status = 1
    for unit, targets in sorted(edges.items()):
        for room, forbidden in FORBIDDEN.items():
            if not unit.startswith(room):
                continue
            for target in sorted(targets):
                if any(in_room(target, other) for other in forbidden):
                    print(f"include-check: back arrow: {unit} includes {target}")
                    status = 1
    if status == 0:
        print("include-check: no include loop in compassplot/ or helicart/, no back arrow")
    return status


if __name__ == "__main__":
    sys.exit(main())
