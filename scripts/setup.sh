#!/usr/bin/env bash
# Installs the Debian packages Lumora needs to build, run and test, where they are missing.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config
  libglib2.0-dev libsoup-3.0-dev libcairo2-dev libgtk-3-dev libwebkit2gtk-4.1-dev
  # the Debian packages (cpack -G DEB): their dependencies come from dpkg-shlibdeps, which needs
  # file; lintian checks them
  dpkg-dev file lintian
  # scripts/make-screenshot.sh captures the screen through GDK
  python3-gi gir1.2-gtk-3.0
  # the demo video: made at build time from GStreamer's test sources, played by the web engine
  gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  # tests
  googletest libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-utils dbus dbus-bin openbox xdotool fonts-wqy-zenhei
  desktop-file-utils appstream weston xwayland
  # the accessibility test reads the program over AT-SPI
  at-spi2-core python3-pyatspi
  # an XEmbed notification area for the tray tests
  trayer
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
