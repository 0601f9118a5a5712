#!/usr/bin/env python3
"""Checks the shape of the includes of the program's sources.

A file and its header (foo.h, foo.cpp) are one unit: what one of them includes, the unit
includes. Fails (exit 1) when
  - units include each other in a circle, directly or through others;
  - the folders do: a folder includes from another that, through any files, includes
    back from it;
  - a folder below app/ includes anything from app/.

Only quoted includes that name a file of the tree count ("text/juz.h"); system headers
(<windows.h>) are no part of the graph. Prints what it found either way.
"""
import argparse
import os
import re
import sys

# The rooms of the program. app/ is the top; the others never include from it.
PROGRAM_FOLDERS = ["app", "arabic", "base", "pages", "picture", "recitation", "resources",
                   "search", "settings", "tajwid", "text", "companions", "tools"]
# Folders that may include from anywhere (they test or measure the program), but take
# part in the file-circle check all the same.
OUTER_FOLDERS = ["tests", "bench", "fuzz"]
SOURCE_ENDINGS = (".h", ".hpp", ".cpp", ".cc", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def source_files(root):
    for top in PROGRAM_FOLDERS + OUTER_FOLDERS:
        base = os.path.join(root, top)
        for folder, _, names in os.walk(base):
            for name in names:
                if name.endswith(SOURCE_ENDINGS):
                    yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def resolve(root, including, target):
    """The tree path an include names: from the root (as the build's include path has
    it), else beside the including file. None for a file outside the tree."""
    for candidate in (target, os.path.join(os.path.dirname(including), target)):
        path = os.path.normpath(candidate).replace(os.sep, "/")
        if os.path.isfile(os.path.join(root, path)):
            return path
    return None


def include_graph(root):
    graph = {}
    for path in source_files(root):
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        edges = set()
        for target in INCLUDE.findall(text):
            resolved = resolve(root, path, target)
            if resolved:
                edges.add(unit_of(resolved))
        unit = unit_of(path)
        graph.setdefault(unit, set()).update(edges - {unit})
    return graph


def unit_of(path):
    """A source file and its header share one unit: the path without its ending."""
    stem, ending = os.path.splitext(path)
    return path if ending == ".rc" else stem


def circles(graph):
    """The strongly connected parts of more than one node (Tarjan's algorithm,
    without recursion)."""
    index = {}
    low = {}
    on_stack = set()
    stack = []
    found = []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph.get(start, ()))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            advanced = False
            for child in children:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(graph.get(child, ())))))
                    advanced = True
                    break
                if child in on_stack:
                    low[node] = min(low[node], index[child])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                part = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    part.append(member)
                    if member == node:
                        break
                if len(part) > 1:
                    found.append(sorted(part))
    return found


def folder_of(path):
    return path.split("/", 1)[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), ".."))
    root = os.path.abspath(parser.parse_args().root)

    graph = include_graph(root)
    problems = []

    for part in circles(graph):
        problems.append("files include each other in a circle (a header and its source counted as one): " + ", ".join(part))

    folders = {}
    for path, targets in graph.items():
        if folder_of(path) not in PROGRAM_FOLDERS:
            continue
        for target in targets:
            if folder_of(target) != folder_of(path) and folder_of(target) in PROGRAM_FOLDERS:
                folders.setdefault(folder_of(path), set()).add(folder_of(target))
    for part in circles(folders):
        problems.append("folders include each other in a circle: " + ", ".join(part))

    for path in sorted(graph):
        if folder_of(path) in PROGRAM_FOLDERS and folder_of(path) != "app":
            for target in sorted(graph[path]):
                if folder_of(target) == "app":
                    problems.append(f"{path} includes {target}, which is above it")

    edges = sum(len(t) for t in graph.values())
    print(f"check-includes: {len(graph)} units, {edges} includes, "
          f"{sum(len(t) for t in folders.values())} between program folders")
    for folder in sorted(folders):
        print(f"  {folder}/ -> " + " ".join(f + "/" for f in sorted(folders[folder])))
    for problem in problems:
        print("check-includes: " + problem)
    if problems:
        print(f"check-includes: {len(problems)} problem(s)")
        return 1
    print("check-includes: no circle, nothing below app/ includes app/")
    return 0


if __name__ == "__main__":
    sys.exit(main())
