#!/usr/bin/env bash
# usage: windows-sources.sh DIR
#
# Puts the C sources that the Windows build compiles in, taken from Debian's source package at the
# version installed for the Linux build, so that both builds run the same SQLite:
#   DIR/sqlite3-<version>/sqlite3.c, sqlite3.h   the amalgamation, made from the package's tree
#   DIR/sqlite3                                   a link to the folder of the installed version
# (INI files are read with inih's grammar on both systems: Debian's inih on Linux, its twin in
# src/client/ini_lines.cpp on Windows.)
# Does nothing for a version that is already there. The machine's package sources are left alone:
# the deb-src lists live under DIR/apt/.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 DIR" >&2
  exit 2
fi
mkdir -p "$1"
dir=$(cd "$1" && pwd)

# "<source package> <source version>" of an installed binary package.
installed_source() {
  local out
  if ! out=$(dpkg-query -W -f='${source:Package} ${source:Version}' "$1" 2>/dev/null) ||
    [ -z "${out#* }" ]; then
    echo "windows-sources: $1 is not installed (run scripts/setup.sh)" >&2
    exit 1
  fi
  echo "$out"
}

read -r sqlite_pkg sqlite_version < <(installed_source libsqlite3-dev)
sqlite_out=$dir/$sqlite_pkg-$sqlite_version

# Points DIR/$1 at the folder $2 of the installed version.
link_current() {
  ln -sfn "$(basename "$2")" "$dir/$1"
}

if [ -f "$sqlite_out/sqlite3.c" ] && [ -f "$sqlite_out/sqlite3.h" ]; then
  link_current sqlite3 "$sqlite_out"
  exit 0
fi

for tool in apt-get dpkg-source tclsh make; do
  if ! command -v "$tool" >/dev/null; then
    echo "windows-sources: $tool is missing (run scripts/setup.sh)" >&2
    exit 1
  fi
done

# A private apt state: the deb-src twin of the machine's Debian sources, its own lists and cache.
apt_dir=$dir/apt
mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
found_sources=0
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources/$(basename "$f")"
  found_sources=1
done
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -nE 's/^deb[[:space:]]/deb-src /p' "$f" >"$apt_dir/sources/$(basename "$f")"
  found_sources=1
done
if [ "$found_sources" -eq 0 ]; then
  echo "windows-sources: no package sources under /etc/apt to take deb-src entries from" >&2
  exit 1
fi
apt_options=(
  -o Dir::Etc::SourceList=/dev/null
  -o Dir::Etc::SourceParts="$apt_dir/sources"
  -o Dir::State::Lists="$apt_dir/lists"
  -o Dir::Cache="$apt_dir/cache"
  -o APT::Sandbox::User=root
  -qq
)
apt-get "${apt_options[@]}" update

# Downloads and unpacks source package $1 at version $2 into $3 (with Debian's patches applied).
unpack_source() {
  local work=$dir/work-$1
  rm -rf "$work" "$3"
  mkdir -p "$work"
  if ! (cd "$work" && apt-get "${apt_options[@]}" source --download-only "$1=$2"); then
    echo "windows-sources: could not download Debian's source package $1 $2" \
      "(apt-get source failed, above); the Windows build compiles it in" >&2
    exit 1
  fi
  local dsc
  dsc=$(find "$work" -maxdepth 1 -name "$1_*.dsc" | head -n 1)
  if [ -z "$dsc" ]; then
    echo "windows-sources: apt-get fetched no $1_*.dsc for version $2" >&2
    exit 1
  fi
  # apt has checked the files against the archive's signed index already.
  dpkg-source --no-check -x "$dsc" "$work/tree" >/dev/null
}

if [ ! -f "$sqlite_out/sqlite3.c" ] || [ ! -f "$sqlite_out/sqlite3.h" ]; then
  echo "windows-sources: SQLite $sqlite_version from Debian's $sqlite_pkg source package"
  unpack_source "$sqlite_pkg" "$sqlite_version" "$sqlite_out"
  # The amalgamation is made in a build folder of its own; configure only prepares the tools
  # that generate it (tclsh does the work), nothing of this machine goes into the file.
  mkdir -p "$dir/work-$sqlite_pkg/bld"
  (cd "$dir/work-$sqlite_pkg/bld" && ../tree/configure --disable-tcl >/dev/null &&
    make sqlite3.c >/dev/null)
  mkdir -p "$sqlite_out"
  cp "$dir/work-$sqlite_pkg/bld/sqlite3.c" "$dir/work-$sqlite_pkg/bld/sqlite3.h" "$sqlite_out/"
  rm -rf "$dir/work-$sqlite_pkg"
fi
link_current sqlite3 "$sqlite_out"
