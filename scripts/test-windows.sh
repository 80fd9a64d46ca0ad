#!/usr/bin/env bash
# Tests the Windows COM server under Wine, as a VBScript MES client uses it.
#
#   scripts/test-windows.sh [64|32] [LINUX_BUILD] [WINDOWS_BUILD]
#
# Defaults: 64, build, build-win<arch>. Needs the Linux build (the velmora command and its demo
# home, to compare with) and WINDOWS_BUILD/velmora.dll (make windows). In a fresh Wine prefix under
# WINDOWS_BUILD/wine-test it registers the DLL with regsvr32, runs tests/com/velmora_com_test.vbs
# with cscript of the same architecture on the demo home, then once more on a home whose MES and
# inspection databases are a PostgreSQL server's reached over ODBC from inside Wine
# (scripts/pg-test-server.sh), compares every check run with the Linux command's on the same home
# (tests/com/compare_json.py), and finally unregisters the DLL and looks for any key left behind.
#
# Wine's cscript exits 0 and prints nothing on a script error, so a run fails on a missing
# "N passed, 0 failed" line or on OnScriptError in its standard error (WINEDEBUG=fixme+wscript):
# there must be exactly as many as the errors the suite's host objects raised on purpose.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
arch="${1:-64}"
linux_build="$(cd "${2:-$repo/build}" && pwd)"
win_build="${3:-$repo/build-win$arch}"

fail() { echo "test-windows: $*" >&2; exit 1; }
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

case "$arch" in
  64) wine=/usr/lib/wine/wine64; export WINEARCH=win64 ;;
  32) wine=/usr/lib/wine/wine; export WINEARCH=win32 ;;
  *) echo "usage: $0 [64|32] [LINUX_BUILD] [WINDOWS_BUILD]" >&2; exit 2 ;;
esac
[ -x "$wine" ] || fail "$wine not found (the $arch-bit Wine loader; for 32 bits: make install-wine32)"
[ -f "$win_build/velmora.dll" ] || fail "$win_build/velmora.dll not found (run make windows)"
[ -x "$linux_build/velmora" ] || fail "$linux_build/velmora not found (run make build)"
[ -f "$linux_build/demo-home/INI/MESconfig.ini" ] || fail "$linux_build/demo-home not found"
win_build="$(cd "$win_build" && pwd)"
dll="$win_build/velmora.dll"
suite="$repo/tests/com/velmora_com_test.vbs"
compare=(python3 "$repo/tests/com/compare_json.py" --velmora "$linux_build/velmora"
  --lots "$repo/demo/lots.csv")

out="$win_build/wine-test"
export WINEPREFIX="$out/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

# Runs one part of the suite on the home $2; standard output to $3.out, error to $3.err.
run_suite() {
  local part=$1 home=$2 log=$3
  mkdir -p "$out/$part-traces"
  VELMORA_HOME="$(winpath "$home")" WINEDEBUG=-all,fixme+wscript \
    "$wine" cscript //nologo "$(winpath "$suite")" "$part" "$(winpath "$repo/demo/lots.csv")" \
    "$(winpath "$out/$part-traces")" 2>"$log.err" | tr -d '\r' >"$log.out" || true
  grep -E '^(FAIL|[0-9]+ passed|host objects raised)' "$log.out" || true
  grep -qE '^[0-9]+ passed, 0 failed$' "$log.out" || fail "part $part: no clean summary line ($log.out)"
  # Every script error but those the suite's host objects raised on purpose fails the run.
  local raised errors
  raised=$(sed -n 's/^host objects raised \([0-9]*\) errors$/\1/p' "$log.out")
  errors=$(grep -c OnScriptError "$log.err" || true)
  [ "$errors" = "${raised:-0}" ] ||
    fail "part $part: $errors script errors, ${raised:-0} of them raised by the host objects" \
      "(Wine's cscript hides their text)"
}

