#!/usr/bin/env python3
"""Draws the include graph of src/ by folder and reports cycles.

Usage: scripts/include_graph.py [--dot]
Prints each folder's includes of other folders; with --dot, a Graphviz drawing.
Exits 1 when two folders include each other (directly or round a longer circle),
when files of different folders include each other in a circle, or when a room includes
one it must not reach at all (FORBIDDEN: the siblings player and lists, lists and tools).
"""
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)

# Rooms (with their subfolders) that must not include another room, even without a circle:
# siblings declare what they need of each other in a lower room and app wires them.
FORBIDDEN = [("player", "lists"), ("lists", "player"), ("lists", "tools")]


def in_room(folder, room):
    return folder == room or folder.startswith(room + "/")


def sources():
    for folder, _, names in os.walk(ROOT):
        for name in names:
            if name.endswith((".h", ".cpp")):
                path = os.path.join(folder, name)
                yield os.path.relpath(path, ROOT)


def resolve(src, target, known):
    for base in (os.path.dirname(src), ""):
        candidate = os.path.normpath(os.path.join(base, target))
        if candidate in known:
            return candidate
    return None


def cycles(graph):
    """Strongly connected components with more than one node (Tarjan)."""
    index, low, stack, on, out, counter = {}, {}, [], set(), [], [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on.add(v)
        for w in graph.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            part = []
            while True:
                w = stack.pop()
                on.discard(w)
                part.append(w)
                if w == v:
                    break
            if len(part) > 1:
                out.append(sorted(part))

    sys.setrecursionlimit(10000)
    for v in list(graph):
        if v not in index:
            visit(v)
    return out


def main():
    files = set(sources())
    file_edges = {}
    for f in files:
        with open(os.path.join(ROOT, f), encoding="utf-8") as fh:
            text = fh.read()
        for inc in INCLUDE.findall(text):
            target = resolve(f, inc, files)
            if target and target != f:
                file_edges.setdefault(f, set()).add(target)

    folder_edges = {}
    for f, targets in file_edges.items():
        for t in targets:
            a, b = os.path.dirname(f), os.path.dirname(t)
            if a != b:
                folder_edges.setdefault(a, set()).add(b)

    if "--dot" in sys.argv:
        print("digraph includes {")
        for a in sorted(folder_edges):
            for b in sorted(folder_edges[a]):
                print(f'  "{a}" -> "{b}";')
        print("}")
    else:
        for a in sorted(folder_edges):
            print(f"{a} -> {', '.join(sorted(folder_edges[a]))}")

    bad = False
    for part in cycles(folder_edges):
        print("folder circle: " + " <-> ".join(part), file=sys.stderr)
        bad = True
    for part in cycles(file_edges):
        if len({os.path.dirname(p) for p in part}) > 1:
            print("file circle across folders: " + " <-> ".join(part), file=sys.stderr)
            bad = True
    for a, targets in sorted(folder_edges.items()):
        for b in sorted(targets):
            for src, dst in FORBIDDEN:
                if in_room(a, src) and in_room(b, dst):
                    print(f"forbidden include: {a} -> {b}", file=sys.stderr)
                    bad = True
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
