#!/usr/bin/python3
"""The MIDI a JACK port carried against the MIDI file render wrote.

    jack_midi_match.py RENDER.mid RECORDED.txt JACK_RATE FILE_RATE MIN_NOTES

RECORDED.txt holds one message a line: its frame at JACK_RATE, then its
bytes in hex (tests/tools/jack_record.cpp). The recorder connects once the
port exists, so the recording may begin after the file does; its longest run
of messages equal to a run of the file's must hold MIN_NOTES note-ons or
more, every message before the stop (All Notes Off) must be in that run, and
each must lie where the file puts it: the file's ticks are frames at
FILE_RATE, so the distance from the run's first message, converted to
JACK_RATE, must be the recorded distance within one frame."""
import sys

import mido


def smf_events(path):
    out, tick = [], 0
    for msg in mido.merge_tracks(mido.MidiFile(path).tracks):
        tick += msg.time
        if not msg.is_meta and msg.type != 'sysex':
            out.append((tick, tuple(msg.bytes())))
    return out


def recorded(path):
    out = []
    with open(path) as f:
        for line in f:
            parts = line.split()
            if parts:
                out.append((int(parts[0]), tuple(int(b, 16) for b in parts[1:])))
    return out


def main():
    smf_path, rec_path, jack_rate, file_rate, min_notes = sys.argv[1:6]
    jack_rate, file_rate, min_notes = int(jack_rate), int(file_rate), int(min_notes)
    ref, rec = smf_events(smf_path), recorded(rec_path)
    # The stop's All Notes Off (CC 123) on every channel ends the recording.
    stop = next((i for i, (_, b) in enumerate(rec) if len(b) == 3 and b[0] & 0xF0 == 0xB0 and b[1] == 123), len(rec))
    rec = rec[:stop]
    best = (0, 0, 0)
    for i in range(min(len(rec), 16)):
        for j in range(len(ref)):
            k = 0
            while i + k < len(rec) and j + k < len(ref) and rec[i + k][1] == ref[j + k][1]:
                k += 1
            if k > best[2]:
                best = (i, j, k)
    i, j, k = best
    notes = sum(1 for _, b in rec[i:i + k] if b[0] & 0xF0 == 0x90 and b[2] > 0)
    print(f'jack_midi_match: {len(rec)} messages before the stop; {k} from the {i}th equal the file\'s from its {j}th, '
          f'{notes} note-ons among them')
    if notes < min_notes:
        return fail(f'only {notes} note-ons match the file')
    if i + k < len(rec):
        return fail(f'message {i + k} {rec[i + k]} differs from the file\'s {ref[j + k] if j + k < len(ref) else None}')
    f0, t0 = rec[i][0], ref[j][0]
    for n in range(k):
        want = round((ref[j + n][0] - t0) * jack_rate / file_rate)
        if abs((rec[i + n][0] - f0) - want) > 1:
            return fail(f'message {i + n} lies at {rec[i + n][0] - f0} frames, the file puts it at {want}')
    print('jack_midi_match: passed')
    return 0


def fail(why):
    print('jack_midi_match:', why)
    return 1


if __name__ == '__main__':
    sys.exit(main())
