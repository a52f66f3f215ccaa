#!/usr/bin/env bash
# Checks a Debian package made by scripts/package.sh:
#   - lintian finds no errors;
#   - the metainfo, the menu entries and the systemd units pass their validators;
#   - every program in it answers --help, and --version with the package's version,
#     and has a man page;
#   - unpacked into a temporary folder, its game reaches a logged-in table
#     offscreen (solo, and joining its own vornel-host), and its lobby server
#     answers a login;
#   - apt-get can install it (simulated).
# Everything it starts listens on and talks to 127.0.0.1 only, and is stopped
# at the end. Exits non-zero at the first check that fails.
#   scripts/check_package.sh build/package/vornel_<version>_amd64.deb
set -euo pipefail
export LC_ALL=C

deb=$(realpath "${1:?usage: check_package.sh PACKAGE.deb}")
version=$(dpkg-deb -f "$deb" Version)
programs=(vornel zelmo7-lobby vornel-tally vornel-host zelmo7-lobby-server)

work=$(mktemp -d)
started=()
cleanup() {
  local pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${started[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "check_package: $*" >&2
  exit 1
}
step() { echo "== $*"; }

step "lintian"
lintian --fail-on error --info "$deb" || fail "lintian reports errors"

root="$work/root"
dpkg-deb -x "$deb" "$root"
games="$root/usr/games"
# The package's own files, as an installed system sees them.
step "files"
for program in "${programs[@]}"; do
  [[ -x "$games/$program" ]] || fail "no usr/games/$program"
  ls "$root"/usr/share/man/man[68]/"$program".[68].gz >/dev/null 2>&1 || fail "no man page for $program"
done
# The download calls and the sound output, where the game looks for them:
# the library folder beside usr/games.
for module in vornel-download vornel-sound; do
  found=("$root"/usr/lib/*/vornel/"$module".so)
  [[ -f "${found[0]}" ]] || fail "no usr/lib/<arch>/vornel/$module.so"
done
for unit in vornel-host zelmo7-lobby-server; do
  [[ -f "$root/lib/systemd/system/$unit.service" ]] || fail "no unit $unit.service"
  [[ -f "$root/etc/default/$unit" ]] || fail "no /etc/default/$unit"
done
# Installed, not enabled: nothing links the units into a target.
if find "$root" -path '*.wants/*' | grep -q .; then fail "the package enables a unit"; fi

step "appstreamcli validate"
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
[[ -f "${metainfo[0]}" ]] || fail "no metainfo file"
appstreamcli validate --no-net "${metainfo[@]}" || fail "the metainfo is not valid"
grep -q "<release version=\"$version\"" "${metainfo[@]}" || fail "the metainfo lacks release $version"

step "desktop-file-validate"
entries=("$root"/usr/share/applications/*.desktop)
[[ ${#entries[@]} -eq 2 ]] || fail "expected the game's and the lobby's menu entries, found ${#entries[@]}"
for entry in "${entries[@]}"; do
  report=$(desktop-file-validate "$entry" 2>&1) || fail "$(basename "$entry"): $report"
  [[ -z "$report" ]] || fail "$(basename "$entry"): $report"
done

step "systemd-analyze verify"
# The units name /usr/games/... and their man pages: they are verified inside
# the unpacked tree, which gets a copy of this system's targets for them to
# hang from, and its man pages for their Documentation= lines.
verify_root="$work/verify"
cp -a "$root" "$verify_root"
cp /lib/systemd/system/*.target "$verify_root/lib/systemd/system/"
for unit in vornel-host zelmo7-lobby-server; do
  report=$(MANPATH="$verify_root/usr/share/man" \
    systemd-analyze verify --root="$verify_root" "$verify_root/lib/systemd/system/$unit.service" 2>&1) ||
    fail "$unit.service: $report"
  [[ -z "$report" ]] || fail "$unit.service: $report"
  for setting in DynamicUser=yes Restart=on-failure NoNewPrivileges=yes ProtectSystem=strict ProtectHome=yes \
    PrivateTmp=yes "EnvironmentFile=-/etc/default/$unit"; do
    grep -qx "$setting" "$root/lib/systemd/system/$unit.service" || fail "$unit.service lacks $setting"
  done
done

step "--help and --version"
for program in "${programs[@]}"; do
  help=$(QT_QPA_PLATFORM=offscreen "$games/$program" --help) || fail "$program --help failed"
  [[ "$help" == *"--version"* ]] || fail "$program --help does not mention --version"
  answer=$(QT_QPA_PLATFORM=offscreen "$games/$program" --version) || fail "$program --version failed"
  [[ "$answer" == "$program $version"* ]] || fail "$program --version says '$answer', not $version"
done

# A TCP port on 127.0.0.1 that nobody answers on (bounded tries).
free_port() {
  local tries port
  for ((tries = 0; tries < 50; tries++)); do
    port=$((20000 + RANDOM % 30000))
    if ! (exec 9<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return 0
    fi
  done
  return 1
}

# Waits (at most 20 s) for "listening on port N" in a server's log; prints N.
listening_port() {
  local log=$1 tries port
  for ((tries = 0; tries < 200; tries++)); do
    port=$(sed -n 's/.*listening on port \([0-9][0-9]*\).*/\1/p' "$log" | head -n 1)
    if [[ -n "$port" ]]; then
      echo "$port"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Waits (at most 20 s) until something answers on the port.
wait_for_port() {
  local tries
  for ((tries = 0; tries < 200; tries++)); do
    if (exec 9<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; then return 0; fi
    sleep 0.1
  done
  return 1
}

# Logs in to the game host on the port as "Checker" and reads what the host
# says until it names a player called $2 (a login the host has recorded);
# fails after 20 s or 200 messages.
host_has_player() {
  local port=$1 name=$2 message number count deadline=$((SECONDS + 20))
  exec 3<>"/dev/tcp/127.0.0.1/$port" || return 1
  IFS= read -r -t 20 -d $'\xff' message <&3 || { exec 3<&-; return 1; }
  [[ "$message" =~ ^CMD_sendlogininfo\+([0-9]+) ]] || { exec 3<&-; return 1; }
  number=${BASH_REMATCH[1]}
  printf 'CMD_logininfo+%s+%s+Checker\xff' "$number" "${version%.*}" >&3
  for ((count = 0; count < 200 && SECONDS < deadline; count++)); do
    IFS= read -r -t 5 -d $'\xff' message <&3 || continue
    if [[ "$message" =~ ^CMD_(newplayerinfo|existingplayers)\+([0-9]+)\+(.*)$ &&
          "${BASH_REMATCH[2]}" != "$number" && "${BASH_REMATCH[3]}" == "$name" ]]; then
      exec 3<&-
      return 0
    fi
  done
  exec 3<&-
  return 1
}

game_env=(env QT_QPA_PLATFORM=offscreen VORNEL_HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
  ZELMO7_LOBBY_LINK_PORT="$(free_port)")
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"

step "the unpacked vornel, solo: its own table logs in"
port=$(free_port) || fail "no free port"
"${game_env[@]}" VORNEL_PORT="$port" "$games/vornel" >"$work/solo.log" 2>&1 &
started+=($!)
wait_for_port "$port" || fail "the solo game does not listen on port $port: $(cat "$work/solo.log")"
host_has_player "$port" "You" || fail "the solo game's table did not log in: $(cat "$work/solo.log")"
kill "${started[-1]}"

step "the unpacked vornel joins the unpacked vornel-host"
"$games/vornel-host" --port 0 --speed 50 >"$work/host.log" 2>&1 &
started+=($!)
port=$(listening_port "$work/host.log") || fail "vornel-host does not listen: $(cat "$work/host.log")"
"${game_env[@]}" VORNEL_PORT="$port" "$games/vornel" Packaged 127.0.0.1 x >"$work/join.log" 2>&1 &
started+=($!)
host_has_player "$port" "Packaged" || fail "the table did not log in to vornel-host: $(cat "$work/join.log")"

step "the unpacked zelmo7-lobby-server answers a login"
"$games/zelmo7-lobby-server" --port 0 --max-players 10 >"$work/lobby.log" 2>&1 &
started+=($!)
port=$(listening_port "$work/lobby.log") || fail "zelmo7-lobby-server does not listen: $(cat "$work/lobby.log")"
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf 'LOBBY_login+1+Checker\xff' >&3
IFS= read -r -t 20 -d $'\xff' welcome <&3 || fail "no answer to a login from the lobby server"
exec 3<&-
[[ "$welcome" == "LOBBY_welcome+1+Checker" ]] || fail "the lobby server answered '$welcome'"

step "apt-get install --simulate"
apt-get install --simulate "$deb" >"$work/apt.log" 2>&1 || fail "apt cannot install the package: $(cat "$work/apt.log")"
grep -q "^Inst vornel " "$work/apt.log" || fail "apt would not install vornel: $(cat "$work/apt.log")"

echo "check_package: $(basename "$deb") passed every check"
