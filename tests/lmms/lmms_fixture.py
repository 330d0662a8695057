#!/usr/bin/python3
"""Inputs, state, project and comparison for the LMMS end-to-end test.

make-input   a stereo float WAV: one tone per sixteenth note, a different tone
             at every position of every bar, so each slice can be recognised.
edit-bank    a bank chunk with edited patterns and a frozen buffer, as .fxb (for
             tramvek-host) and as base64 (for the LMMS project).
edit-program program 0 of a bank renamed and set to fewer steps, with triggers
             on the odd steps only, as .fxb and base64.
project      the LMMS project: a sample track playing the WAV through the DLL.
compare      LMMS's render against tramvek-host's, step by step on the grid.
"""
import argparse
import base64
import struct
import sys

import numpy as np

RATE = 44100
STEPS_PER_BAR = 16
# The engine counts 44 samples per millisecond at 44.1 kHz (integer
# milliseconds), so its steps are 0.23 % shorter than the host's sixteenths.
ENGINE_MS_SAMPLES = RATE // 1000

INPUT_TONES = [180.0 * 2 ** (i / 8) for i in range(40)]      # 180 Hz .. 5.3 kHz
FROZEN_TONES = [6000.0 * 2 ** (i / 16) for i in range(16)]   # 6 kHz .. 11.5 kHz


def sixteenth_samples(tempo):
    return RATE * 60.0 / tempo / 4


