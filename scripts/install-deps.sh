#!/usr/bin/env bash
# Installs, on Debian 12, what building and running the calculator need:
#   scripts/install-deps.sh          compilers, CMake, FLTK, the font the window uses, and
#                                    ATK with its AT-SPI bridge, GLib and D-Bus for the
#                                    screen-reader library
#   scripts/install-deps.sh --test   also what the test command needs: clang with its
#                                    sanitizers, the mingw cross compiler with Wine to run its
#                                    output, the X tools the end-to-end tests drive, the
#                                    accessibility bus with an AT-SPI client for Python, the
#                                    screen reader with its speech server, a settings daemon
#                                    and the desktops' usual fonts, and the tools that build
#                                    and check the packages, and the newer screen reader
#                                    unpacked beside the system's (scripts/newer-reader.sh)
# Safe to run again; it does nothing that is already done.
set -euo pipefail

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

packages=(
  build-essential cmake ninja-build googletest libgtest-dev
  libfltk1.3-dev libx11-dev libxext-dev libxrandr-dev libxrender-dev libxft-dev fonts-dejavu-core
  libatk1.0-dev libatk-bridge2.0-dev libatspi2.0-dev libglib2.0-dev libdbus-1-dev
)
test_packages=(
  clang clang-format libclang-rt-14-dev
  g++-mingw-w64-i686
  wine wine64 wine32:i386 fonts-wine
  xvfb openbox xdotool x11-utils x11-apps x11-xserver-utils xclip imagemagick python3 locales
  file lintian desktop-file-utils appstream stress-ng
  dbus at-spi2-core libglib2.0-bin python3-gi gir1.2-atspi-2.0
  orca speech-dispatcher gir1.2-gtk-3.0 xsettingsd fonts-urw-base35 fonts-noto-core
  fonts-open-sans fonts-cantarell fonts-liberation2
)

case "${1-}" in
  "") ;;
  --test) packages+=("${test_packages[@]}") ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386
  then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Orca 48 with the accessibility bus it is built for, in a private folder.
if [ "${1-}" = --test ]; then
  "$(dirname "$0")/newer-reader.sh" fetch
fi

# The German locale, whose decimal comma the tests use as a German user's calculator sees it.
if [ "${1-}" = --test ] && ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
