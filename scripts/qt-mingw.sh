#!/usr/bin/env bash
# Qt for 64-bit Windows, cross-built with MinGW-w64 from Debian's own qt6-base source package,
# with only what Pellavin and its tests use. The install goes into a cache folder outside the
# clone, named by the Qt version and a hash of how it was built, so that later runs reuse it.
#   ./scripts/qt-mingw.sh            build it unless cached; the last line printed is its folder
#   ./scripts/qt-mingw.sh --where    print the folder it would use; exit 1 if it is not built
# PELLAVIN_QT_MINGW=/path names a ready Qt for MinGW and skips all of this.
# Installs what it needs on Debian 12 (through sudo when not root).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usable() { [[ -f $1/lib/cmake/Qt6/Qt6Config.cmake && -f $1/bin/Qt6Core.dll ]]; }

if [[ -n ${PELLAVIN_QT_MINGW:-} ]]; then
  usable "$PELLAVIN_QT_MINGW" || { echo "PELLAVIN_QT_MINGW=$PELLAVIN_QT_MINGW holds no Qt for MinGW" >&2; exit 1; }
  echo "$PELLAVIN_QT_MINGW"
  exit 0
fi

qt_version=6.4.2
# Everything that changes the result goes into the folder's name: Debian's revision of the
# source, the configure line and the toolchain file's content (not its path, which differs
# from clone to clone).
debian_version=6.4.2+dfsg-10
toolchain_src=$root/cmake/mingw-w64-x86_64.cmake
configure_args=(
  -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32-
  -qt-host-path /usr -release -shared -nomake examples -nomake tests
  -no-opengl -no-dbus -no-pkg-config -no-icu -no-openssl -no-zstd
  # Turning off all of Direct2D leaves Print Support wanting the DirectWrite font engine.
  -no-feature-direct2d1_1 -no-feature-vulkan
  # Debian's tarball leaves out src/3rdparty/wintab.
  -no-feature-tabletevent
  -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent
  -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion
)
hash=$({ echo "$debian_version"; printf '%s\n' "${configure_args[@]}"; cat "$toolchain_src"; } | sha256sum | cut -c1-12)
name=qt-$qt_version-mingw-$hash
cache=${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/pellavin
# A CI job may run with another HOME or XDG_CACHE_HOME than the account's own: a build made
# under the account's home folder counts too.
account_cache=$(getent passwd "$(id -u)" | cut -d: -f6)/.cache/pellavin
if [[ ! -f $cache/$name/.pellavin-built && -f $account_cache/$name/.pellavin-built ]]; then
  cache=$account_cache
fi
prefix=$cache/$name
done_mark=$prefix/.pellavin-built

downloads=$cache/downloads

# Debian's qt6-base source, downloaded once into the cache.
download_source() {
  if [[ ! -f $downloads/qt6-base_$debian_version.dsc || ! -f $downloads/qt6-base_$qt_version+dfsg.orig.tar.xz ||
        ! -f $downloads/qt6-base_$debian_version.debian.tar.xz ]]; then
    echo "-- downloading Debian's qt6-base source" >&2
    mkdir -p "$downloads"
    (cd "$downloads" && apt-get source --download-only "qt6-base=$debian_version" >&2)
  fi
}

# unpack_source DIR: that source in DIR, with Debian's security patches only (its other
# patches are about its Linux packaging).
unpack_source() {
  dpkg-source --skip-patches -x "$downloads/qt6-base_$debian_version.dsc" "$1" >/dev/null 2>&1 ||
    { echo "dpkg-source could not unpack qt6-base $debian_version" >&2; return 1; }
  grep -E '^cve-' "$1/debian/patches/series" 2>/dev/null | while read -r patch _; do
    echo "   $patch" >&2
    patch -d "$1" -p1 -s <"$1/debian/patches/$patch"
  done
}

# notices [SOURCE]: what this Qt owes, made once for each Qt (also for one built before this
# step was added, from the source unpacked anew): its licences and the third-party code in it,
# for the Windows packages' notices.
notices() {
  local src=${1:-} scratch=""
  [[ -f $prefix/pellavin-qt-notices.json ]] && return
  (. "$root/scripts/apt-install.sh" && apt_install qt6-documentation-tools >&2)
  if [[ -z $src ]]; then
    scratch=$(mktemp -d)
    download_source
    unpack_source "$scratch/src"
    src=$scratch/src
  fi
  python3 "$root/scripts/qt-notices.py" "$prefix" "$src"
  [[ -z $scratch ]] || rm -rf "$scratch"
}

if [[ ${1:-} == --where ]]; then
  echo "$prefix"
  [[ -f $done_mark ]] && usable "$prefix"
  exit
fi
if [[ -f $done_mark ]] && usable "$prefix"; then
  echo "Qt for MinGW: cached ($(cat "$done_mark"))" >&2
  notices
  echo "$prefix"
  exit 0
fi

packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
          ninja-build cmake perl python3 dpkg-dev xz-utils qt6-base-dev qt6-base-dev-tools)
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
if [[ -n $host_qt && $host_qt != "$debian_version" ]]; then
  echo "The host Qt is $host_qt; this script builds Qt $debian_version and needs the same host tools." >&2
  exit 1