def engine_step_samples(tempo):
    return int(240000 // int(tempo) * ENGINE_MS_SAMPLES * 0.25 / 4)


def input_tone(bar, step):
    return INPUT_TONES[(step + 5 * bar) % len(INPUT_TONES)]


def tone(frequency, length, amplitude=0.5):
    t = np.arange(length) / RATE
    wave = amplitude * np.sin(2 * np.pi * frequency * t)
    fade = min(64, length // 4)
    ramp = np.linspace(0.0, 1.0, fade)
    wave[:fade] *= ramp
    wave[length - fade:] *= ramp[::-1]
    return wave


# --- WAV files (float32, or what LMMS and tramvek-host write) ---

def write_wav(path, left, right):
    frames = np.empty(2 * len(left), dtype='<f4')
    frames[0::2] = left
    frames[1::2] = right
    data = frames.tobytes()
    fmt = struct.pack('<HHIIHH', 3, 2, RATE, RATE * 8, 8, 32)
    with open(path, 'wb') as f:
        f.write(b'RIFF' + struct.pack('<I', 4 + 8 + len(fmt) + 8 + len(data)) + b'WAVE')
        f.write(b'fmt ' + struct.pack('<I', len(fmt)) + fmt)
        f.write(b'data' + struct.pack('<I', len(data)) + data)


def read_wav(path):
    """Left channel of a 16-bit or float32 WAV (plain or extensible)."""
    raw = open(path, 'rb').read()
    if raw[:4] != b'RIFF' or raw[8:12] != b'WAVE':
        sys.exit(f'{path}: not a WAV file')
    pos, fmt, data = 12, None, None
    while pos + 8 <= len(raw):
        tag, size = raw[pos:pos + 4], struct.unpack('<I', raw[pos + 4:pos + 8])[0]
        body = raw[pos + 8:pos + 8 + size]
        if tag == b'fmt ':
            fmt = struct.unpack('<HHIIHH', body[:16])
        elif tag == b'data':
            data = body
        pos += 8 + size + (size & 1)
    code, channels, rate, _, _, bits = fmt
    if rate != RATE:
        sys.exit(f'{path}: {rate} Hz, expected {RATE}')
    if bits == 32:
        samples = np.frombuffer(data[:len(data) // 4 * 4], dtype='<f4').astype(np.float64)
    elif bits == 16:
        samples = np.frombuffer(data[:len(data) // 2 * 2], dtype='<i2') / 32768.0
    else:
        sys.exit(f'{path}: {bits}-bit samples (format {code}) not read here')
    return samples[0::channels]


# --- commands ---

def make_input(args):
    length = sixteenth_samples(args.tempo)
    total = int(round(args.bars * STEPS_PER_BAR * length))
    signal = np.zeros(total)
    for bar in range(args.bars):
        for step in range(STEPS_PER_BAR):
            start = int(round((bar * STEPS_PER_BAR + step) * length))
            end = int(round((bar * STEPS_PER_BAR + step + 1) * length))
            signal[start:end] = tone(input_tone(bar, step), end - start)
    write_wav(args.output, signal, signal)


def frozen_order(step):
    """The slice each step of the edited pattern plays: a fixed shuffle."""
    return (5 * step + 3) % STEPS_PER_BAR


CHUNK_STEPS = 960
LANE_SLOTS = 650
FREEZE_OFFSET = 73824
SAMPLES_OFFSET = 73828
AUDIO_OFFSET = 73960
TAIL_BYTES = 1004
BANK_HEADER = 160   # 'CcnK' bank header up to and including the chunk size


def step_offset(bank, lane, slot):
    return CHUNK_STEPS + 4 * (bank * 7 * LANE_SLOTS + lane * LANE_SLOTS + slot)


def edit_bank(args):
    fxb, chunk = read_chunk(args.input)
    steps = engine_step_samples(args.tempo)
    frozen = steps * STEPS_PER_BAR
    for step in range(STEPS_PER_BAR):
        struct.pack_into('<f', chunk, step_offset(0, 0, step), 0.8)                       # Trigger
        struct.pack_into('<f', chunk, step_offset(0, 4, step), (frozen_order(step) + 0.5) / 32)  # ReadPos
        struct.pack_into('<f', chunk, step_offset(0, 5, step), 0.5)                       # Pitch: none
        struct.pack_into('<f', chunk, step_offset(0, 6, step), 0.0)                       # forward
    audio = np.concatenate([tone(FROZEN_TONES[s], steps) for s in range(STEPS_PER_BAR)]).astype('<f4')
    chunk = chunk[:AUDIO_OFFSET]
    chunk[FREEZE_OFFSET] = 1
    struct.pack_into('<i', chunk, SAMPLES_OFFSET, frozen)
    chunk += audio.tobytes() + audio.tobytes() + bytes(TAIL_BYTES)
    write_chunk(fxb, chunk, args.output, args.base64)


RECORD_BYTES = 60
RECORD_LENGTH = 32
RECORD_NAME = 36
PROGRAM_GROUP = 24   # in the trailer: 'TVX2', current program, steps, length as the editor shows it


def read_chunk(path):
    fxb = bytearray(open(path, 'rb').read())
    if fxb[:4] != b'CcnK' or fxb[8:12] != b'FBCh':
        sys.exit(f'{path}: not an opaque-chunk bank file')
    size = struct.unpack('>i', fxb[156:160])[0]
    return fxb, bytearray(fxb[BANK_HEADER:BANK_HEADER + size])


def write_chunk(fxb, chunk, output, base64_path):
    out = fxb[:BANK_HEADER - 4] + struct.pack('>i', len(chunk)) + chunk
    struct.pack_into('>i', out, 4, len(out) - 8)
    open(output, 'wb').write(out)
    open(base64_path, 'w').write(base64.b64encode(bytes(chunk)).decode())


def edit_program(args):
    fxb, chunk = read_chunk(args.input)
    name = args.name.encode()[:23]
    chunk[RECORD_NAME:RECORD_NAME + 24] = name + bytes(24 - len(name))
    struct.pack_into('<i', chunk, RECORD_LENGTH, args.length)
    # The engine's own pattern length, which the chunk carries beside the program's.
    samples = struct.unpack_from('<i', chunk, SAMPLES_OFFSET)[0]
    group = AUDIO_OFFSET + 8 * samples + PROGRAM_GROUP
    if chunk[group:group + 4] == b'TVX2':
        struct.pack_into('<iif', chunk, group + 4, 0, args.length, args.length / 32)
    # Triggers on the odd slots only; a fresh plug-in has them on the even ones.
    for step in range(32):
        struct.pack_into('<f', chunk, step_offset(0, 0, step), 0.8 if step % 2 else 0.0)
    write_chunk(fxb, chunk, args.output, args.base64)


def project(args):
    chunk = ''
    if args.chunk:
        chunk = f' program="0" chunk="{open(args.chunk).read().strip()}"'
    ticks = args.bars * 192
    text = f'''<?xml version="1.0"?>
<!DOCTYPE lmms-project>
<lmms-project version="1.0" creator="LMMS" creatorversion="1.2.2" type="song">
  <head bpm="{args.tempo}" timesig_numerator="4" timesig_denominator="4" mastervol="100" masterpitch="0"/>
  <song>
    <trackcontainer type="song">
      <track type="2" name="slices" muted="0" solo="0">
        <sampletrack vol="100" pan="0">
          <fxchain enabled="1" numofeffects="1">
            <effect name="vsteffect" on="1" wet="1" autoquit="1" gate="0">
              <vsteffectcontrols plugin="{args.dll}"{chunk}/>
              <key><attribute name="file" value="{args.dll}"/></key>
            </effect>
          </fxchain>
        </sampletrack>
        <sampletco pos="0" len="{ticks}" src="{args.wav}" muted="0"/>
      </track>
    </trackcontainer>
  </song>
</lmms-project>
'''
    open(args.output, 'w').write(text)


def aligned_lag(a, b, limit):
    """The shift of b against a (in samples) that matches them best."""
    n = 1 << int(np.ceil(np.log2(len(a) + len(b))))
    spectrum = np.fft.rfft(a, n) * np.conj(np.fft.rfft(b, n))
    correlation = np.fft.irfft(spectrum, n)
    lags = np.concatenate([np.arange(0, limit + 1), np.arange(-limit, 0)])
    values = np.concatenate([correlation[:limit + 1], correlation[n - limit:]])
    return int(lags[np.argmax(values)])


def dominant(window, tones):
    t = np.arange(len(window)) / RATE
    powers = [abs(np.dot(window, np.exp(-2j * np.pi * f * t))) for f in tones]
    return int(np.argmax(powers))


def compare(args):
    lmms, host, dry = read_wav(args.lmms), read_wav(args.host), read_wav(args.dry)
    length = sixteenth_samples(args.tempo)
    steps = args.bars * STEPS_PER_BAR
    usable = int(steps * length)
    if len(lmms) < usable or len(host) < usable:
        sys.exit(f'renders too short: LMMS {len(lmms)}, host {len(host)}, need {usable} samples')
    lmms, host, dry = lmms[:usable], host[:usable], np.pad(dry, (0, max(0, usable - len(dry))))[:usable]
    if np.sqrt(np.mean(lmms ** 2)) < 1e-4:
        sys.exit('FAIL: LMMS rendered silence: the track or the plug-in did not play')
    if np.max(np.abs(lmms - dry)) < 1e-3:
        sys.exit('FAIL: LMMS output equals the dry input: LMMS dropped the plug-in')
    lag = aligned_lag(host, lmms, args.max_lag * 4)
    print(f'LMMS is {lag} samples {"late" if lag >= 0 else "early"} against tramvek-host')
    if abs(lag) > args.max_lag:
        sys.exit(f'FAIL: LMMS is {lag} samples off tramvek-host, more than {args.max_lag}')
    shifted = np.roll(lmms, -lag)
    tones = FROZEN_TONES if args.frozen else INPUT_TONES
    first_step = 0 if args.frozen else STEPS_PER_BAR   # the first bar records, nothing plays yet
    sounding = silent = 0
    worst = 1.0
    for step in range(first_step, steps):
        start = int(round(step * length))
        # The middle of the step: LMMS's block timing may move a boundary by
        # up to a block, and the slice envelopes differ only there.
        inner = slice(start + args.max_lag + 64, start + int(engine_step_samples(args.tempo)) - args.max_lag - 64)
        h, m = host[inner], shifted[inner]
        h_rms, m_rms = np.sqrt(np.mean(h ** 2)), np.sqrt(np.mean(m ** 2))
        where = f'bar {step // STEPS_PER_BAR + 1} step {step % STEPS_PER_BAR + 1}'
        if h_rms < 0.01:
            if m_rms > 0.02:
                sys.exit(f'FAIL: {where}: tramvek-host is silent, LMMS is not (rms {m_rms:.3f})')
            silent += 1
            continue
        if m_rms < 0.5 * h_rms:
            sys.exit(f'FAIL: {where}: LMMS rms {m_rms:.3f} against {h_rms:.3f}')
        h_tone, m_tone = dominant(h, tones), dominant(m, tones)
        if h_tone != m_tone:
            sys.exit(f'FAIL: {where}: LMMS plays slice tone {m_tone}, tramvek-host tone {h_tone}')
        similarity = np.dot(h, m) / np.sqrt(np.dot(h, h) * np.dot(m, m))
        worst = min(worst, similarity)
        if similarity < args.min_similarity:
            sys.exit(f'FAIL: {where}: waveforms match only to {similarity:.3f}')
        sounding += 1
    if sounding < (steps - first_step) // 4:
        sys.exit(f'FAIL: only {sounding} steps sound')
    difference = np.max(np.abs(shifted[:usable - abs(lag)] - host[:usable - abs(lag)]))
    print(f'{sounding} sounding steps match (same slice tone, similarity >= {worst:.4f}), {silent} silent steps '
          f'agree; largest sample difference {difference:.3g}')


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest='command', required=True)
    p = commands.add_parser('make-input')
    p.add_argument('output')
    p.add_argument('--tempo', type=int, required=True)
    p.add_argument('--bars', type=int, required=True)
    p.set_defaults(run=make_input)
    p = commands.add_parser('edit-bank')
    p.add_argument('input')
    p.add_argument('output')
    p.add_argument('base64')
    p.add_argument('--tempo', type=int, required=True)
    p.set_defaults(run=edit_bank)
    p = commands.add_parser('edit-program')
    p.add_argument('input')
    p.add_argument('output')
    p.add_argument('base64')
    p.add_argument('--name', required=True)
    p.add_argument('--length', type=int, required=True)
    p.set_defaults(run=edit_program)
    p = commands.add_parser('project')
    p.add_argument('output')
    p.add_argument('--tempo', type=int, required=True)
    p.add_argument('--bars', type=int, required=True)
    p.add_argument('--wav', required=True)
    p.add_argument('--dll', required=True)
    p.add_argument('--chunk')
    p.set_defaults(run=project)
    p = commands.add_parser('compare')
    p.add_argument('lmms')
    p.add_argument('host')
    p.add_argument('dry')
    p.add_argument('--tempo', type=int, required=True)
    p.add_argument('--bars', type=int, required=True)
    p.add_argument('--frozen', action='store_true')
    p.add_argument('--max-lag', type=int, default=256)
    p.add_argument('--min-similarity', type=float, default=0.9)
    p.set_defaults(run=compare)
    args = parser.parse_args()
    args.run(args)


if __name__ == '__main__':
    main()
