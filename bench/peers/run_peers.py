#!/usr/bin/env python3
"""Times `tessellon render` against Csound and SuperCollider's server on the
same load: 64 voices of oscillator, envelope and pan at 44.1 kHz, 61 s of
stereo 16-bit sound written to a WAV file.

The load is the engine's dense row-0 setting (bench/peers/dense_setting.cpp):
a tone starts at every 256-frame control block and falls linearly over
127 x 128 frames, so 64 voices sound at once. The peers get the same tone
starts and lengths: Csound as 64-voice-deep oscili . linseg . pan2 notes,
scsynth (non-real-time, -N) as SinOsc . EnvGen . Pan2 synths.

Each program runs whole (process start to exit) several times, interleaved,
and the script reports the median CPU time (user + system) of each and the
ratios. Needs the Debian packages csound and supercollider-server.

  run_peers.py --tessellon BUILD/tessellon --setting-tool BUILD/bench/peers_setting [--runs 5]
"""
import argparse
import os
import random
import resource
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

RATE = 44100
SECONDS = 61.0
BLOCK = 256           # frames between tone starts
TONE = 127 * 128      # frames of one tone
LEVEL = 0.05          # peak level of one voice


def tone_starts(seed=1):
    rnd = random.Random(seed)
    n = int(SECONDS * RATE / BLOCK)
    return [(i * BLOCK / RATE, rnd.uniform(200.0, 2000.0), rnd.uniform(-1.0, 1.0)) for i in range(n)]


# --- Csound ---------------------------------------------------------------------
def csound_file(path, starts):
    dur = TONE / RATE
    with open(path, "w") as f:
        f.write("<CsoundSynthesizer>\n<CsOptions>\n-d -m0 -W -s\n</CsOptions>\n<CsInstruments>\n")
        f.write(f"sr = {RATE}\nksmps = 64\nnchnls = 2\n0dbfs = 1\n")
        f.write("instr 1\n  aenv linseg p6, p3, 0\n  asig oscili aenv, p4\n"
                "  aL, aR pan2 asig, p5\n  outs aL, aR\nendin\n")
        f.write("</CsInstruments>\n<CsScore>\n")
        for t, freq, pan in starts:
            f.write(f"i1 {t:.6f} {dur:.6f} {freq:.3f} {(pan + 1) / 2:.4f} {LEVEL}\n")
        f.write(f"e {SECONDS}\n</CsScore>\n</CsoundSynthesizer>\n")


# --- SuperCollider: a hand-encoded synth definition and OSC score -----------------
def pstr(s):
    b = s.encode()
    return struct.pack(">B", len(b)) + b


def synthdef():
    """tone(freq, pan): Out.ar(0, Pan2.ar(SinOsc.ar(freq) * EnvGen.kr(Env([LEVEL, 0], [dur]), doneAction: 2), pan))"""
    dur = TONE / RATE
    consts = [0.0, 1.0, 2.0, -99.0, dur, LEVEL]
    c = {v: i for i, v in enumerate(consts)}
    K = lambda v: (-1, c[v])  # noqa: E731
    ugens = [
        ("Control", 1, [], [1, 1], 0),
        ("SinOsc", 2, [(0, 0), K(0.0)], [2], 0),
        # gate, levelScale, levelBias, timeScale, doneAction, then the envelope:
        # start level, stages, release node, loop node; per stage level, time, shape, curve
        ("EnvGen", 1, [K(1.0), K(LEVEL), K(0.0), K(1.0), K(2.0),
                       K(1.0), K(1.0), K(-99.0), K(-99.0),
                       K(0.0), K(dur), K(1.0), K(0.0)], [1], 0),
        ("BinaryOpUGen", 2, [(1, 0), (2, 0)], [2], 2),   # *
        ("Pan2", 2, [(3, 0), (0, 1), K(1.0)], [2, 2], 0),
        ("Out", 2, [K(0.0), (4, 0), (4, 1)], [], 0),
    ]
    b = b"SCgf" + struct.pack(">iH", 2, 1) + pstr("tone")
    b += struct.pack(">i", len(consts)) + b"".join(struct.pack(">f", v) for v in consts)
    b += struct.pack(">i", 2) + struct.pack(">ff", 440.0, 0.0)
    b += struct.pack(">i", 2) + pstr("freq") + struct.pack(">i", 0) + pstr("pan") + struct.pack(">i", 1)
    b += struct.pack(">i", len(ugens))
    for name, rate, ins, outs, special in ugens:
        b += pstr(name) + struct.pack(">biih", rate, len(ins), len(outs), special)
        b += b"".join(struct.pack(">ii", u, o) for u, o in ins)
        b += b"".join(struct.pack(">b", r) for r in outs)
    b += struct.pack(">H", 0)
    return b


