#!/usr/bin/env python3
"""Lays out a demo Dravic Qel 2 game folder: level archives, the server INI and an empty Bin.

Usage: make_demo_game.py <outdir>

Slot numbers of the level lists follow the order in which the folder is listed, which is not fixed,
so every level whose slot matters sits in one archive: the four deathmatch levels of the default map
list in Multiplayer.gro, the cooperative campaign in Campaign.gro. No other archive outside the five
that the utility skips holds a level information entry.
"""
import os
import sys
import zipfile

STAMP = (2026, 1, 1, 12, 0, 0)  # fixed, so two builds give the same bytes

DEATHMATCH = [
    ("DM_LittleTrouble", "Little Trouble"),
    ("DM_BrkeenChevap", "Brkeen Chevap"),
    ("DM_Chanolin", "Chanolin"),
    ("DM_Metropolis", "Metropolis"),
]

# (chapter folder, [(level folder, shown name), ...]); slot 23 must be 5_1_Village.
CAMPAIGN = [
    ("01_Prologue", [("1_1_Landing", "The Landing"), ("1_2_Causeway", "Causeway"),
                     ("1_3_SaltFlats", "Salt Flats"), ("1_4_Watchtower", "Watchtower"),
                     ("1_5_Gatehouse", "The Gatehouse")]),
    ("02_Morvane", [("2_1_Harbour", "Harbour"), ("2_2_Market", "Market of Morvane"),
                    ("2_3_Cisterns", "Cisterns"), ("2_4_Foundry", "Foundry"),
                    ("2_5_Bellhouse", "Bellhouse"), ("2_6_Ramparts", "Ramparts")]),
    ("03_Qelmarsh", [("3_1_Reeds", "Reeds"), ("3_2_Sunken", "The Sunken Road"),
                     ("3_3_Fenhold", "Fenhold"), ("3_4_Bogmill", "Bog Mill"),
                     ("3_5_Stilts", "Stilt Town"), ("3_6_Mirelord", "Lair of the Mirelord")]),
    ("04_Ashfall", [("4_1_Ashfields", "Ash Fields"), ("4_2_Cinderpass", "Cinder Pass"),
                    ("4_3_Kilns", "The Kilns"), ("4_4_Obsidian", "Obsidian Steps"),
                    ("4_5_Caldera", "Caldera"), ("4_6_Emberhall", "Ember Hall")]),
    ("05_Ellenier", [("5_1_Village", "Ellenier Village"), ("5_2_Orchards", "Orchards"),
                     ("5_3_Abbey", "The Abbey")]),
    ("06_Dravic", [("6_1_Outskirts", "Outskirts of Dravic"), ("6_2_Citadel", "Citadel"),
                   ("6_3_Throne", "The Throne of Qel")]),
]

EXCLUDED = ["All_PC_01.gro", "All_PC_02.gro", "All_PC_03.gro", "Movies_PC_01.gro", "Movies_PC_02.gro"]

INI_LINES = [
    "; Dravic Qel 2 dedicated server settings",
    "[Server]",
    "qel_iDedicatedFPS = 30;",
    "qel_iMaxClientRate = 25000;",
    "qel_bLogToFile = 1;",
    "qel_strLogFile = \"DedicatedServer.log\";",
    "[Network]",
    "net_iMaxPacketSize = 1400;",
    "net_fTimeout = 30.00;",
]


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode("ascii")


def nfo(kind, tag, shown):
    # The level discovery reads MAP_TYPE=" <type>" and NAME="<tag>=<shown name>".
    return crlf([
        "[LEVEL_INFO]",
        'MAP_TYPE=" %s"' % kind,
        'NAME="%s=%s"' % (tag, shown),
        'AUTHOR="Morvane Studios"',
        "MAX_PLAYERS=16",
    ])


def wld(path):
    seed = sum(path.encode("ascii")) & 0xFF
    return b"DQ2WLD\x00\x01" + bytes((seed + i * 7) & 0xFF for i in range(512))


def add(archive, name, data, compress):
    info = zipfile.ZipInfo(name, STAMP)
    info.compress_type = zipfile.ZIP_DEFLATED if compress else zipfile.ZIP_STORED
    info.external_attr = 0o644 << 16
    archive.writestr(info, data)


def write_archive(path, levels):
    """levels: (level path without extension, type, tag, shown name) in archive order."""
    with zipfile.ZipFile(path, "w") as archive:
        for base, kind, tag, shown in levels:
            add(archive, base + ".nfo", nfo(kind, tag, shown), True)
            add(archive, base + ".wld", wld(base), False)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_demo_game.py <outdir>\n")
        return 2
    out = argv[1]
    for folder in ("Bin", os.path.join("Content", "DravicQel2")):
        os.makedirs(os.path.join(out, folder), exist_ok=True)

    with open(os.path.join(out, "Content", "DravicQel2", "DedicatedServer.ini"), "wb") as f:
        f.write(crlf(INI_LINES))

    dm = [("Content/DravicQel2/Levels/Multiplayer/%s/%s" % (level, level), "DM", "LVL_" + level.upper(), shown)
          for level, shown in DEATHMATCH]
    write_archive(os.path.join(out, "Multiplayer.gro"), dm)

    coop = []
    for chapter, levels in CAMPAIGN:
        for level, shown in levels:
            coop.append(("Content/DravicQel2/Levels/%s/%s/%s" % (chapter, level, level), "COOP",
                         "LVL_" + level.upper(), shown))
    assert coop[23][0].endswith("05_Ellenier/5_1_Village/5_1_Village")
    write_archive(os.path.join(out, "Campaign.gro"), coop)

    # The game's own packs, which the utility never opens: whatever they hold must never be offered.
    for i, name in enumerate(EXCLUDED):
        stem = name[:-4]
        write_archive(os.path.join(out, name), [
            ("Content/DravicQel2/Levels/Multiplayer/DM_Hidden%d/DM_Hidden%d" % (i, i), "DM",
             "LVL_HIDDEN_DM%d" % i, "Never Shown DM %s" % stem),
            ("Content/DravicQel2/Levels/99_Hidden/9_%d_Hidden/9_%d_Hidden" % (i, i), "COOP",
             "LVL_HIDDEN_COOP%d" % i, "Never Shown COOP %s" % stem),
        ])

    # A pack without level information: scanned, adds nothing.
    with zipfile.ZipFile(os.path.join(out, "Textures.gro"), "w") as archive:
        add(archive, "Content/DravicQel2/Textures/Stone01.tex", b"TEX\x00" + bytes(range(64)), True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
