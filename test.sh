#!/usr/bin/env bash
# Builds Vornel with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/deps.sh

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORNEL_SANITIZE=ON
cmake --build "$build" -j2

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The sound test listens to a PulseAudio null sink: start a server if none answers.
if pulse_server=$(timeout 60 ./scripts/start_pulse.sh); then
  export PULSE_SERVER="$pulse_server"
else
  echo "No PulseAudio server could be started: the test that listens to the sounds is skipped."
fi
ctest --test-dir "$build" --output-on-failure -j2

# A minute of fuzzing the host's receive path, dispatcher and engine (clang,
# AddressSanitizer, UndefinedBehaviorSanitizer, leak detection). A crash, a
# sanitizer report or a leak makes the fuzzer exit non-zero and fails the run.
fuzz=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNEL_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build "$fuzz" -j2 --target host_fuzz
corpus="$fuzz/corpus"
rm -rf "$corpus" && mkdir -p "$corpus"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 "$fuzz/fuzz/host_fuzz" \
  -max_total_time=60 -max_len=4096 -detect_leaks=1 -timeout=20 \
  -dict=fuzz/host.dict -artifact_prefix="$fuzz/" "$corpus"

# Half a minute of fuzzing the tally file's decoder (same sanitizers).
cmake --build "$fuzz" -j2 --target tally_fuzz
tally_corpus="$fuzz/tally_corpus"
rm -rf "$tally_corpus" && mkdir -p "$tally_corpus"
printf 'WRZL\x03\x00\x00\x00\x04\x00\x80abc' >"$tally_corpus/stored"
printf 'WRZL\x08\x00\x00\x00\x07\x00\x40\x20\x00ab\x00\x23' >"$tally_corpus/copy"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 "$fuzz/fuzz/tally_fuzz" \
  -max_total_time=30 -max_len=8192 -detect_leaks=1 -timeout=20 \
  -artifact_prefix="$fuzz/tally-" "$tally_corpus"
# Half a minute of fuzzing the lobby server's receive path: connections,
# bytes, closes, clock ticks and check results through its core, tables and
# start of games, every message it sends read back with the window's code.
# The seeds are scripts of a table's comings and goings and of a whole start.
cmake --build "$fuzz" -j2 --target lobby_fuzz
lobby_corpus="$fuzz/lobby_corpus"
rm -rf "$lobby_corpus" && mkdir -p "$lobby_corpus"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 "$fuzz/fuzz/lobby_fuzz" \
  -max_total_time=30 -max_len=4096 -detect_leaks=1 -timeout=20 \
  -dict=fuzz/lobby.dict -artifact_prefix="$fuzz/lobby-" "$lobby_corpus" fuzz/lobby_seeds
# Twenty seconds of fuzzing the JPEG decoder of the download window, seeded
# with the shipped advert.
cmake --build "$fuzz" -j2 --target jpeg_fuzz
jpeg_corpus="$fuzz/jpeg_corpus"
rm -rf "$jpeg_corpus" && mkdir -p "$jpeg_corpus" && cp assets/lobby_advert.jpg "$jpeg_corpus/"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 "$fuzz/fuzz/jpeg_fuzz" \
  -max_total_time=20 -max_len=65536 -detect_leaks=1 -timeout=20 -rss_limit_mb=2048 \
  -artifact_prefix="$fuzz/jpeg-" "$jpeg_corpus"
# 45 seconds of fuzzing what a table receives from its host: bytes cut into
# arbitrary reads, through the connection's framing into the real dispatch of
# a table window (offscreen). The seeds are a recorded game. Only leaks inside
# fontconfig are suppressed (its caches live as long as the process).
cmake --build "$fuzz" -j2 --target table_fuzz
table_corpus="$fuzz/table_corpus"
rm -rf "$table_corpus" && mkdir -p "$table_corpus"
QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions="$PWD/fuzz/qt_leaks.supp" \
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 "$fuzz/fuzz/table_fuzz" \
  -max_total_time=45 -max_len=8192 -len_control=0 -detect_leaks=1 -timeout=20 \
  -dict=fuzz/table.dict -artifact_prefix="$fuzz/table-" "$table_corpus" fuzz/table_seeds
