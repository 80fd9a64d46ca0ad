#!/usr/bin/env bash
# Installs Wine's 32-bit half (wine32, from Debian's i386 archive) and the 32-bit ODBC pieces the
# Windows tests use (unixODBC and the PostgreSQL driver), for make test-windows32.
#
# Adding the i386 architecture and fetching its package index change the machine for every user
# of apt. When the installation fails (an index that cannot be fetched or does not verify, a
# package that cannot be installed), the script takes back what it changed: i386 packages it
# installed, the architecture if it added it, and the i386 indexes (a second apt-get update), and
# checks that the architectures and package sources are those it found; it then fails.
set -euo pipefail

packages=(wine32:i386 libodbc2:i386 odbc-postgresql:i386)

if [ -x /usr/lib/wine/wine ] && dpkg -s wine32:i386 >/dev/null 2>&1; then
  echo "install-wine32: wine32 is installed"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-wine32: run as root or install sudo" >&2; exit 2; }
  sudo=sudo
fi

sources_digest() {
  local file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*; do
    if [ -f "$file" ]; then echo "$file" && cat "$file"; fi
  done | sha256sum
}
i386_packages() {
  dpkg-query -W -f '${Package}:${Architecture} ${db:Status-Status}\n' 2>/dev/null |
    awk '$1 ~ /:i386$/ && $2 != "not-installed" {print $1}' | sort
}
arches_before="$(dpkg --print-foreign-architectures | sort)"
sources_before="$(sources_digest)"
packages_before="$(i386_packages)"
added=no

restore() {
  echo "install-wine32: could not install ${packages[*]}; putting things back" >&2
  local new
  new="$(comm -13 <(printf '%s\n' "$packages_before") <(i386_packages) | grep . || true)"
  if [ -n "$new" ]; then
    # shellcheck disable=SC2086
    $sudo apt-get purge -y -qq $new || true
  fi
  if [ "$added" = yes ]; then
    $sudo dpkg --remove-architecture i386 ||
      echo "install-wine32: could not remove the i386 architecture" >&2
  fi
  # Drops the i386 indexes the first update fetched.
  $sudo apt-get update -qq || echo "install-wine32: apt-get update failed while restoring" >&2
  local arches_after sources_after
  arches_after="$(dpkg --print-foreign-architectures | sort)"
  sources_after="$(sources_digest)"
  if [ "$arches_after" != "$arches_before" ] || [ "$sources_after" != "$sources_before" ]; then
    echo "install-wine32: the machine's architectures or package sources differ from before" \
      "(architectures before: '${arches_before}', now: '${arches_after}')" >&2
    exit 1
  fi
  echo "install-wine32: architectures (${arches_before:-none foreign}) and package sources" \
    "are as they were" >&2
  exit 1
}

if ! grep -qx i386 <<<"$arches_before"; then
  $sudo dpkg --add-architecture i386
  added=yes
fi
$sudo apt-get update -qq || restore
$sudo apt-get install -y -qq --no-install-recommends "${packages[@]}" || restore
[ -x /usr/lib/wine/wine ] || restore
echo "install-wine32: installed ${packages[*]}"
