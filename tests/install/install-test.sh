#!/usr/bin/env bash
# Installs a build into a temporary prefix and uses it as an installed program: the files of the
# layout, the validators of the desktop entry and the metainfo, --version and --help without a
# display, the demo server on its installed site, and a start under a temporary HOME whose files
# land in the per-user data folder. Usage: install-test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
program_pid=
cleanup() {
  if [[ -n $program_pid ]]; then kill "$program_pid" 2>/dev/null || true; wait "$program_pid" || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
app_id=io.lumora.Lumora

for file in bin/lumora bin/lumora-demo-server share/applications/$app_id.desktop \
  share/metainfo/$app_id.metainfo.xml share/lumora-demo-server/site/box/lib/wen.txt; do
  [[ -e $prefix/$file ]] || fail "$file is not installed"
done
for size in 16 24 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x${size}/apps/lumora.png
  [[ -f $icon ]] || fail "no ${size}px icon"
  # The PNG header holds the width as a 32-bit big-endian number at byte 16.
  width=$(od -An -tu4 --endian=big -j16 -N4 "$icon" | tr -d ' ')
  [[ $width == "$size" ]] || fail "the ${size}px icon is $width pixels wide"
done

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/$app_id.desktop" || fail "desktop entry invalid"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" >/dev/null ||
    fail "metainfo invalid"
fi

# Information only: it must end at once, needing neither a display nor a running instance.
[[ $(DISPLAY= WAYLAND_DISPLAY= timeout 10 "$prefix/bin/lumora" --version) == "Lumora 9.0" ]] ||
  fail "--version"
DISPLAY= WAYLAND_DISPLAY= timeout 10 "$prefix/bin/lumora" --help | grep -q -- '--version' ||
  fail "--help"

"$prefix/bin/lumora-demo-server" --port 0 >"$work/server.log" &
server_pid=$!
for _ in $(seq 100); do [[ -s $work/server.log ]] && break; sleep 0.1; done
kill "$server_pid"
grep -q "from $share/lumora-demo-server/site\$" "$work/server.log" ||
  fail "demo server: $(cat "$work/server.log")"

# The installed program keeps its files in the per-user data folder, never beside itself.
home=$work/home
mkdir "$home"
HOME=$home XDG_DATA_HOME= "$prefix/bin/lumora" >"$work/program.log" 2>&1 &
program_pid=$!
data=$home/.local/share/lumora
for _ in $(seq 600); do
  [[ -f $data/config.dll && -f $data/date.dat && -f $data/c.htm && -f $data/i.gif ]] && break
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"
  sleep 0.1
done
[[ -f $data/c.htm ]] || fail "no files in $data"
[[ $(stat -c %a "$data") == 700 ]] || fail "$data is not private to the user"
[[ -z $(find "$prefix/bin" -type f ! -name 'lumora*') ]] || fail "files written into bin/"
echo "install test passed"
