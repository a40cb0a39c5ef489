#!/usr/bin/env bash
# Fails when a program file includes from a folder above its own
# (platform <- core <- content <- shell <- auxwin <- app), or when a GTK, GLib, WebKit or libsoup
# header is included outside platform/gtk/ and server/.
set -uo pipefail
cd "${1:-$(dirname "$0")/../..}"

layers=(platform core content shell auxwin app)
rank() {
  local i
  for i in "${!layers[@]}"; do [[ ${layers[$i]} == "$1" ]] && echo "$i" && return; done
  echo -1
}

toolkit='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(gtk|gdk|gdk-pixbuf|glib|gio|gobject|webkit2?|webkitgtk[^/]*|jsc|JavaScriptCore|libsoup[^/]*)[/.>]'
failures=0
while IFS= read -r file; do
  own=$(rank "${file%%/*}")
  while IFS= read -r target; do
    used=$(rank "${target%%/*}")
    if ((used > own)); then
      echo "$file includes $target from a layer above its own"
      failures=$((failures + 1))
    fi
  done < <(sed -nE 's@^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*@\1@p' "$file")
  if [[ $file != platform/gtk/* ]] && grep -qE "$toolkit" "$file"; then
    echo "$file includes a toolkit header: $(grep -E "$toolkit" "$file" | head -1)"
    failures=$((failures + 1))
  fi
done < <(find "${layers[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

((failures == 0)) && echo "include order holds"
((failures == 0))
