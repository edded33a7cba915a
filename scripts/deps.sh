#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Pellavin need.
# Does nothing when they are all present; uses sudo when not run as root. When another program
# holds the package lock, waits for it (up to 10 minutes) and says so.
set -euo pipefail

packages=(
  build-essential cmake ninja-build
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # The splash window's taskbar hint on X11.
  libxcb1-dev
  # Qt's print support with its CUPS plugin, through which Print finds the system's printers.
  libqt6printsupport6 libcups2
  fonts-liberation
  # lrelease and its CMake functions, which build the translations into the program, and
  # lupdate; Qt's own translations of its boxes' buttons.
  qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools qt6-translations-l10n
)
case "${1:-}" in
  # (The checks and CI's tally are Python.)
  --test) packages+=(qt6-base-private-dev clang libclang-rt-14-dev g++-mingw-w64-x86-64 python3) ;;
  # A virtual screen, a window manager, the tools that drive and photograph it, and the
  # accessibility bus with its Python client.
  --screens) packages+=(xvfb x11-utils xdotool openbox imagemagick dbus-x11 at-spi2-core python3-pyatspi) ;;
  # The same, with the Orca screen reader speaking through speech-dispatcher and espeak-ng.
  --orca) packages+=(xvfb x11-utils xdotool openbox dbus-x11 at-spi2-core
                     orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng) ;;
  # Installing, checking the menu entry and AppStream file, making the Debian package,
  # checking it, and comparing two builds of it.
  --package) packages+=(dpkg-dev file desktop-file-utils appstream lintian diffoscope-minimal) ;;
  # A virtual screen, a session bus, the X libraries of the benchmark's driver, and callgrind.
  --bench) packages+=(xvfb x11-utils dbus-x11 libx11-dev libxtst-dev valgrind) ;;
  # The static analysers, which read the build's compile_commands.json, and the coverage report;
  # the MinGW compilers of the Windows build they read too.
  --analyse) packages+=(clazy clang-tidy-14 cppcheck gcovr g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix) ;;
esac

# Waits for another program that is installing packages; prints one line for each step.
. "$(dirname "$0")/apt-install.sh"
apt_install "${packages[@]}"
