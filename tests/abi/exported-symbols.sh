#!/bin/sh
# exported-symbols.sh check|write LIBRARY LIST
#
# The ABI of libvelmora is the set of symbols it exports: `nm -D --defined-only`, demangled, one
# name a line, sorted. `check` fails when the set differs from LIST (showing the difference),
# holds more than 152 symbols, or holds a symbol that is not Velmora's own; `write` replaces LIST.
set -eu
mode=$1 library=$2 list=$3
limit=152

symbols=$(nm -D --defined-only --demangle "$library" | sed -n 's/^[0-9a-fA-F]* [A-Za-z] //p' |
  LC_ALL=C sort -u)

if [ "$mode" = write ]; then
  printf '%s\n' "$symbols" > "$list"
  echo "$(printf '%s\n' "$symbols" | wc -l) exported symbols written to $list"
  exit 0
fi

status=0
count=$(printf '%s\n' "$symbols" | wc -l)
if [ "$count" -gt "$limit" ]; then
  echo "$count exported symbols, more than $limit"
  status=1
fi
if foreign=$(printf '%s\n' "$symbols" | grep -v velmora); then
  echo "symbols that are not Velmora's own:"
  printf '%s\n' "$foreign"
  status=1
fi
if ! printf '%s\n' "$symbols" | diff -u --label "$list" --label "$library" "$list" -; then
  echo "The exported symbols differ from $list (- listed, + exported). After an intended change"
  echo "of the interface: cmake --build <build> --target velmora-abi-list"
  status=1
fi
[ "$status" -ne 0 ] || echo "$count exported symbols, as listed"
exit "$status"