# The ODBC part, run by pg-test-server.sh with the server's connection strings in the environment.
if [ "${4:-}" = --odbc-part ]; then
  home="$out/odbc-home"
  password="$(printf '%s' "$VELMORA_TEST_PG_MES" | sed -n 's/.*PWD={\([^}]*\)}.*/\1/p')"
  mkdir -p "$home/INI"
  cat >"$home/INI/MESconfig.ini" <<EOF
[MESDB]
Connection=odbc:$VELMORA_TEST_PG_MES
[MSSQL]
ServerName=127.0.0.1
UserName=velmora
InitDB=inspection
Password=$password
[Providers]
SQLOLEDB.1=odbc:Driver={$VELMORA_TEST_PG_DRIVER};Port=$VELMORA_TEST_PG_PORT
EOF
  run_suite odbc "$home" "$out/odbc"
  "${compare[@]}" --home "odbc=$home" "$out/odbc.out"
  exit 0
fi

wineserver_stop() { WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true; }
trap wineserver_stop EXIT

start=$(date +%s)
step() { echo "== $* ($(($(date +%s) - start)) s)"; }

rm -rf "$out"
mkdir -p "$out"
step "fresh $WINEARCH prefix in $WINEPREFIX"
"$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot failed"

step "regsvr32 $dll"
"$wine" regsvr32 /s "$(winpath "$dll")" || fail "regsvr32 failed (status $?)"

step "suite on the demo home (shipped objects and host objects)"
run_suite demo "$linux_build/demo-home" "$out/demo"
"${compare[@]}" --home "sqlite=$linux_build/demo-home" --home "host=$linux_build/demo-home" \
  "$out/demo.out"

step "suite over ODBC on a PostgreSQL server"
if [ "$arch" = 32 ] && [ ! -e /usr/lib/i386-linux-gnu/odbc/psqlodbcw.so ]; then
  echo "SKIPPED: the 32-bit ODBC part needs odbc-postgresql:i386 (not installed)"
else
  "$repo/scripts/pg-test-server.sh" "$0" "$arch" "$linux_build" "$win_build" --odbc-part
fi

# Our keys (every GUID of the type library, every ProgID) in an export of HKEY_CLASSES_ROOT.
our_keys() {
  rm -f "$out/hkcr-$1.reg"
  "$wine" regedit /E "$(winpath "$out/hkcr-$1.reg")" HKEY_CLASSES_ROOT || fail "regedit /E failed"
  [ -s "$out/hkcr-$1.reg" ] || fail "regedit /E wrote nothing"
  python3 "$repo/tests/com/our_keys.py" --idl "$repo/src/com/velmora.idl" "$out/hkcr-$1.reg" \
    >"$out/keys-$1.txt"
}
step "regsvr32 /u leaves none of our keys"
our_keys registered
# Every class's InprocServer32 names the DLL; the type library is registered for this platform.
classes=$(grep -cE '^\s*coclass ' "$repo/src/com/velmora.idl")
servers=$(grep -ciE "\\\\INPROCSERVER32 \| @ \| .*velmora\.dll$" "$out/keys-registered.txt" || true)
[ "$servers" -eq "$classes" ] || fail "$servers of $classes classes registered ($out/keys-registered.txt)"
grep -qiE "^HKCR\\\\TYPELIB\\\\.*\\\\0\\\\WIN$arch \|" "$out/keys-registered.txt" ||
  fail "no type library registered for win$arch ($out/keys-registered.txt)"
"$wine" regsvr32 /u /s "$(winpath "$dll")" || fail "regsvr32 /u failed (status $?)"
our_keys unregistered
[ ! -s "$out/keys-unregistered.txt" ] || fail "keys left after regsvr32 /u:
$(cat "$out/keys-unregistered.txt")"
echo "$(wc -l <"$out/keys-registered.txt") values registered, none left after regsvr32 /u"

step "done"
