#!/usr/bin/env python3
"""Builds the demo game twice into a scratch folder and checks what a level scan finds in it.

Usage: check_demo_game.py <scratch folder>
The scan below reads the archives the way the utility's level discovery is meant to: ".gro" files
of the top folder except the game's five packs, ".nfo" entries read as text in pieces of 254
characters, MAP_TYPE and NAME lines, type and name carried over between entries.
"""
import os
import shutil
import subprocess
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
EXCLUDED = {"All_PC_01.gro", "All_PC_02.gro", "All_PC_03.gro", "Movies_PC_01.gro", "Movies_PC_02.gro"}
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL: " + what)


def pieces(text):
    # fgets in text mode: CR LF reads as LF, at most 254 characters per read.
    text = text.replace("\r\n", "\n")
    out = []
    while text:
        nl = text.find("\n")
        cut = min(254, nl + 1 if nl >= 0 else len(text))
        out.append(text[:cut])
        text = text[cut:]
    return out


def scan(game):
    coop, dm = [], []
    kind, name = "", ""
    for entry in os.listdir(game):
        if not entry.endswith(".gro") or entry in EXCLUDED:
            continue
        with zipfile.ZipFile(os.path.join(game, entry)) as archive:
            for info in archive.infolist():
                if ".nfo" not in info.filename:
                    continue
                path = info.filename.replace(".nfo", ".wld")
                for line in pieces(archive.read(info).decode("latin-1")):
                    eq = line.find("=")
                    if eq < 0:
                        continue
                    key = line[:eq].rstrip(" ")
                    if key == "MAP_TYPE":
                        kind = line.replace('MAP_TYPE=" ', "")
                    elif key == "NAME":
                        rest = line.replace('NAME="', "")
                        eq2 = rest.find("=")
                        if eq2 >= 0:
                            name = rest[eq2 + 1:eq2 + 101].rstrip('" \r\n')
                if "DM" in kind:
                    dm.append((name, path))
                elif "COOP" in kind:
                    coop.append((name, path))
    return coop, dm


def tree_bytes(root):
    out = {}
    for folder, _, files in os.walk(root):
        for f in files:
            p = os.path.join(folder, f)
            with open(p, "rb") as fh:
                out[os.path.relpath(p, root)] = fh.read()
    return out


def main(argv):
    scratch = argv[1]
    shutil.rmtree(scratch, ignore_errors=True)
    first, second = os.path.join(scratch, "a"), os.path.join(scratch, "b")
    for out in (first, second):
        r = subprocess.run([sys.executable, os.path.join(HERE, "make_demo_game.py"), out],
                           capture_output=True, text=True)
        check(r.returncode == 0 and r.stdout == "" and r.stderr == "", "builder runs silently")
    check(tree_bytes(first) == tree_bytes(second), "two builds give the same bytes")

    coop, dm = scan(first)
    mp = "Content/DravicQel2/Levels/Multiplayer/%s/%s.wld"
    check(dm == [("Little Trouble", mp % ("DM_LittleTrouble", "DM_LittleTrouble")),
                 ("Brkeen Chevap", mp % ("DM_BrkeenChevap", "DM_BrkeenChevap")),
                 ("Chanolin", mp % ("DM_Chanolin", "DM_Chanolin")),
                 ("Metropolis", mp % ("DM_Metropolis", "DM_Metropolis"))], "four deathmatch levels in map list order")
    check(len(coop) >= 24, "at least 24 cooperative levels")
    check(len(coop) > 23 and coop[23] == ("Ellenier Village",
          "Content/DravicQel2/Levels/05_Ellenier/5_1_Village/5_1_Village.wld"), "cooperative slot 23 is 5_1_Village")
    check(all(p.startswith("Content/DravicQel2/Levels/") and "Hidden" not in p for _, p in coop + dm),
          "no level from the game's own packs")
    check(len(set(p for _, p in coop)) == len(coop), "cooperative paths are distinct")

    nfo_archives = []
    for entry in sorted(os.listdir(first)):
        if entry.endswith(".gro"):
            with zipfile.ZipFile(os.path.join(first, entry)) as archive:
                names = archive.namelist()
            if any(".nfo" in n for n in names):
                nfo_archives.append(entry)
            for n in names:
                if n.endswith(".nfo"):
                    check(n[:-4] + ".wld" in names, "level data beside " + n)
    check(nfo_archives == ["All_PC_01.gro", "All_PC_02.gro", "All_PC_03.gro", "Campaign.gro",
                           "Movies_PC_01.gro", "Movies_PC_02.gro", "Multiplayer.gro"],
          "level information only in the two level archives and the game's packs")
    for entry in EXCLUDED:
        with zipfile.ZipFile(os.path.join(first, entry)) as archive:
            check(any(n.endswith(".nfo") for n in archive.namelist()), entry + " holds levels to be skipped")

    with open(os.path.join(first, "Content", "DravicQel2", "DedicatedServer.ini"), "rb") as fh:
        ini = fh.read()
    check(b"\r\nqel_iDedicatedFPS = 30;\r\n" in ini, "server INI holds the frame rate line")
    check(ini.endswith(b"\r\n") and ini.count(b"\n") == ini.count(b"\r\n") and ini.count(b"\n") > 3,
          "server INI has CR LF lines around it")
    check(os.path.isdir(os.path.join(first, "Bin")), "Bin folder")

    print("all checks passed" if not failures else "%d check(s) failed" % len(failures))
    return 0 if not failures else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
