#!/usr/bin/env bash
# Builds the Debian package vornel_<version>_amd64.deb from a release build of
# its own (no tests, benchmarks or developers' tools), with CPack; dpkg-shlibdeps works out its
# dependencies. The build folder is kept, so a second run only builds what
# changed.
#   scripts/package.sh [BUILD_DIR]      (default build/package)
# The package is written into BUILD_DIR; its path is the only line on stdout.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/package}
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# Debian's hardening flags (stack protector, fortified functions, read-only
# relocations bound at start-up). No -g: the package's programs are stripped.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1" | sed 's/\(^\| \)-g\( \|$\)/ /'; }
# A game's programs go into /usr/games, as Debian has it.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games \
  -DVORNEL_BUILD_TESTS=OFF -DVORNEL_BUILD_BENCH=OFF -DVORNEL_BUILD_DEV_TOOLS=OFF "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$build" -j2 >&2

# The package's files and folders belong to root and are readable by all,
# whatever the umask of whoever builds it.
umask 022
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
package="$build/vornel_${version}_$(dpkg --print-architecture).deb"
rm -f "$package"
cpack --config "$build/CPackConfig.cmake" -B "$PWD/$build" >/dev/null
[[ -f "$package" ]] || { echo "package.sh: cpack did not write $package" >&2; exit 1; }
rm -rf "$build/_CPack_Packages"
echo "$package"
