#!/usr/bin/env python3
"""Where the bytes of a program go, from the GNU ld map of its link (build/win/Tollan.map).

Sums the sizes of the input sections the linker kept (after --gc-sections) by library and by
object, and prints the largest. Resources and the PE headers are not in the map; the total of
the file is printed beside the sum for that reason.

usage: bench/size_map.py <map> [<program>] [--objects N]
"""
import os
import re
import sys
from collections import defaultdict

SECTION = re.compile(r"^ (\.\S+|COMMON)\s*(0x[0-9a-f]+)?\s*(0x[0-9a-f]+)?\s*(\S+)?")
INPUT = re.compile(r"^\s+(0x[0-9a-f]+)\s+(0x[0-9a-f]+)\s+(\S.*)$")


def owner(path):
    """library and object of an input file: 'libstdc++.a(string-inst.o)' or 'CMakeFiles/.../X.cpp.obj'."""
    m = re.match(r"(.*/)?([^/(]+)\((.+)\)$", path)
    if m:
        return m.group(2), m.group(3)
    base = os.path.basename(path)
    m = re.search(r"CMakeFiles/([^/]+)\.dir/", path)
    return (m.group(1) if m else "(objects)"), base


def main():
    args = sys.argv[1:]
    count = 25
    if "--objects" in args:
        i = args.index("--objects")
        count = int(args[i + 1])
        del args[i:i + 2]
    if not args:
        sys.exit(__doc__)
    by_lib, by_obj = defaultdict(int), defaultdict(int)
    in_memory_map = False
    pending = None  # a section name on a line of its own: its address and size follow
    with open(args[0], errors="replace") as f:
        for line in f:
            if line.startswith("Linker script and memory map"):
                in_memory_map = True
                continue
            if not in_memory_map or line.startswith("/DISCARD/"):
                continue
            text = line.rstrip("\n")
            if pending is not None:
                m = INPUT.match(text)
                pending = None
                if m:
                    size = int(m.group(2), 16)
                    if size and int(m.group(1), 16):
                        lib, obj = owner(m.group(3).strip())
                        by_lib[lib] += size
                        by_obj[lib + ": " + obj] += size
                continue
            m = SECTION.match(text)
            if not m or m.group(1) in (".stab", ".stabstr") or m.group(1).startswith(".debug"):
                continue
            if m.group(2) is None:
                pending = m.group(1)
                continue
            if m.group(3) and m.group(4):
                size = int(m.group(3), 16)
                if size and int(m.group(2), 16):
                    lib, obj = owner(m.group(4))
                    by_lib[lib] += size
                    by_obj[lib + ": " + obj] += size
    total = sum(by_lib.values())
    if len(args) > 1:
        print(f"file {args[1]}: {os.path.getsize(args[1]):,} bytes")
    print(f"sections in the map: {total:,} bytes")
    print("\nby library:")
    for lib, size in sorted(by_lib.items(), key=lambda kv: -kv[1]):
        print(f"  {size:9,}  {lib}")
    print(f"\nlargest {count} objects:")
    for obj, size in sorted(by_obj.items(), key=lambda kv: -kv[1])[:count]:
        print(f"  {size:9,}  {obj}")


if __name__ == "__main__":
    main()
