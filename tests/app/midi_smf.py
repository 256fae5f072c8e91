"""render --midi: the MIDI file, read back with mido, holds one note per
tone the engine starts, at its start frame, tuned within 1 cent by note and
bend, and the automatic set changes as program changes at the buffers
where they take effect."""
import math
import os
import subprocess
import sys
import tempfile

import mido

prog, dump = sys.argv[1], sys.argv[2]
fails = []


def check(cond, what):
    if not cond:
        fails.append(what)


def tones(row, buffers):
    out = subprocess.run([dump, str(row), str(buffers)], check=True, capture_output=True, text=True).stdout.split("\n")
    rate, frames = int(out[0].split()[1]), int(out[0].split()[3])
    starts = [(int(l.split()[1]), float(l.split()[2])) for l in out[1:] if l.startswith("start")]
    return rate, frames, starts


def notes(path):
    """(tick, channel, note, bend) of every note on; the program changes; ticks per frame."""
    mf = mido.MidiFile(path)
    assert mf.type in (0, 1) and len(mf.tracks) == 1
    tempo, t, bend, ons, progs = None, 0, {}, [], []
    for m in mf.tracks[0]:
        t += m.time
        if m.type == "set_tempo":
            tempo = m.tempo
        elif m.type == "pitchwheel":
            bend[m.channel] = m.pitch
        elif m.type == "note_on" and m.velocity > 0:
            check(m.channel != 0, "a note on the manager channel")
            ons.append((t, m.channel, m.note, bend.get(m.channel, 0)))
        elif m.type == "program_change":
            check(m.channel == 0, "a program change off channel 1")
            progs.append((t, m.program))
    return ons, progs, tempo, mf.ticks_per_beat


def hz(note, bend):
    return 440.0 * 2 ** ((note + bend * 2 / 8192 - 69) / 12)


with tempfile.TemporaryDirectory() as d:
    for row, buffers in ((1, 6), (9, 6), (16, 4), (8, 6)):
        rate, frames, starts = tones(row, buffers)
        mid = os.path.join(d, f"r{row}.mid")
        subprocess.run([prog, "render", "--algorithm", str(row), "--buffers", str(buffers), "--midi", mid],
                       check=True, capture_output=True)
        ons, progs, tempo, ppq = notes(mid)
        check(tempo * rate == ppq * 1000000, f"row {row}: a tick is not one frame ({tempo} us, {ppq} ppq, {rate} Hz)")
        playable = [s for s in starts if 8.18 <= s[1] <= 12543.8]
        check(len(playable) > 3, f"row {row}: too few tones to judge ({len(playable)})")
        check(len(ons) == len(playable), f"row {row}: {len(ons)} notes for {len(playable)} tones")
        for (frame, f), (tick, ch, note, bend) in zip(playable, ons):
            check(tick == frame, f"row {row}: note at tick {tick}, tone at frame {frame}")
            cents = abs(1200 * math.log2(hz(note, bend) / f))
            check(cents <= 1.0, f"row {row}: note {note} bend {bend} is {cents:.2f} cents off {f:.3f} Hz")
        # The playing set and scale announced at the start.
        check([p for p in progs if p[0] == 0][:1] == [(0, 0)], f"row {row}: set 0 not announced: {progs[:2]}")

    # Automatic program changes every 2 buffers: each new set at the first
    # frame of the buffer computed with it.
    mid = os.path.join(d, "pc.mid")
    subprocess.run([prog, "render", "--buffers", "9", "--program-change", "2", "--midi", mid],
                   check=True, capture_output=True)
    _, progs, _, _ = notes(mid)
    sets = [p for p in progs if p[1] < 10]
    _, frames, _ = tones(1, 1)
    check(len(sets) >= 3, f"too few set changes: {progs}")
    # The first change is exact in buffers; later ones follow buffers
    # converted from the new sets' rates.
    check(sets[0] == (0, 0) and sets[1][0] % frames == 0, f"a set change off a buffer start: {sets}")
    check(all(a[0] < b[0] and a[1] != b[1] for a, b in zip(sets, sets[1:])), f"set changes out of order: {sets}")

    # Bad input: no file, a clear message.
    bad = subprocess.run([prog, "render", "--buffers", "1", "--midi", os.path.join(d, "no/such/dir.mid")],
                         capture_output=True, text=True)
    check(bad.returncode != 0 and "cannot write" in bad.stderr, f"unwritable MIDI file: {bad.returncode} {bad.stderr}")

# play --midi without ALSA's sequencer says so and plays on.
if not os.path.exists("/dev/snd/seq"):
    env = dict(os.environ, SDL_AUDIODRIVER="dummy")
    p = subprocess.run([prog, "play", "--midi", "--seconds", "0.3"], capture_output=True, text=True, env=env, timeout=60)
    check(p.returncode == 0 and "no MIDI output available" in p.stderr and "played" in p.stdout + p.stderr,
          f"play --midi without a sequencer: {p.returncode} {p.stderr}")

for f in fails:
    print("FAIL:", f)
sys.exit(1 if fails else 0)
