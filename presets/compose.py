#!/usr/bin/python3
"""Composes the preset library and checks it by listening metrics.

    presets/compose.py BUILD survey [ROWS]   render every set of the default
        setting on each row at 1 and 2 octaves higher rates and print the
        metrics, to find candidates
    presets/compose.py BUILD make            write the samples, the setting
        files and index.txt from the table below (choosing each preset's set
        and voice maximum by the metrics), then report
    presets/compose.py BUILD report          render each preset for 60 s and
        print its metrics as a table (and the failures of the tests' limits)

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

# How a preset is chosen: each entry below names its row, the timbre it
# wants and the sets of the base setting to try, in order. Each candidate
# set gets the playback rate raised by two octaves with the row's own rate
# rewrite (ranovpd: the pitches stay, the harmonics reach up to 11 or 22 kHz)
# and the timbre's edits, and is rendered for 20 s with the voice maxima
# 4, 8 and 20 (the mixer's shift, 6 dB apart). The first candidate whose
# metrics lie well inside the limits (-22.5..-17.5 LUFS, no silence over
# 1.5 s, no wrap-around, peak below full scale; full-range when the timbre
# asks for it) becomes the preset, with the voice maximum closest to
# -20 LUFS; the whole library is then rendered for 60 s and measured again.
TIMBRES = {
    "pulse": ["saw=0", "p12=16"],       # narrow pulses: bright, reedy
    "bright": ["saw=1", "p12=240"],     # a steep triangle: a soft saw
    "keep": [],                         # the set's own waveform
    "warm": ["saw=1", "p12=128"],       # a symmetric triangle: round, dark
}
SAMPLE_ROWS = (6, 7, 8, 15, 20)

# name, family, row, timbre, sets to try, options, description
TABLE = [
    ("panning-pulses", "Random Tones", 0, "pulse", [0, 1, 3, 8], "", "Bright pulse tones scattered across the stereo field"),
    ("panning-drift", "Random Tones", 0, "bright", [9, 6, 5, 2], "", "Soft saw tones drifting slowly from side to side"),
    ("dual-shimmer", "Random Tones", 1, "bright", [0, 1, 3, 9], "", "Detuned oscillator pairs beating against each other"),
    ("dual-reeds", "Random Tones", 1, "pulse", [6, 5, 2, 0], "", "Reedy pulse pairs, slowly beating"),
    ("two-scales", "Random Tones", 2, "bright", [2, 0, 1, 4], "", "Tones from two scales, mixed with random tones"),
    ("minimal-machine", "Minimal and Echo", 3, "pulse", [0, 1, 3, 9], "", "A short pattern repeating with small changes"),
    ("minimal-glass", "Minimal and Echo", 3, "bright", [5, 4, 2, 8], "", "Glassy repeating patterns, minimal music"),
    ("echo-chords", "Minimal and Echo", 4, "bright", [4, 0, 1, 2], "", "Chords in a long echo, with a little fuzz"),
    ("echo-rain", "Minimal and Echo", 4, "pulse", [9, 8, 3, 5], "", "Bright drops falling into an echo"),
    ("interval-noise", "Random Tones", 5, "pulse", [0, 1, 3, 5], "", "Interval studies with a touch of noise"),
    ("bell-intervals", "Samples", 6, "keep", [0, 1, 2, 3, 4, 5], "sample=bell.wav", "A synthesised bell played in scale intervals"),
    ("voice-crossfade", "Samples", 7, "keep", [0, 1, 2, 3, 4], "sample=voice.wav", "A sung vowel looped with crossfades"),
    ("pluck-loops", "Samples", 8, "keep", [0, 1, 2, 3, 4], "sample=pluck.wav", "Plucked strings in static loops"),
    ("glass-loops", "Samples", 8, "keep", [5, 6, 7, 8, 9], "sample=glass.wav", "Glass harmonics in static loops"),
    ("fantasy-phrase", "Phrases", 9, "bright", [0, 1, 9, 3], "", "Composing around a given phrase"),
    ("fantasy-reeds", "Phrases", 9, "pulse", [5, 6, 2, 4], "", "A phrase played around on reedy pulses"),
    ("session-duo", "Phrases", 10, "bright", [0, 2, 4, 6], "", "Two channels playing two fixed phrases"),
    ("jazzy-changes", "Phrases", 11, "bright", [0, 1, 3, 9], "", "Jazzy playing that changes its phrase by itself"),
    ("jazzy-pulses", "Phrases", 11, "keep", [5, 6, 9], "", "Jazzy phrases on bright pulses"),
    ("stumbling-chords", "Random Tones", 12, "bright", [0, 1, 3, 9], "", "Stumbling chords of triple oscillators"),
    ("complex-envelopes", "Random Tones", 13, "bright", [0, 1, 3, 9], "", "Tones with complex, many-staged envelopes"),
    ("glissando-ranges", "Random Tones", 14, "pulse", [0, 1, 3, 9], "", "Several pitch ranges with glissandi"),
    ("glissando-soft", "Random Tones", 14, "bright", [5, 6, 8, 2], "", "Soft glides in several ranges"),
    ("marimba-phrase", "Samples", 15, "keep", [0, 1, 2, 3, 4], "sample=marimba.wav", "A marimba sample playing around a phrase"),
    ("cluster-bells", "Clusters", 16, "bright", [0, 1, 3, 9], "", "Clusters with scaled envelopes, bell-like"),
    ("cluster-organ", "Clusters", 16, "pulse", [5, 6, 8, 2], "", "Organ-like clusters of pulses"),
    ("ostinato", "Phrases", 17, "bright", [0, 1, 3, 9], "", "An ostinato phrase, slowly changing"),
    ("ostinato-waves", "Phrases", 18, "keep", [0, 1, 3, 9, 5], "", "Ostinato with complex waveforms"),
    ("ostinato-sweep", "Phrases", 18, "bright", [5, 6, 8, 2], "", "Ostinato with sweeping waveforms"),
    ("slow-controls", "Random Tones", 19, "bright", [0, 1, 3, 9], "", "Random pitches under slow LFO controls"),
    ("panning-saws", "Random Tones", 0, "bright", [1, 3, 8], "", "Soft saw tones panned wide, a little faster"),
    ("breath-multiloop", "Samples", 20, "keep", [0, 1, 2, 3, 4], "sample=breath.wav", "Many loops of a breathy noise"),
    ("bell-multiloop", "Samples", 20, "keep", [5, 6, 7, 8, 9], "sample=bell.wav", "Many loops of a bell"),
    ("warm-panning", "Random Tones", 0, "warm", [8, 1, 0, 3], "", "Round triangle tones, warm and slow"),
    ("warm-dual", "Random Tones", 1, "warm", [1, 0, 3, 9], "", "Warm detuned triangles"),
]
# The introduction's ten examples: the row whose routine the introduction
# plays each with, a name and a description after its caption.
INTRO_ROWS = [9, 9, 9, 9, 9, 1, 2, 2, 9, 9]
INTRO = [
    ("intro-1-slow-phrase", "Introduction 1: a slow example of phrase playing"),
    ("intro-2-faster-phrase", "Introduction 2: the same phrase, shorter and faster"),
    ("intro-3-another-phrase", "Introduction 3: another phrase playing"),
    ("intro-4-same-phrase", "Introduction 4: the same phrase once more"),
    ("intro-5-cascade", "Introduction 5: a very fast sound cascade"),
    ("intro-6-scaled-tones", "Introduction 6: random and scaled tones, the guided tour's sound"),
    ("intro-7-dual-scale", "Introduction 7: dual scale and random tones"),
    ("intro-8-random-pitch", "Introduction 8: the same, but only random pitch"),
    ("intro-9-blues", "Introduction 9: phrase playing, a blues theme"),
    ("intro-10-high-rate", "Introduction 10: phrase playing at a high rate"),
]

# Multiple play: the setting plays one track, its banks three more (each
# bank's chosen set is copied to set 0, which a bank plays).
QUAD = [
    ("four-tracks", "Four Tracks", ["panning-pulses", "echo-chords", "fantasy-phrase", "cluster-bells"],
     "Four presets at once: panning, echo, phrase and clusters"),
    ("four-phrases", "Four Tracks", ["ostinato", "jazzy-changes", "session-duo", "slow-controls"],
     "Ostinato, jazz, a duo and slow controls together"),
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


def good(m, bright, margin):
    lufs, sil = float(m["loudness"]), float(m["silence"])
    ok = abs(lufs + 20) <= (2.5 if margin else 4) and sil <= (1.5 if margin else 2)
    ok = ok and int(m["jump"]) <= 40000 and int(m["peak"]) < 32767
    return ok and (not bright or float(m["bw99"]) >= 5000)


def choose(build, tmp, name, row, timbre, sets, options):
    """The first candidate set (and voice maximum) within the limits."""
    rov = os.path.join(HERE, name + ".rov")
    wav = os.path.join(tmp, "c.wav")
    sample = [w[7:] for w in options.split() if w.startswith("sample=")]
    nearest = None  # (distance to -20 LUFS, set, voices) of every candidate

    def setting(setnr):
        edits = [f"s{setnr}.{e}" for e in TIMBRES[timbre]]
        tool(build, "setting", "default", rov, f"row={row}", f"s{setnr}.up=2", *edits)

    for bright in (timbre != "warm", False):
        for setnr in sets:
            setting(setnr)
            best = None
            for voices in (4, 8, 20):
                args = ["--setting", rov, "--set", str(setnr), "--voices", str(voices)]
                if sample:
                    args += ["--sample", os.path.join(HERE, sample[0])]
                render(build, args, wav, 20)
                m, _, _ = listen(build, wav)
                d = abs(float(m["loudness"]) + 20)
                if nearest is None or d < nearest[0]:
                    nearest = (d, setnr, voices)
                if good(m, bright, True) and (best is None or d < best[0]):
                    best = (d, voices)
            if best:
                return setnr, best[1]
    print(f"WARNING: {name}: no candidate within the limits; the loudest kept", flush=True)
    setting(nearest[1])
    return nearest[1], nearest[2]


def make(build):
    for kind in SAMPLES:
        tool(build, "sample", kind, os.path.join(HERE, kind + ".wav"))
    lines = ["# The preset library: one line per preset, fields separated by '|':",
             "# name|family|setting file|set|options|description",
             "# options: sample=FILE.wav, bank=FILE.rov (up to three), voices=N, algorithm=ROW.",
             "# Made by presets/compose.py; the files lie beside this index."]
    chosen = {}
    with tempfile.TemporaryDirectory() as tmp:
        # The introduction's ten examples, from its own setting, two octaves
        # higher (the intro plays them at 5512 to 22050 Hz).
        for n, (name, desc) in enumerate(INTRO):
            rov = os.path.join(HERE, name + ".rov")
            tool(build, "setting", "intro", rov, f"row={INTRO_ROWS[n]}", f"s{n}.up=2")
            best = None
            for voices in (4, 6, 8, 20):
                render(build, ["--setting", rov, "--set", str(n), "--voices", str(voices)],
                       os.path.join(tmp, "c.wav"), 20)
                m, _, _ = listen(build, os.path.join(tmp, "c.wav"))
                if best is None or abs(float(m["loudness"]) + 20) < best[0]:
                    best = (abs(float(m["loudness"]) + 20), voices)
            lines.append(f"{name}|Introduction|{name}.rov|{n}|voices={best[1]}|{desc}")
            print("chose", name, "voices", best[1], flush=True)
        for name, family, row, timbre, sets, options, desc in TABLE:
            setnr, voices = choose(build, tmp, name, row, timbre, sets, options)
            chosen[name] = setnr
            opts = (options + f" voices={voices}").strip()
            lines.append(f"{name}|{family}|{name}.rov|{setnr}|{opts}|{desc}")
            print("chose", name, "set", setnr, "voices", voices, flush=True)
        for name, family, parts, desc in QUAD:
            banks = []
            for k, part in enumerate(parts[1:]):
                bank = f"{name}-{k + 2}.rov"
                tool(build, "setting", os.path.join(HERE, part + ".rov"), os.path.join(HERE, bank),
                     f"copy={chosen[part]}:0")
                banks.append("bank=" + bank)
            tool(build, "setting", os.path.join(HERE, parts[0] + ".rov"), os.path.join(HERE, name + ".rov"))
            best = None
            for voices in (4, 8, 20):
                args = ["--setting", os.path.join(HERE, name + ".rov"), "--set", str(chosen[parts[0]]),
                        "--algorithm", "21", "--voices", str(voices)]
                for b in banks:
                    args += ["--bank", os.path.join(HERE, b[5:])]
                render(build, args, os.path.join(tmp, "c.wav"), 20)
                m, _, _ = listen(build, os.path.join(tmp, "c.wav"))
                if best is None or abs(float(m["loudness"]) + 20) < best[0]:
                    best = (abs(float(m["loudness"]) + 20), voices)
            lines.append(f"{name}|{family}|{name}.rov|{chosen[parts[0]]}|{' '.join(banks)} "
                         f"voices={best[1]} algorithm=21|{desc}")
            print("chose", name, "voices", best[1], flush=True)
        with open(os.path.join(HERE, "index.txt"), "w") as f:
            f.write("\n".join(lines) + "\n")
    report(build)


def report(build):
    """Every preset rendered for 60 s and measured: a table in Markdown."""
    listing = subprocess.run([os.path.join(build, "tessellon"), "render", "--list-presets"],
                             capture_output=True, text=True, check=True).stdout.splitlines()
    bad = full = 0
    print("| preset | row | rate (Hz) | loudness (LUFS) | 99 % energy below (Hz) | longest silence (s) | peak |")
    print("|---|---|---|---|---|---|---|")
    with tempfile.TemporaryDirectory() as tmp:
        for line in listing:
            w = line.split()
            name, row, rate = w[0], w[2], w[3]
            wav = os.path.join(tmp, "p.wav")
            render(build, ["--preset", name], wav)
            m, ok, why = listen(build, wav, LIMITS)
            full += float(m["bw99"]) >= 5000
            bad += not ok
            print(f"| {name} | {row} | {rate} | {m['loudness']} | {m['bw99']} | {m['silence']} | {m['peak']} |"
                  + ("" if ok else " FAILS: " + why), flush=True)
    print(f"\n{len(listing)} presets, {full} full-range, {bad} outside the limits")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    os.environ["TESSELLON_PRESETS"] = HERE
    if sys.argv[2] == "survey":
        survey(build, [int(r) for r in sys.argv[3:]] or range(21))
    elif sys.argv[2] == "make":
        make(build)
    elif sys.argv[2] == "report":
        report(build)
    else:
        sys.exit(__doc__)
