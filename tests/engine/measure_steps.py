#!/usr/bin/env python3
"""Measures how the slicer's steps and notes come out of tramvek-host renders.

Counts the steps that sound, compares renders made with different block sizes
and plays notes on the sequencer grid. A steady noise input makes every
started slice audible, so an onset in the output is a step or note start.

Usage: measure_steps.py TRAMVEK_HOST PLUGIN WORK_DIR
Prints one line per measurement.
"""
import array
import os
import random
import struct
import subprocess
import sys

HOST, PLUGIN, WORK = sys.argv[1], sys.argv[2], sys.argv[3]
os.makedirs(WORK, exist_ok=True)

CHUNK_AT = 160  # an .fxb file's chunk follows its 160-byte header
STEPS, SLICE_NOTES, EXTENSION = 960, 73832, 73960  # the extension follows the (empty) audio


def write_wav(path, left, right, rate):
    data = array.array("f")
    for pair in zip(left, right):
        data.extend(pair)
    body = data.tobytes()
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(body), b"WAVE", b"fmt ", 16, 3, 2, rate,
                         rate * 8, 8, 32, b"data", len(body))
    with open(path, "wb") as f:
        f.write(header + body)


def read_wav_left(path):
    with open(path, "rb") as f:
        raw = f.read()
    at = 12
    while raw[at:at + 4] != b"data":
        at += 8 + struct.unpack_from("<I", raw, at + 4)[0]
    size = struct.unpack_from("<I", raw, at + 4)[0]
    samples = array.array("f")
    samples.frombytes(raw[at + 8:at + 8 + size])
    return samples[0::2]


def noise(seconds, rate):
    rng = random.Random(7)
    frames = int(seconds * rate)
    left = [rng.uniform(-0.5, 0.5) for _ in range(frames)]
    return left, [-x for x in left]


def bank(name, resolution=3, note_to_slice=False, slice_notes=None, every_step=False):
    base = os.path.join(WORK, "default.fxb")
    if not os.path.exists(base):
        subprocess.run([HOST, "state", PLUGIN, "--save-bank", base], check=True, stdout=subprocess.DEVNULL)
    data = bytearray(open(base, "rb").read())
    chunk = CHUNK_AT
    if every_step:
        for slot in range(650):
            struct.pack_into("<f", data, chunk + STEPS + 4 * slot, 0.8)
    if slice_notes is not None:
        for i, note in enumerate(slice_notes):
            struct.pack_into("<i", data, chunk + SLICE_NOTES + 4 * i, note)
    samples = struct.unpack_from("<i", data, chunk + 73828)[0]
    ext = chunk + EXTENSION + 8 * samples
    assert data[ext:ext + 4] == b"TVX1"
    struct.pack_into("<i", data, ext + 4, resolution)
    struct.pack_into("<i", data, ext + 20, 1 if note_to_slice else 0)
    path = os.path.join(WORK, name + ".fxb")
    open(path, "wb").write(data)
    return path


def midi_file(name, notes, division=480):
    """notes: (tick, note) pairs, each a note-on held for 10 ticks."""
    events = []
    for tick, note in notes:
        events.append((tick, bytes([0x90, note, 100])))
        events.append((tick + 10, bytes([0x80, note, 0])))
    events.sort(key=lambda e: e[0])
    track, last = bytearray(), 0
    for tick, message in events:
        delta, var = tick - last, bytearray([(tick - last) & 0x7F])
        delta >>= 7
        while delta:
            var.insert(0, 0x80 | (delta & 0x7F))
            delta >>= 7
        track += var + message
        last = tick
    track += b"\x00\xff\x2f\x00"
    path = os.path.join(WORK, name + ".mid")
    with open(path, "wb") as f:
        f.write(struct.pack(">4sIHHH", b"MThd", 6, 0, 1, division))
        f.write(struct.pack(">4sI", b"MTrk", len(track)) + track)
    return path


def render(name, inp, rate, tempo, block, bank_path=None, midi=None):
    out = os.path.join(WORK, name + ".wav")
    cmd = [HOST, "render", PLUGIN, "--input", inp, "--output", out, "--tempo", str(tempo), "--sample-rate",
           str(rate), "--block", str(block)]
    if bank_path:
        cmd += ["--bank", bank_path]
    if midi:
        cmd += ["--midi", midi]
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    return read_wav_left(out)


