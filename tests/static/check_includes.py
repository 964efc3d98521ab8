#!/usr/bin/env python3
"""The include check: every #include "folder/..." of the project's sources must follow an arrow of
cmake/Layers.cmake (directly or through the folders in between). A file's name says whether it
is Win32 (it ends in "_win") or portable: a Win32 file may also include wingui/ and any "_win"
header; a portable one may include neither, and the native build keeps Windows headers out of it.
sources.cmake must list each file as what its name says. A file and its header are one unit; no
unit may reach itself through the includes of others (a circle). Prints each arrow that does not
hold and each circle, and fails on any.

usage: check_includes.py [SOURCE_ROOT]
"""
import os
import re
import sys

root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
SHELL_ONLY = {"wingui"}
# Folders that are no library of the utility: what they may include besides themselves.
OTHERS = {"resources": set(), "gamesim": set(), "delete": set()}

uses = {}
for line in open(os.path.join(root, "cmake", "Layers.cmake")):
    m = re.match(r"\s*tollan_layer\((\w+)((?:\s+\w+)*)\s*\)", line)
    if m:
        uses[m.group(1)] = set(m.group(2).split())


def below(folder, seen=None):
    seen = set() if seen is None else seen
    for used in uses.get(folder, ()):
        if used not in seen:
            seen.add(used)
            below(used, seen)
    return seen


def listed(folder, macro):
    path = os.path.join(root, folder, "sources.cmake")
    if not os.path.exists(path):
        return set()
    text = open(path).read()
    names = set()
    for block in re.findall(macro + r"\(([^)]*)\)", text):
        names.update(os.path.splitext(n)[0] for n in block.split())
    return names


def is_win(stem):
    return stem.endswith("_win")


include = re.compile(r'^\s*#\s*include\s+"(\w+)/(\w+)\.h"')
# The standard library's own namespaces are its business: a definition of ours there would make
# the shipped build differ from the tested one. runtime/ holds what is replaced on purpose.
library_namespace = re.compile(r'^\s*namespace\s+(std|__gnu_cxx|__cxxabiv1)\b')
faults = []
checked = 0
edges = {}  # "folder/stem" -> the units its files include
for folder in sorted(set(uses) | set(OTHERS)):
    allowed = below(folder) | {folder} if folder in uses else OTHERS[folder] | {folder}
    for stem in listed(folder, "tollan_core"):
        if is_win(stem):
            faults.append("%s/sources.cmake: %s is listed as portable" % (folder, stem))
    for stem in listed(folder, "tollan_win"):
        if not is_win(stem):
            faults.append("%s/sources.cmake: %s is listed as Win32 but its name does not say so" % (folder, stem))
    for name in sorted(os.listdir(os.path.join(root, folder))):
        if not name.endswith((".cpp", ".h", ".c", ".rc")):
            continue
        stem = os.path.splitext(name)[0]
        in_core = folder in uses and not is_win(stem) and not name.endswith(".rc")
        for number, line in enumerate(open(os.path.join(root, folder, name), errors="replace"), 1):
            if library_namespace.match(line):
                faults.append("%s/%s:%d: defines names in the standard library's namespace" % (folder, name, number))
            m = include.match(line)
            if not m:
                continue
            checked += 1
            target, header = m.group(1), m.group(2)
            if (target, header) != (folder, stem):
                edges.setdefault(folder + "/" + stem, set()).add(target + "/" + header)
            if in_core and (target in SHELL_ONLY or is_win(header)):
                faults.append("%s/%s:%d: portable file includes %s/%s.h" % (folder, name, number, target, header))
                continue
            if target in allowed or (target in SHELL_ONLY and folder in uses and not in_core):
                continue
            faults.append("%s/%s:%d: %s -> %s" % (folder, name, number, folder, target))



def circles(graph):
    """The strongly connected sets of more than one unit (Tarjan, iterative)."""
    index, low, stack, on, found, counter = {}, {}, [], set(), [], [0]
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph.get(start, ()))))]
        index[start] = low[start] = counter[0]
        counter[0] += 1
        stack.append(start)
        on.add(start)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is None:
                work.pop()
                if work:
                    low[work[-1][0]] = min(low[work[-1][0]], low[node])
                if low[node] == index[node]:
                    group = []
                    while True:
                        unit = stack.pop()
                        on.discard(unit)
                        group.append(unit)
                        if unit == node:
                            break
                    if len(group) > 1:
                        found.append(sorted(group))
            elif child not in index:
                index[child] = low[child] = counter[0]
                counter[0] += 1
                stack.append(child)
                on.add(child)
                work.append((child, iter(sorted(graph.get(child, ())))))
            elif child in on:
                low[node] = min(low[node], index[child])
    return found


for group in circles(edges):
    faults.append("circle: " + " <-> ".join(group))

print("include check: %d includes of %d folders, %d units, %d circles" %
      (checked, len(uses) + len(OTHERS), len(set(edges) | {u for t in edges.values() for u in t}),
       sum(1 for f in faults if f.startswith("circle"))))
for folder in uses:
    print("  %-9s uses %s" % (folder, ", ".join(sorted(below(folder))) or "nothing"))
for fault in faults:
    print("not allowed: " + fault)
sys.exit(1 if faults else 0)
