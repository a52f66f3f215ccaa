#!/usr/bin/env bash
# Makes sure a PulseAudio server with a null sink answers, for the test that
# listens to the program's sounds. As root PulseAudio runs only in system
# mode; elsewhere a per-user server is started. Every step is bounded.
# Prints the server address to use (PULSE_SERVER) and exits 0, or exits 1
# when no server can be started.
set -uo pipefail

system_socket=/var/run/pulse/native
sink=vornel_null
# The rate and layout of the recordings: what is played reaches the monitor
# sample for sample, with no resampler between them to blur noisy sounds.
sink_spec="rate=22050 channels=1 format=s16le"

answers() { timeout 2 pactl ${1:+--server="$1"} info >/dev/null 2>&1; }

has_sink() { timeout 5 pactl --server="$1" list short sinks 2>/dev/null | grep -q "$sink"; }

# Another test may be adding it at the same moment: what counts is that it is there.
add_null_sink() {
  local server=$1
  has_sink "$server" || timeout 5 pactl --server="$server" load-module module-null-sink sink_name="$sink" $sink_spec >/dev/null 2>&1
  has_sink "$server" || return 1
  timeout 5 pactl --server="$server" set-default-sink "$sink" >/dev/null 2>&1
}

command -v pulseaudio >/dev/null && command -v pactl >/dev/null || exit 1

if [[ -n "${PULSE_SERVER:-}" ]] && answers "$PULSE_SERVER"; then
  add_null_sink "$PULSE_SERVER" && { echo "$PULSE_SERVER"; exit 0; }
fi

if [[ $(id -u) -eq 0 ]]; then
  server="unix:$system_socket"
  if ! answers "$server"; then
    timeout 10 pulseaudio --system --daemonize=yes --disallow-exit --exit-idle-time=-1 --disable-shm=yes \
      --use-pid-file=yes -n --load="module-native-protocol-unix auth-anonymous=1" \
      --load="module-null-sink sink_name=$sink $sink_spec" >/dev/null 2>&1 || true
    # Give it a few seconds to come up, and no more.
    until answers "$server" || ((SECONDS > 15)); do sleep 0.1; done
  fi
else
  server=""
  if ! answers ""; then
    timeout 10 pulseaudio --start --exit-idle-time=-1 >/dev/null 2>&1 || true
  fi
  server=$(timeout 5 pactl info 2>/dev/null | sed -n 's/^Server String: //p')
fi

[[ -n "$server" ]] && answers "$server" && add_null_sink "$server" || exit 1
echo "$server"