def onsets(signal, threshold=1e-3, quiet_gap=200):
    found, quiet = [], quiet_gap
    for i, s in enumerate(signal):
        if abs(s) > threshold:
            if quiet >= quiet_gap:
                found.append(i)
            quiet = 0
        else:
            quiet += 1
    return found


def differing(a, b):
    n = min(len(a), len(b))
    diff = [abs(a[i] - b[i]) for i in range(n)]
    count = sum(1 for d in diff if d != 0.0)
    return 100.0 * count / n, max(diff)


def main():
    rate = 44100
    six_bars = 6 * 4 * 60 / 120
    inp = os.path.join(WORK, "noise.wav")
    write_wav(inp, *noise(six_bars, rate), rate)

    # Item 4: default patterns (even steps sound) over six bars, 96 patterns of 16 steps at 1/64
    # and 48 at 1/32; the first pattern has nothing recorded yet.
    for resolution, label in ((0, "1/64"), (1, "1/32")):
        b = bank("res%d" % resolution, resolution=resolution)
        counts = [len(onsets(render("steps", inp, rate, 120, block, b))) for block in (64, 512, 2048, 4096)]
        print("item4 %s 120 BPM 44.1 kHz 6 bars: sounding steps at blocks 64/512/2048/4096: %s" %
              (label, "/".join(map(str, counts))))

    # Item 5: default state, the built-in loop, exact positions.
    for tempo, pairs in ((120, ((64, 512), (64, 4096))), (133, ((64, 256), (64, 4096)))):
        for small, large in pairs:
            a = render("a", "demo", rate, tempo, small)
            c = render("c", "demo", rate, tempo, large)
            pct, worst = differing(a, c)
            print("item5 %d BPM demo blocks %d vs %d: %.2f %% of samples differ (max %.3f)" %
                  (tempo, small, large, pct, worst))

    # Item 6: slice notes 60..91, note-to-slice; steps of 1/16 (120 ticks at 480 per quarter). The
    # input holds one level per step, so a slice's level names it; notes play in the second bar,
    # slices come from the first. A note sounds when, shortly after it, the output holds its slice.
    step = rate * 60 / 120 / 4
    levels = [0.1 + 0.02 * (int(i / step) % 16) for i in range(int(4 * step * 16))]
    steps_in = os.path.join(WORK, "steps.wav")
    write_wav(steps_in, levels, levels, rate)
    b = bank("notes", note_to_slice=True, slice_notes=list(range(60, 92)))
    gain = 100 / 127

    def sounds(out, tick, slice_index):
        at = int(tick / 960 * rate) + 60
        return abs(out[at] - gain * (0.1 + 0.02 * slice_index)) < 0.01

    grid = [(1920 + 120 * k, 60 + 2 * k + 1) for k in range(8)]
    out = render("grid", steps_in, rate, 120, 512, b, midi_file("grid", grid))
    print("item6 8 notes on step boundaries, 512-frame blocks: %d of 8 sound" %
          sum(sounds(out, t, n - 60) for t, n in grid))
    heard = 0
    for case in range(16):
        tick = 1920 + 120 * case + 40
        pair = [(tick, 62), (tick + 5, 70)]
        out = render("pair", steps_in, rate, 120, 512, b, midi_file("pair", pair))
        first_ok = abs(out[int(tick / 960 * rate) + 40] - gain * (0.1 + 0.02 * 2)) < 0.01
        heard += first_ok + sounds(out, tick + 5, 10)
    print("item6 two notes 5 ticks apart inside a step, 16 placements: %d of 32 notes sound" % heard)

    # Item 7: every step triggered at 1/64; step 0 at sample 0 records slice 0, which the second
    # pattern's first step plays back.
    b = bank("first", resolution=0, every_step=True)
    out = render("first", steps_in, rate, 120, 512, b)
    step64 = 22050 // 16
    print("item7 1/64 first step of the second pattern: level %.3f (0 = silent, 0.080 = slice 0)" %
          out[16 * step64 + 300])


main()
