#!/usr/bin/python3
"""Composes the preset library and checks it by listening metrics.

    presets/compose.py BUILD survey [ROWS]   render every set of the default
        setting on each row at 1 and 2 octaves higher rates and print the
        metrics, to find candidates
    presets/compose.py BUILD make            write the samples, the setting
        files and index.txt from the table below, render each preset for 60 s
        and print its metrics (and the failures of the limits the tests use)

BUILD is the build folder (tessellon, preset_tool, preset_listen). Every
setting is made by preset_tool from the built-in default setting or the
introduction's own setting with the edits listed here, so the library can be
made again from this file. The samples are synthesised by preset_tool.
"""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
LIMITS = ["--min-lufs", "-24", "--max-lufs", "-16", "--max-silence", "2",
          "--max-jump", "40000", "--max-peak", "32766"]

SAMPLES = ["bell", "pluck", "voice", "glass", "marimba", "breath"]

# name, family, base, set, edits, options, description
# base: "default" (the built-in setting), "intro" (the introduction's) or
# another preset's setting file "=NAME.rov".
PRESETS = []


def P(name, family, base, setnr, edits, options, desc):
    PRESETS.append((name, family, base, setnr, edits, options, desc))


# --- the ten introduction examples, as the introduction plays them --------
INTRO_ROWS = [9, 9, 9, 9, 9, 1, 2, 2, 9, 9]
INTRO = [
    ("intro-1-fantasy", "A phrase in scale 0, played around and around"),
    ("intro-2-fantasy", "Slow phrases with long tones over scale 0"),
    ("intro-3-deep-phrase", "A phrase from a deep scale of wide intervals"),
    ("intro-4-low-phrase", "Low, slow phrases in the deep scale"),
    ("intro-5-organ-phrase", "Organ-like chords from a phrase in scale 4"),
    ("intro-6-guided-tour", "The tour's tone: dual oscillators in scale 3"),
    ("intro-7-two-scales", "Two scales mixed with random tones"),
    ("intro-8-chromatic", "Two scales around a chromatic line"),
    ("intro-9-gamelan", "Bright metallic phrases in a gamelan scale"),
    ("intro-10-glissando", "A rising scale of close steps, fast and high"),
]


def render(build, args, out, seconds=60):
    cmd = [os.path.join(build, "tessellon"), "render", *args, "--seconds", str(seconds), "-o", out]
    r = subprocess.run(cmd, capture_output=True, text=True)
    if r.returncode != 0:
        raise RuntimeError(" ".join(cmd) + ": " + r.stderr)


def listen(build, wav, limits=()):
    r = subprocess.run([os.path.join(build, "presets", "preset_listen"), wav, *limits],
                       capture_output=True, text=True)
    m = dict(line.split("=") for line in r.stdout.split())
    return m, r.returncode == 0, r.stderr.strip()


def tool(build, *args):
    subprocess.run([os.path.join(build, "presets", "preset_tool"), *args], check=True)


VARIANTS = [[], ["saw=0", "p12=16"], ["saw=1", "p12=240"]]


def survey(build, rows):
    with tempfile.TemporaryDirectory() as tmp:
        for row in rows:
            for setnr in range(10):
                for vn, variant in enumerate(VARIANTS):
                    rov = os.path.join(tmp, "s.rov")
                    edits = [f"s{setnr}.{e}" for e in variant]
                    tool(build, "setting", "default", rov, f"row={row}", f"s{setnr}.up=2", *edits)
                    wav = os.path.join(tmp, "s.wav")
                    args = ["--setting", rov, "--set", str(setnr)]
                    if row in (6, 7, 8, 15, 20):
                        args += ["--sample", os.path.join(HERE, "bell.wav")]
                    try:
                        render(build, args, wav, 30)
                    except RuntimeError as e:
                        print(row, setnr, vn, "fails", e)
                        continue
                    m, _, _ = listen(build, wav)
                    print(f"row {row:2} set {setnr} var {vn}: {m['loudness']:>6} LUFS "
                          f"bw {m['bw99']:>5} sil {m['silence']:>5} jump {m['jump']:>5} peak {m['peak']:>5} "
                          f"rate {m['rate']}", flush=True)


def make(build):
    for kind in SAMPLES:
        tool(build, "sample", kind, os.path.join(HERE, kind + ".wav"))
    lines = ["# The preset library: one line per preset, fields separated by '|':",
             "# name|family|setting file|set|options|description",
             "# options: sample=FILE.wav, bank=FILE.rov (up to three), voices=N.",
             "# Made by presets/compose.py; the files lie beside this index."]
    with tempfile.TemporaryDirectory() as tmp:
        for name, family, base, setnr, edits, options, desc in PRESETS:
            rov = name + ".rov"
            src = os.path.join(HERE, base[1:]) if base.startswith("=") else base
            tool(build, "setting", src, os.path.join(HERE, rov), *edits)
            lines.append(f"{name}|{family}|{rov}|{setnr}|{options}|{desc}")
        with open(os.path.join(HERE, "index.txt"), "w") as f:
            f.write("\n".join(lines) + "\n")
        bad = 0
        print(f"{'name':24} {'row':>3} {'rate':>6} {'LUFS':>6} {'bw99':>6} {'sil':>5} {'jump':>6} {'peak':>6}")
        for name, family, base, setnr, edits, options, desc in PRESETS:
            wav = os.path.join(tmp, name + ".wav")
            render(build, ["--preset", name], wav)
            m, ok, why = listen(build, wav, LIMITS)
            row = next((e[4:] for e in edits if e.startswith("row=")), "?")
            print(f"{name:24} {row:>3} {m['rate']:>6} {m['loudness']:>6} {m['bw99']:>6} {m['silence']:>5} "
                  f"{m['jump']:>6} {m['peak']:>6} {'' if ok else why}", flush=True)
            bad += not ok
        print(f"{len(PRESETS)} presets, {bad} outside the limits")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    os.environ["TESSELLON_PRESETS"] = HERE
    if sys.argv[2] == "survey":
        survey(build, [int(r) for r in sys.argv[3:]] or range(21))
    elif sys.argv[2] == "make":
        make(build)
    else:
        sys.exit(__doc__)
