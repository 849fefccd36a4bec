#!/usr/bin/env python3
"""Wraps lame's 12 kHz / 24 kbit/s MPEG-2.5 Layer III frames in a RIFF WAVE file (format 0x0055).

Usage: wav_mp3_wrap.py IN.mp3 OUT.wav [--frames N]   (N defaults to 264)

We write the header ourselves because common muxers fill in wrong values for this format.
Tags (ID3v1/ID3v2) and a Xing/Info frame are dropped; the frame count is then trimmed or
padded with silent frames to exactly N so that the resource's size never drifts.
"""

import argparse
import struct
import sys

SAMPLE_RATE = 12000
BITRATE = 24000
SAMPLES_PER_FRAME = 576  # Layer III in MPEG-2 and MPEG-2.5
FRAME_BYTES = 72 * BITRATE // SAMPLE_RATE  # 144; no padding slots at this rate
# What Layer-3 WAV writers customarily record; players ignore it, but keep the header familiar.
CODEC_DELAY = 1393


def fail(message):
    sys.exit("wav_mp3_wrap: " + message)


def strip_tags(data):
    if data[:3] == b"ID3":
        size = 0
        for b in data[6:10]:
            size = (size << 7) | (b & 0x7F)
        footer = 10 if data[5] & 0x10 else 0
        data = data[10 + size + footer :]
    if len(data) >= 128 and data[-128:-125] == b"TAG":
        data = data[:-128]
    return data


def check_header(frame, index):
    """Returns the channel count, or fails unless this is a 144-byte MPEG-2.5 Layer III frame."""
    b0, b1, b2, b3 = frame[:4]
    if b0 != 0xFF or (b1 & 0xE0) != 0xE0:
        fail(f"frame {index}: no sync word")
    if (b1 >> 3) & 3 != 0 or (b1 >> 1) & 3 != 1:
        fail(f"frame {index}: not MPEG-2.5 Layer III")
    if b2 >> 4 != 3 or (b2 >> 2) & 3 != 1 or (b2 >> 1) & 1:
        fail(f"frame {index}: not 24 kbit/s at 12 kHz without padding")
    return 1 if b3 >> 6 == 3 else 2


def is_info_frame(frame):
    crc = 0 if frame[1] & 1 else 2
    side_info = 9 if frame[3] >> 6 == 3 else 17
    at = 4 + crc + side_info
    return frame[at : at + 4] in (b"Xing", b"Info") or frame[36:40] == b"VBRI"


def split_frames(data):
    frames = []
    for offset in range(0, len(data), FRAME_BYTES):
        frame = data[offset : offset + FRAME_BYTES]
        if len(frame) != FRAME_BYTES:
            fail(f"{len(frame)} stray bytes after frame {len(frames)}")
        check_header(frame, len(frames))
        frames.append(frame)
    if not frames:
        fail("no frames")
    if is_info_frame(frames[0]):
        frames.pop(0)
    return frames


def silent_frame(like):
    """A frame whose side info is all zero: no main data, no bit reservoir use, zero spectrum."""
    if not like[1] & 1:
        fail("cannot pad a stream that carries CRCs")
    return like[:4] + bytes(FRAME_BYTES - 4)


def wave_file(frames, channels):
    data = b"".join(frames)
    fmt = struct.pack(
        "<HHIIHHH" + "HIHHH",
        0x0055,  # MPEG Layer-3
        channels,
        SAMPLE_RATE,
        BITRATE // 8,
        1,  # block align
        0,  # bits per sample
        12,  # size of the extra fields below
        1,  # MPEGLAYER3_ID_MPEG
        2,  # MPEGLAYER3_FLAG_PADDING_OFF
        FRAME_BYTES,
        1,  # frames per block
        CODEC_DELAY,
    )
    fact = struct.pack("<I", len(frames) * SAMPLES_PER_FRAME)
    body = b"WAVE"
    for tag, payload in ((b"fmt ", fmt), (b"fact", fact), (b"data", data)):
        body += tag + struct.pack("<I", len(payload)) + payload
        if len(payload) & 1:
            body += b"\0"
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("mp3")
    parser.add_argument("wav")
    parser.add_argument("--frames", type=int, default=264)
    args = parser.parse_args()

    with open(args.mp3, "rb") as f:
        frames = split_frames(strip_tags(f.read()))
    channels = check_header(frames[0], 0)
    found = len(frames)
    if found > args.frames:
        # Trailing frames only hold the encoder's flush; later frames never feed earlier ones.
        del frames[args.frames :]
    while len(frames) < args.frames:
        frames.append(silent_frame(frames[-1]))
    if found != args.frames:
        print(f"wav_mp3_wrap: {found} frames, made it {args.frames}", file=sys.stderr)

    with open(args.wav, "wb") as f:
        f.write(wave_file(frames, channels))


if __name__ == "__main__":
    main()
