#!/usr/bin/env bash
# Builds Vornel (release) and starts it with the arguments given.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2

exec "$build/vornel" "$@"
