#!/usr/bin/env bash
# Makes the game's sound recordings in assets/sounds: spoken words with
# espeak-ng, noises and chimes with sox. Each ends as a short, normalised,
# 16-bit mono 22050 Hz WAV. The results are committed; the build only
# compiles them in, so this runs by hand after a change here.
#   apt-get install espeak-ng sox
set -euo pipefail
cd "$(dirname "$0")"
out=sounds
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rate=22050
format=(-r "$rate" -c 1 -b 16)

# finish IN NAME: trims silence at both ends, normalises, fades the edges.
finish() {
  sox "$1" "${format[@]}" "$work/trimmed.wav" silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse
  sox "$work/trimmed.wav" "$out/$2.wav" norm -1 fade t 0.005 0 0.03
}

# speak NAME VOICE PITCH SPEED TEXT
speak() {
  espeak-ng -v "$2" -p "$3" -s "$4" -w "$work/$1.raw.wav" "$5"
  finish "$work/$1.raw.wav" "$1"
}

# synth NAME sox-synth-and-effects...
synth() {
  local name=$1
  shift
  sox -n "${format[@]}" "$work/$name.raw.wav" "$@"
  finish "$work/$name.raw.wav" "$name"
}

# tone NAME SECONDS FREQUENCY: one plucked, fading note.
tone() { sox -n "${format[@]}" "$work/$1.wav" synth "$2" pluck "$3" fade q 0.005 "$2" "$2"; }

# --- event sounds ---------------------------------------------------------

tone e1 0.25 E5; tone e2 0.45 C5
sox "$work/e1.wav" "$work/e2.wav" "$work/entered.raw.wav"
finish "$work/entered.raw.wav" entered

# A card flicked off the deck: a very short bright noise.
synth getcard synth 0.09 pinknoise highpass 1800 fade q 0.005 0.09 0.07

# The classic turn: a two-note chime; the new one says so.
tone t1 0.18 A5; tone t2 0.5 E6
sox "$work/t1.wav" "$work/t2.wav" "$work/turn.raw.wav"
finish "$work/turn.raw.wav" turn
speak turnnew en-us+f3 60 160 "Your turn"

# A card sliding onto the cloth: soft noise that swells and dies away.
synth placecard synth 0.28 pinknoise bandpass 2200 1.2q fade q 0.06 0.28 0.2 gain -6

# Not allowed: a short low double buzz.
sox -n "${format[@]}" "$work/n1.wav" synth 0.14 square 150 lowpass 1200 fade q 0.005 0.14 0.03
sox -n "${format[@]}" "$work/gap.wav" synth 0.05 sine 0
sox "$work/n1.wav" "$work/gap.wav" "$work/n1.wav" "$work/notvalid.raw.wav"
finish "$work/notvalid.raw.wav" notvalid

speak trickwinner en-us 55 170 "Nice trick!"
speak vorneled en-us 35 150 "Vorneled!"
speak gotpoints en-us 60 165 "Points for us!"
speak nopoints en-us 40 150 "No points."
speak marched en-us 65 165 "A march!"

# A rising fanfare.
for note in C5 E5 G5; do tone "w$note" 0.14 "$note"; done
tone wC6 0.7 C6
sox "$work/wC5.wav" "$work/wE5.wav" "$work/wG5.wav" "$work/wC6.wav" "$work/winner.raw.wav"
finish "$work/winner.raw.wav" winner

# --- chatter sounds, wave1..wave20 -----------------------------------------

speak wave1 en-us 30 140 "Doh!"
# Cough: two rough bursts.
sox -n "${format[@]}" "$work/c1.wav" synth 0.16 brownnoise bandpass 700 1.5q fade q 0.01 0.16 0.12 gain 6
sox "$work/c1.wav" "$work/gap.wav" "$work/c1.wav" "$work/wave2.raw.wav"
finish "$work/wave2.raw.wav" wave2
speak wave3 en-us 60 160 "Hello!"
speak wave4 en-us 55 160 "Thank you!"
speak wave5 en-us 50 175 "Where have you been?"
# Snoring: a slow, low rumble that rises and falls.
synth wave6 synth 1.4 brownnoise lowpass 400 tremolo 1.4 95 fade q 0.1 1.4 0.3
speak wave7 en-us+m3 70 190 "Ah, choo!"
speak wave8 en-us 45 150 "Sorry."
speak wave9 en-us 55 160 "Welcome!"
speak wave10 en-us+m3 85 180 "Yee haa!"
speak wave11 en-us+f3 90 180 "Yippee!"
speak wave12 en-us 40 140 "Oh no!"
# Applause: many quick claps.
synth wave13 synth 1.6 whitenoise bandpass 1500 1q tremolo 23 90 fade q 0.15 1.6 0.6
# Honk: two reedy notes at once, like a horn.
sox -n "${format[@]}" "$work/h1.wav" synth 0.45 sawtooth 349
sox -n "${format[@]}" "$work/h2.wav" synth 0.45 sawtooth 440
sox -m "$work/h1.wav" "$work/h2.wav" "$work/wave14.raw.wav" lowpass 2000 fade q 0.02 0.45 0.08
finish "$work/wave14.raw.wav" wave14
speak wave15 en-us+f2 70 110 "Ooooh!"
# Razzberry: a buzzing, fluttering low tone.
synth wave16 synth 0.8 sawtooth 95 tremolo 28 80 lowpass 1600 fade q 0.02 0.8 0.15
speak wave17 en-us+m3 80 170 "Hooray!"
speak wave18 en-us+f4 95 200 "ha ha ha ha!"
speak wave19 en-us+m1 25 190 "ho ho ho ho!"
speak wave20 en-us+f3 75 110 "boo hoo hoo!"

ls -1 "$out"/*.wav | wc -l
