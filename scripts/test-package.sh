#!/usr/bin/env bash
# test-package.sh [BUILD]: proves the installed package, not the build tree. Installs BUILD
# (default: build) into a temporary prefix, copies examples/ outside the source tree, and there
# builds and runs the three examples against the prefix alone:
#   C       with `pkg-config --cflags --libs velmora`
#   C++     with find_package(Velmora 0.2 CONFIG)
#   Python  with the prefix's Python path on PYTHONPATH
# Each runs the demo check (LOT-A01 at S-FQC-100) in the installed demo home and must exit 0
# and name the lot. The temporary folder is removed afterwards.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

echo "test-package: installing $build into $prefix"
cmake --install "$build" --prefix "$prefix" > "$work/install.log"
cp -r "$source_dir/examples" "$work/examples"
cd "$work"

# No home from the environment: the examples must find the installed demo home themselves.
unset VELMORA_HOME VELMORA_LIBRARY

pc=$(find "$prefix" -name velmora.pc)
python_path=$(dirname "$(dirname "$(find "$prefix" -path '*/velmora/__init__.py')")")

run() {
  local name=$1
  shift
  echo "test-package: $name"
  if ! "$@" > "$work/$name.out" 2>&1; then
    cat "$work/$name.out"
    echo "test-package: $name failed"
    exit 1
  fi
  if ! grep -q 'lot LOT-A01 at S-FQC-100: result "ok"' "$work/$name.out"; then
    cat "$work/$name.out"
    echo "test-package: $name did not report the demo check"
    exit 1
  fi
  sed 's/^/  /' "$work/$name.out" | head -3
}

export PKG_CONFIG_PATH=$(dirname "$pc")
# shellcheck disable=SC2046 # pkg-config's words are meant to be split
cc -std=c99 -Wall -Wextra -pedantic -Werror -o check_lot_c examples/c/check_lot.c \
  $(pkg-config --cflags --libs velmora)
# No LD_LIBRARY_PATH: velmora.pc gives the program the library's folder as its run path.
run c ./check_lot_c

cmake -S examples/cpp -B cpp-build -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
  > cpp-configure.log
cmake --build cpp-build > cpp-build.log
run cpp cpp-build/check_lot
# Installed, it runs as well: its install run path keeps libvelmora's folder.
cmake --install cpp-build --prefix "$work/app" > cpp-install.log
run cpp-installed "$work/app/bin/check_lot"

run python env PYTHONPATH="$python_path" python3 examples/python/check_lot.py

echo "test-package: the C, C++ and Python examples ran from $prefix"
