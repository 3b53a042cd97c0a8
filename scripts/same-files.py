#!/usr/bin/env python3
"""Runs two builds of quorvane-cli on the same generated trees and compares
the files they leave, byte for byte: for a change that must not change what
an install, a remove or a restore writes.

    scripts/same-files.py OLD_CLI NEW_CLI [TREES] [SEED]

Each tree is the sample's catalogue with an Aircraft.cfg and a CSL_ICAO.csv
drawn at random: sections of the user's own and of earlier runs, numbers
with gaps and repeats, comments of every style, indented headers, lines
longer than one read of the title scan, Windows-1252 bytes, LF or CR LF
line ends, a last line with or without its end, files past the ten
thousand lines the title scan reads. On every tree both builds run the same
commands in turn (install of all airlines, install of some, remove,
install, restore) and must leave the same two files after each.
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CATALOGUE = os.path.join(ROOT, "sample", "catalogue")
AIRLINES = [line.split("=", 1)[1].strip() for line in open(os.path.join(CATALOGUE, "Airlines.dat"), encoding="latin-1")
            if line.lower().startswith("descr=")]
TITLES = ["~SKA738", "~SKA763", "~NVK320", "~CCW83", "~PCR200", "~APL752"]


def config_text(rng):
    lines = []
    if rng.random() < 0.5:
        lines += ["[General]", "Version=2"]
    number = 0
    for _ in range(rng.choice([0, 1, 3, 8, 40])):
        kind = rng.random()
        header = rng.choice(["[fltsim.%d]", "[FLTSIM.%d]", "  [fltsim.%d]", "\t[Fltsim.%d] ; mine"])
        shown = number + rng.choice([0, 0, 0, 1, -1, 5])
        lines.append(header % max(shown, 0))
        number += 1
        if kind < 0.15:
            lines += ["Title=" + rng.choice(TITLES), "Sim=x", "quorvane=Old (QUORVANE),X", "checklists="]
            continue
        lines.append(rng.choice(["title=", "Title=", "title = "]) + "Mine %d" % rng.randrange(1000))
        for _ in range(rng.randrange(6)):
            lines.append(rng.choice(["sim=b737", "model=", "// my note", "# another", "; third", "free text here",
                                     "word", "", "  ", "descr=" + "x" * rng.choice([10, 1990, 2500]),
                                     "atc_airline=Caf\xe9 A\xe9ro"]))
    if rng.random() < 0.1:
        lines += ["k=v"] * 10050 + ["[fltsim.%d]" % number, "Title=" + rng.choice(TITLES)]
    end = rng.choice(["\n", "\r\n"])
    text = end.join(lines)
    if lines and rng.random() < 0.8:
        text += end
    return text.encode("latin-1")


def models_text(rng):
    lines = []
    for _ in range(rng.choice([0, 2, 10, 50])):
        lines.append(rng.choice(["Generic : B737-800,B738,,Generic B737-800", "Mine,X,,Mine %d" % rng.randrange(1000),
                                 "Old (QUORVANE),X", "Kestrel Airways : BAe146,B461,KST,~KST146", "",
                                 "_under,x", "[bracket,y", "caf\xe9,Z", "b,1", "A,2", "a,1"]))
    end = rng.choice(["\n", "\r\n"])
    text = end.join(lines)
    if lines and rng.random() < 0.8:
        text += end
    return text.encode("latin-1")


def write_tree(folder, rng):
    csl = os.path.join(folder, "FS2002", "aircraft", "csl")
    os.makedirs(csl)
    os.makedirs(os.path.join(folder, "SquawkBox"))
    open(os.path.join(folder, "FS2002", "FS2002.exe"), "wb").close()
    open(os.path.join(csl, "Aircraft.cfg"), "wb").write(config_text(rng))
    open(os.path.join(folder, "SquawkBox", "CSL_ICAO.csv"), "wb").write(models_text(rng))


def files(folder):
    return (open(os.path.join(folder, "FS2002", "aircraft", "csl", "Aircraft.cfg"), "rb").read(),
            open(os.path.join(folder, "SquawkBox", "CSL_ICAO.csv"), "rb").read())


def run(cli, folder, command, rng_state):
    args = [cli, command, "--fs", os.path.join(folder, "FS2002"), "--squawkbox", os.path.join(folder, "SquawkBox")]
    if command == "install":
        args += ["--catalogue", CATALOGUE]
        for airline in rng_state:
            args += ["--airline", airline]
    args.append("--yes")
    env = dict(os.environ, XDG_CONFIG_HOME=folder)
    return subprocess.run(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env).returncode


def main():
    old_cli, new_cli = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    trees = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    work = tempfile.mkdtemp(prefix="quorvane-same-files-")
    compared = differed = 0
    statuses = {}
    try:
        for t in range(trees):
            rng = random.Random(seed * 100003 + t)
            some = rng.sample(AIRLINES, rng.randrange(1, len(AIRLINES)))
            steps = [("install", []), ("install", some), ("remove", None), ("install", []), ("restore", None)]
            folders = []
            for name in ("old", "new"):
                folder = os.path.join(work, name)
                shutil.rmtree(folder, ignore_errors=True)
                write_tree(folder, random.Random(seed * 100003 + t))
                folders.append(folder)
            for command, airlines in steps:
                status = [run(cli, folder, command, airlines or []) for cli, folder in zip((old_cli, new_cli), folders)]
                compared += 1
                statuses[(command, status[1])] = statuses.get((command, status[1]), 0) + 1
                if status[0] != status[1] or files(folders[0]) != files(folders[1]):
                    differed += 1
                    print("tree %d (seed %d), %s %s: exit %d and %d, files %s" %
                          (t, seed, command, airlines or "", status[0], status[1],
                           "equal" if files(folders[0]) == files(folders[1]) else "differ"))
                    break
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d trees, %d commands compared, %d differed" % (trees, compared, differed))
    print("exit statuses: " + ", ".join("%s %d: %d" % (c, s, n) for (c, s), n in sorted(statuses.items())))
    return 1 if differed else 0


if __name__ == "__main__":
    sys.exit(main())
