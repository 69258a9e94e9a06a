#!/usr/bin/env bash
# The screen reader of Debian's current release beside Debian 12's own: Orca 48 with the
# accessibility bus, registry and client library it is built for, from Debian 12's backports,
# unpacked into a private folder and never installed over the system's.
#   scripts/newer-reader.sh fetch        downloads and unpacks them (nothing when already done)
#   scripts/newer-reader.sh run CMD...   runs CMD where the unpacked files stand in for the
#                                        system's (a private mount namespace), with a process
#                                        list and /tmp of its own: Orca runs once per user and
#                                        would give way to one started elsewhere, and X servers
#                                        numbered by process id judge each other's locks in /tmp
# The folder is $RECHNER_NEWER_READER, by default ~/.cache/rechner/orca-48.
set -euo pipefail

tree="${RECHNER_NEWER_READER:-${XDG_CACHE_HOME:-$HOME/.cache}/rechner/orca-48}"
packages=(orca/bookworm-backports at-spi2-core/bookworm-backports
          libatspi2.0-0/bookworm-backports gir1.2-atspi-2.0/bookworm-backports
          at-spi2-common/bookworm-backports python3-psutil python3-setproctitle)

fetch() {
  local done="$tree/unpacked"
  # The list of packages is the stamp: a changed list unpacks again.
  [ -f "$done" ] && [ "$(cat "$done")" = "${packages[*]}" ] && return 0
  local apt="$tree/apt" files="$tree/files"
  rm -rf "$files" "$done"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts" "$apt/debs" "$files"
  printf '%s\n' "deb http://deb.debian.org/debian bookworm main" \
    "deb http://deb.debian.org/debian bookworm-backports main" > "$apt/sources.list"
  : > "$apt/status"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/parts"
    -o "Dir::Etc::PreferencesParts=$apt/parts" -o "Dir::Etc::Preferences=$apt/none"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::State::status=$apt/status"
    -o "Dir::Cache=$apt/cache" -o "Debug::NoLocking=1" -o "APT::Sandbox::User=root" -o "APT::Get::List-Cleanup=0")
  apt-get "${options[@]}" -qq update
  (cd "$apt/debs" && rm -f ./*.deb && apt-get "${options[@]}" -qq download "${packages[@]}")
  local deb
  for deb in "$apt/debs"/*.deb; do dpkg-deb -x "$deb" "$files"; done
  echo "${packages[*]}" > "$done"
}

# Each unpacked file or folder that replaces the system's, bound over it.
replaced=(
  /usr/bin/orca /usr/lib/python3/dist-packages/orca /usr/share/orca
  /usr/libexec/at-spi-bus-launcher /usr/libexec/at-spi2-registryd
  /usr/share/defaults/at-spi2/accessibility.conf /usr/share/locale/de/LC_MESSAGES/orca.mo
  /usr/lib/x86_64-linux-gnu/girepository-1.0/Atspi-2.0.typelib
)

run() {
  local files="$tree/files"
  [ -f "$tree/unpacked" ] || { echo "$0: run '$0 fetch' first" >&2; exit 1; }
  local binds="mount -t tmpfs rechner-tmp /tmp && " path library
  for path in "${replaced[@]}"; do
    binds+="mount --bind '$files$path' '$path' && "
  done
  # The client library by its real name, which the system's link points at.
  library=$(cd "$files/usr/lib/x86_64-linux-gnu" && ls libatspi.so.0.*)
  binds+="mount --bind '$files/usr/lib/x86_64-linux-gnu/$library' "
  binds+="\"\$(readlink -f /usr/lib/x86_64-linux-gnu/libatspi.so.0)\" && "
  local namespace=(unshare --mount --propagation private --pid --fork --mount-proc)
  [ "$(id -u)" -eq 0 ] || namespace=(unshare --user --map-root-user "${namespace[@]:1}")
  PYTHONPATH="$files/usr/lib/python3/dist-packages${PYTHONPATH:+:$PYTHONPATH}" \
    exec "${namespace[@]}" sh -c "${binds}exec \"\$@\"" newer-reader "$@"
}

case "${1-}" in
  fetch) fetch ;;
  run) shift; run "$@" ;;
  *) echo "usage: $0 fetch | run COMMAND..." >&2; exit 2 ;;
esac
