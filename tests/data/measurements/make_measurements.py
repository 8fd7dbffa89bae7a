#!/usr/bin/env python3
"""Writes the made-up measurements the fit tests and benchmarks use. Run in this folder."""
import cmath, math, random

FS = 96000.0


def peak(f, fc, gain, q):
    # an analogue peaking filter's magnitude in dB
    s = 1j * f / fc
    a = 10 ** (gain / 40)
    h = (s * s + s * a / q + 1) / (s * s + s / (a * q) + 1)
    return 20 * math.log10(abs(h))


def highpass(f, fc, q, order=2):
    s = 1j * f / fc
    h = (s * s) / (s * s + s / q + 1)
    return 20 * math.log10(abs(h)) * order / 2


def lowpass(f, fc, q, order=2):
    s = 1j * f / fc
    h = 1 / (s * s + s / q + 1)
    return 20 * math.log10(abs(h)) * order / 2


def shelf(f, fc, gain):
    # first-order shelf: gain above fc (negative: below)
    s = 1j * f / fc
    g = 10 ** (gain / 20)
    h = (g * s + 1) / (s + 1)
    return 20 * math.log10(abs(h))


def ripple(rng, n, size):
    # smooth pseudo-random ripple: summed random sines over log frequency
    waves = [(rng.uniform(2, 12), rng.uniform(0, 6.3), rng.uniform(0.2, 1.0)) for _ in range(6)]
    return lambda f: size * sum(a * math.sin(k * math.log2(f) + p) for k, p, a in waves) / 3


def loudspeaker():
    rng = random.Random(1)
    r = ripple(rng, 6, 0.6)
    lines = ["* Measurement data measured by a room-measurement program",
             "* Source: loudspeaker, on axis, 1 m",
             "* Format: 1/48 octave smoothing",
             "* Freq(Hz) SPL(dB) Phase(degrees)"]
    f = 10.0
    while f < 24000:
        db = (86.5 + highpass(f, 48, 1.1) + shelf(f, 450, 5.5) + peak(f, 95, 2.5, 1.2)
              + peak(f, 1800, -4.0, 2.0) + peak(f, 3600, 5.0, 4.0) + peak(f, 9000, 2.0, 1.5)
              + lowpass(f, 19000, 0.7) + r(f))
        phase = -180 * math.atan(f / 1000) / math.pi * 2
        lines.append("%.6f %.3f %.2f" % (f, db, phase))
        f *= 2 ** (1 / 48)
    open("loudspeaker.txt", "w").write("\n".join(lines) + "\n")


def room():
    rng = random.Random(2)
    r = ripple(rng, 6, 1.2)
    lines = []
    step = 48000 / 8192
    k = 0
    while k * step <= 20000:
        f = max(k * step, 0.0)
        g = max(f, 1.0)
        db = (78.0 + highpass(g, 22, 0.8) + peak(g, 42, 10.0, 8.0) + peak(g, 68, 7.0, 6.0)
              + peak(g, 110, -12.0, 5.0) + peak(g, 180, 5.0, 4.0) + peak(g, 260, -6.0, 3.0)
              + shelf(g, 120, -4.0) + shelf(g, 2500, -3.0) + peak(g, 700, 3.0, 1.0) + r(g))
        lines.append("%.7e %.5e %.4e" % (f, db, -90.0))
        k += 1
    open("room.frd", "w").write("\n".join(lines) + "\n")


def subwoofer():
    rng = random.Random(3)
    r = ripple(rng, 6, 0.4)
    lines = ["frequency,raw"]
    f = 5.0
    while f <= 600:
        db = (92.0 + highpass(f, 27, 0.9) + lowpass(f, 140, 0.6, 4) + peak(f, 34, 4.0, 3.0)
              + peak(f, 55, 6.0, 5.0) + peak(f, 85, -5.0, 4.0) + r(f))
        lines.append("%.3f,%.3f" % (f, db))
        f *= 2 ** (1 / 24)
    open("subwoofer.csv", "w").write("\n".join(lines) + "\n")


loudspeaker()
room()
subwoofer()
