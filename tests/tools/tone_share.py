#!/usr/bin/env python3
"""Checks that a tone became much stronger between two recordings of the
null sink (16-bit stereo at 11025 Hz, analysed at half that rate).

  tone_share.py BEFORE.raw AFTER.raw FREQ [--width W] [--steps N] [--present F:MIN]

The share of FREQ is the strongest line within FREQ * (1 +- W) (in 2N+1
steps; the device may round the rate) as a share of the whole power. It
must grow more than tenfold (and by 0.0005); with --present the tone F must
already hold a share above MIN before. Exit 0 when it holds."""
import argparse
import math
import struct
import sys

RATE = 5512.5  # every other frame of 11025 Hz, both channels summed


def load(path):
    d = open(path, 'rb').read()
    n = len(d) // 4
    s = struct.unpack('<%dh' % (2 * n), d[:4 * n])
    return [s[2 * i] + s[2 * i + 1] for i in range(0, n, 2)]


def share(x, f0, width, steps):
    n = len(x)
    total = sum(v * v for v in x) * n / 2 + 1
    best = 0.0
    for k in range(-steps, steps + 1):
        f = f0 * (1 + k * width / steps)
        w = 2 * math.cos(2 * math.pi * f / RATE)
        a = b = 0.0
        for v in x:  # Goertzel
            a, b = v + w * a - b, a
        best = max(best, (a * a + b * b - w * a * b) / total)
    return best


def main():
    p = argparse.ArgumentParser()
    p.add_argument('before')
    p.add_argument('after')
    p.add_argument('freq', type=float)
    p.add_argument('--width', type=float, default=0.003)
    p.add_argument('--steps', type=int, default=6)
    p.add_argument('--present', default=None)
    a = p.parse_args()
    xa, xb = load(a.before), load(a.after)
    ha, hb = share(xa, a.freq, a.width, a.steps), share(xb, a.freq, a.width, a.steps)
    ok = len(xa) > RATE * 2 and len(xb) > RATE * 2 and hb > 10 * ha + 0.0005
    line = "null sink: %d and %d frames; share of %.1f Hz before %.5f, after %.5f" % (len(xa), len(xb), a.freq, ha,
                                                                                    hb)
    if a.present:
        f, low = (float(v) for v in a.present.split(':'))
        fa = share(xa, f, a.width, a.steps)
        line += "; %.1f Hz before %.4f" % (f, fa)
        ok = ok and fa > low
    print(line)
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
