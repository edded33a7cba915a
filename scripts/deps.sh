#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Pellavin need.
# Does nothing when they are all present; uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # Qt's print support with its CUPS plugin, through which Print finds the system's printers.
  libqt6printsupport6 libcups2
  fonts-liberation
)
case "${1:-}" in
  --test) packages+=(qt6-base-private-dev clang libclang-rt-14-dev g++-mingw-w64-x86-64) ;;
  # A virtual screen, a window manager, the tools that drive and photograph it, and the
  # accessibility bus with its Python client.
  --screens) packages+=(xvfb x11-utils xdotool openbox imagemagick dbus-x11 at-spi2-core python3-pyatspi) ;;
  # Installing, checking the menu entry and AppStream file, and making the Debian package.
  --package) packages+=(dpkg-dev file desktop-file-utils appstream) ;;
  # A virtual screen, a session bus, the X libraries of the benchmark's driver, and callgrind.
  --bench) packages+=(xvfb x11-utils dbus-x11 libx11-dev libxtst-dev valgrind) ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
