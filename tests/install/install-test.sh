#!/usr/bin/env bash
# Installs a build into a temporary prefix and uses it as an installed program: the files of the
# layout, the validators of the desktop entry and the metainfo, --version and --help without a
# display, the demo server on its installed site, and a start under a temporary HOME whose files
# land in the per-user data folder. Then packs the build into its two Debian packages and checks
# their files, their relations and lintian's word on them. Usage: install-test.sh BUILD_DIR
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
  share/metainfo/$app_id.metainfo.xml share/lumora-demo-server/site/box/lib/wen.txt \
  share/man/man1/lumora.1.gz share/man/man1/lumora-demo-server.1.gz; do
  [[ -e $prefix/$file ]] || fail "$file is not installed"
done
for size in 16 24 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x${size}/apps/lumora.png
  [[ -f $icon ]] || fail "no ${size}px icon"
  # The PNG header holds the width as a 32-bit big-endian number at byte 16.
  width=$(od -An -tu4 --endian=big -j16 -N4 "$icon" | tr -d ' ')
  [[ $width == "$size" ]] || fail "the ${size}px icon is $width pixels wide"
done

# A validator that is not installed is skipped.
validate() {
  ! command -v "$1" >/dev/null || "$@" >"$work/validate.log" || fail "$*: $(cat "$work/validate.log")"
}
validate desktop-file-validate "$share/applications/$app_id.desktop"
validate appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml"

# Information only: it must end at once, needing neither a display nor a running instance.
information() { DISPLAY='' WAYLAND_DISPLAY='' timeout 10 "$prefix/bin/lumora" "$1"; }
[[ $(information --version) == "Lumora 9.0" ]] || fail "--version"
help=$(information --help)
[[ $help == *--version* && $help == *"ARGUMENT   any other argument"* ]] || fail "--help: $help"
[[ $(timeout 10 "$prefix/bin/lumora-demo-server" --version) == "lumora-demo-server 9.0" ]] ||
  fail "lumora-demo-server --version"

"$prefix/bin/lumora-demo-server" --port 0 >"$work/server.log" &
server_pid=$!
for _ in $(seq 100); do [[ -s $work/server.log ]] && break; sleep 0.1; done
kill "$server_pid"
grep -q "from $share/lumora-demo-server/site\$" "$work/server.log" ||
  fail "demo server: $(cat "$work/server.log")"

# The installed program keeps its files in the per-user data folder, never beside itself.
home=$work/home
mkdir "$home"
HOME=$home XDG_DATA_HOME='' "$prefix/bin/lumora" >"$work/program.log" 2>&1 &
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
kill "$program_pid"
wait "$program_pid" || true
program_pid=

# The two packages, each with only its own files.
packages=$work/packages
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$packages" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
client=$packages/lumora_9.0_amd64.deb
server=$packages/lumora-demo-server_9.0_amd64.deb
[[ -f $client && -f $server ]] || fail "packages: $(ls "$packages")"
files_of() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { print $6 }' | sort; }
expect_files() {
  local deb=$1 pattern=$2
  shift 2
  local files
  files=$(files_of "$deb")
  for file in "$@"; do
    grep -qx "\./usr/$file" <<<"$files" || fail "$(basename "$deb") lacks $file"
  done
  local foreign
  foreign=$(grep -vE "^\./usr/($pattern)" <<<"$files" || true)
  [[ -z $foreign ]] || fail "$(basename "$deb") holds $foreign"
}
expect_files "$client" \
  "bin/lumora\$|share/(applications|metainfo|icons)/|share/man/man1/lumora\.1\.gz\$|share/doc/lumora/" \
  bin/lumora share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
  share/icons/hicolor/256x256/apps/lumora.png share/man/man1/lumora.1.gz \
  share/doc/lumora/copyright share/doc/lumora/changelog.gz
# The metainfo's screenshot, which a build for the demo server takes.
screenshot=()
if grep -qx 'LUMORA_SCREENSHOT:BOOL=ON' "$build/CMakeCache.txt"; then
  screenshot=(share/lumora-demo-server/site/screenshots/lumora.png)
fi
expect_files "$server" \
  "bin/lumora-demo-server\$|share/lumora-demo-server/site/|share/man/man1/lumora-demo-server\.1\.gz\$|share/doc/lumora-demo-server/" \
  bin/lumora-demo-server share/lumora-demo-server/site/box/lib/wen.txt "${screenshot[@]}" \
  share/man/man1/lumora-demo-server.1.gz share/doc/lumora-demo-server/copyright \
  share/doc/lumora-demo-server/changelog.gz

# The client needs a Chinese font and the libraries it links; the demo video wants GStreamer.
depends=$(dpkg-deb -f "$client" Depends)
[[ $depends == *"fonts-noto-cjk | fonts-wqy-zenhei | fonts-wqy-microhei"* &&
  $depends == *libwebkit2gtk-4.1-0* ]] || fail "lumora Depends: $depends"
[[ $(dpkg-deb -f "$client" Recommends) == *gstreamer1.0-plugins-good* ]] ||
  fail "lumora Recommends: $(dpkg-deb -f "$client" Recommends)"
[[ $(dpkg-deb -f "$server" Depends) == *libglib2.0-0* ]] ||
  fail "lumora-demo-server Depends: $(dpkg-deb -f "$server" Depends)"
site=$(sed -n 's/^LUMORA_SITE_URL:STRING=//p' "$build/CMakeCache.txt")
for deb in "$client" "$server"; do
  [[ $(dpkg-deb -f "$deb" Homepage) == "$site" ]] || fail "$(basename "$deb") Homepage"
done

# No error and no warning from lintian.
lintian --fail-on error,warning "$client" "$server" >"$work/lintian.log" 2>&1 ||
  fail "lintian: $(cat "$work/lintian.log")"
echo "install test passed"
