#!/usr/bin/env bash
# Installs the Debian packages Vornel needs to build, test and run, skipping
# what is already there so a second run is quick.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  qt6-base-dev qt6-multimedia-dev
  libsimpleini-dev libicu-dev libcurl4-openssl-dev libjpeg-dev libfontconfig-dev
  fonts-dejavu-core
  pulseaudio pulseaudio-utils
  desktop-file-utils
  # The Debian package (scripts/package.sh) and its checks (scripts/check_package.sh).
  ccache dpkg-dev file help2man lintian appstream systemd
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