fi

# The source comes from the deb-src twin of the system's own bookworm entry.
src_list=/etc/apt/sources.list.d/pellavin-deb-src.sources
need_update=""
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "Adding a deb-src entry for bookworm main: $src_list" >&2
  printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" "Suites: bookworm" \
    "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" | $sudo tee "$src_list" >/dev/null
  need_update=1
fi
if [[ ${#missing[@]} -gt 0 || -n $need_update ]]; then
  $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
fi
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}" >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

start=$SECONDS
download_source

work=$cache/work-$hash
rm -rf "$work"
mkdir -p "$work"
echo "-- unpacking, with Debian's security patches only" >&2
unpack_source "$work/src"

rm -rf "$prefix"
mkdir -p "$prefix"
# Qt's own toolchain file refers back to the one it was configured with: keep a copy beside the
# install, so the install still works when this clone is gone.
cp "$toolchain_src" "$prefix/mingw-w64-x86_64.cmake"

echo "-- configuring" >&2
mkdir -p "$work/build"
cd "$work/build"
"$work/src/configure" -prefix "$prefix" "${configure_args[@]}" -- -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >configure.log 2>&1 ||
  { tail -40 configure.log >&2; exit 1; }
echo "-- building (about 17 minutes on two idle cores)" >&2
cmake --build . --parallel "${PELLAVIN_JOBS:-2}" >build.log 2>&1 || { tail -40 build.log >&2; exit 1; }
cmake --install . >install.log 2>&1 || { tail -20 install.log >&2; exit 1; }
# The Qt source files this build compiled or included, for naming exactly the third-party code
# that went into its libraries (scripts/qt-notices.py reads it).
{ ninja -t compdb | python3 -c 'import json, sys; print("\n".join(e["file"] for e in json.load(sys.stdin)))'
  ninja -t deps | sed -n 's/^    //p'; } |
  python3 -c 'import os, sys; src = os.path.realpath(sys.argv[1]) + "/"
paths = {os.path.realpath(os.path.join(".", line.strip())) for line in sys.stdin if line.strip()}
print("\n".join(sorted(p[len(src):] for p in paths if p.startswith(src))))' "$work/src" >"$prefix/pellavin-qt-sources.txt"
cd "$cache"

took=$((SECONDS - start))
echo "cold build took $took s on $(date -u +%Y-%m-%d), Qt $debian_version" >"$done_mark"
# From the source just built; should this fail, the next run makes them for the cached Qt.
notices "$work/src"
rm -rf "$work"
echo "Qt for MinGW: cold build took $((took / 60)) min $((took % 60)) s; installed $(du -sh "$prefix" | cut -f1) in $prefix" >&2
echo "$prefix"