def oscstr(s):
    b = s.encode() + b"\0"
    return b + b"\0" * (-len(b) % 4)


def oscmsg(addr, *args):
    tags, data = ",", b""
    for a in args:
        if isinstance(a, bytes):
            tags += "b"
            data += struct.pack(">i", len(a)) + a + b"\0" * (-len(a) % 4)
        elif isinstance(a, str):
            tags += "s"
            data += oscstr(a)
        elif isinstance(a, float):
            tags += "f"
            data += struct.pack(">f", a)
        else:
            tags += "i"
            data += struct.pack(">i", a)
    return oscstr(addr) + oscstr(tags) + data


def bundle(t, *msgs):
    b = b"#bundle\0" + struct.pack(">Q", int(t * (1 << 32)))
    for m in msgs:
        b += struct.pack(">i", len(m)) + m
    return struct.pack(">i", len(b)) + b


def sc_score(path, starts):
    with open(path, "wb") as f:
        f.write(bundle(0.0, oscmsg("/d_recv", synthdef())))
        for t, freq, pan in starts:
            f.write(bundle(t, oscmsg("/s_new", "tone", -1, 0, 0, "freq", freq, "pan", pan)))
        f.write(bundle(SECONDS, oscmsg("/c_set", 0, 0)))


# --- Timing ----------------------------------------------------------------------
def cpu_of(cmd, env=None):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    t0 = time.monotonic()
    r = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
    wall = time.monotonic() - t0
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if r.returncode != 0:
        sys.exit(f"{cmd[0]} failed ({r.returncode}): {r.stderr.decode()[-2000:]}")
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime), wall


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--tessellon", required=True)
    ap.add_argument("--setting-tool", required=True, help="the peers_setting program")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--scalar", action="store_true", help="tessellon with TESS_SCALAR=1")
    ap.add_argument("--keep", action="store_true", help="keep the scores and the rendered files")
    args = ap.parse_args()
    for prog in ("csound", "scsynth"):
        if not shutil.which(prog):
            sys.exit(f"{prog} not found: install the Debian packages csound and supercollider-server")

    work = tempfile.mkdtemp(prefix="peers-")
    starts = tone_starts()
    setting = os.path.join(work, "dense.rov")
    subprocess.run([args.setting_tool, setting], check=True)
    csd = os.path.join(work, "load.csd")
    csound_file(csd, starts)
    osc = os.path.join(work, "load.osc")
    sc_score(osc, starts)

    env = dict(os.environ)
    if args.scalar:
        env["TESS_SCALAR"] = "1"
    progs = {
        "tessellon": ([args.tessellon, "render", "--setting", setting, "--algorithm", "0", "--set", "0",
                       "--voices", "64", "--timbre", "--seconds", str(SECONDS), "-o",
                       os.path.join(work, "tessellon.wav")], env),
        "scsynth": (["scsynth", "-N", osc, "_", os.path.join(work, "sc.wav"), str(RATE), "WAV", "int16",
                     "-o", "2", "-i", "0"], None),
        "csound": (["csound", "-o", os.path.join(work, "cs.wav"), csd], None),
    }
    times = {k: [] for k in progs}
    for _ in range(args.runs):
        for name, (cmd, e) in progs.items():
            times[name].append(cpu_of(cmd, e))
    med = {k: statistics.median(c for c, _ in v) for k, v in times.items()}
    print(f"{len(starts)} tones, 64 voices, {RATE} Hz, {SECONDS:g} s; median of {args.runs} runs (whole process)")
    for name in progs:
        cpu = [c for c, _ in times[name]]
        wall = statistics.median(w for _, w in times[name])
        print(f"  {name:10s} CPU {med[name]:.3f} s  (min {min(cpu):.3f}, max {max(cpu):.3f}; wall {wall:.3f} s)"
              f"  {SECONDS / med[name]:.0f}x real time")
    print(f"  tessellon / scsynth = {med['tessellon'] / med['scsynth']:.3f}  (target <= 0.5)")
    print(f"  tessellon / csound  = {med['tessellon'] / med['csound']:.3f}  (target <= 0.33)")
    if args.keep:
        print(f"  files kept in {work}")
    else:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
