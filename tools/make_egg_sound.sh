#!/usr/bin/env bash
# Rebuilds resources/egg.wav, the built-in jingle (resource :/SOUND/101), from nothing:
# sox synthesises a short music-box tune, lame encodes it as 12 kHz / 24 kbit/s
# MPEG-2.5 Layer III (264 frames of 144 bytes) and tools/wav_mp3_wrap.py puts a RIFF WAVE
# header (format 0x0055) around the frames.
#
# Needs the Debian packages sox, lame and python3. The output is byte-identical from run to
# run with the same tool versions.
#
# Usage: tools/make_egg_sound.sh [output.wav]   (default: resources/egg.wav)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/../resources/egg.wav}"

for tool in sox lame python3; do
    command -v "$tool" >/dev/null || {
        echo "make_egg_sound: '$tool' not found (apt-get install sox lame python3)" >&2
        exit 1
    }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

RATE=48000
# 150600 samples at 12 kHz: lame then emits exactly 264 frames (its delay and flush add the rest).
FINAL_SAMPLES=150600
LENGTH=12.55

# -R: fixed seeds, -D: no dither, so every run gives the same samples.
SOX=(sox -R -D -V1)

# note VOICE START LENGTH NOTE VOLUME: one plucked note, decaying, placed at START seconds.
count=0
note() {
    local voice=$1 start=$2 len=$3 pitch=$4 vol=$5
    count=$((count + 1))
    "${SOX[@]}" -r $RATE -c 1 -n -b 24 "$work/$voice-$(printf %03d $count).wav" \
        synth "$len" pluck "$pitch" fade l 0.004 "$len" "$len" vol "$vol" pad "$start"
}

# Four bars (2 s each) of C - Am - F - G in eighth notes, then a rising C arpeggio into a
# held chord that rings out.
step=0.25
arp_bar() { # BAR NOTES...
    local bar=$1 i=0
    shift
    for n in "$@"; do
        note arp "$(awk "BEGIN { print $bar * 2 + $i * $step }")" 0.9 "$n" 0.55
        i=$((i + 1))
    done
}
arp_bar 0 C4 E4 G4 C5 E5 C5 G4 E4
arp_bar 1 A3 C4 E4 A4 C5 A4 E4 C4
arp_bar 2 F3 A3 C4 F4 A4 F4 C4 A3
arp_bar 3 G3 B3 D4 G4 B4 G4 D4 B3
arp_bar 4 C4 E4 G4 C5 E5 G5 C6
for n in C4 E4 G4 C5; do
    note arp 10 2.5 "$n" 0.45
done

# Melody: START LENGTH NOTE triples.
melody=(
    0.0 0.5 E5 0.5 0.5 G5 1.0 1.0 C6
    2.0 0.5 B5 2.5 0.5 A5 3.0 1.0 E5
    4.0 0.5 F5 4.5 0.5 A5 5.0 0.5 C6 5.5 0.5 A5
    6.0 0.5 G5 6.5 0.5 F5 7.0 0.5 D5 7.5 0.5 B4
    8.0 1.0 C5 9.0 0.5 E5 9.5 0.5 G5
    10.0 2.5 C6
)
for ((i = 0; i < ${#melody[@]}; i += 3)); do
    len=${melody[i + 1]}
    note mel "${melody[i]}" "$(awk "BEGIN { print $len + 0.6 }")" "${melody[i + 2]}" 0.8
done

bass=(0 C3 2 A2 4 F2 6 G2 8 C3 10 C3)
for ((i = 0; i < ${#bass[@]}; i += 2)); do
    note bass "${bass[i]}" 2.4 "${bass[i + 1]}" 0.7
done

for voice in arp mel bass; do
    "${SOX[@]}" -m "$work/$voice"-*.wav -b 24 "$work/$voice.wav" gain -n -3 trim 0 "$LENGTH"
done

# Arpeggio a little right, melody a little left, bass in the middle; softer highs, a small room,
# then down to 12 kHz (lame's --resample below only pins the rate) and a gentle fade-out.
"${SOX[@]}" -M "$work/arp.wav" "$work/mel.wav" "$work/bass.wav" -b 16 "$work/mix.wav" \
    remix 1v0.30,2v0.55,3v0.35 1v0.55,2v0.30,3v0.35 \
    treble -6 2k reverb 35 60 50 gain -n -1.5 rate -v 12000 \
    trim 0 "${FINAL_SAMPLES}s" fade q 0.01 "$LENGTH" 2.2

# -t: no Xing/LAME info frame; without --resample 12 lame would pick 8 kHz for 24 kbit/s.
lame --quiet --nohist -t --cbr -b 24 --resample 12 -m j "$work/mix.wav" "$work/egg.mp3"

python3 "$here/wav_mp3_wrap.py" "$work/egg.mp3" "$out"
