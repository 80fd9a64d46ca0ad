#!/usr/bin/env bash
# Tests the Windows installer under Wine (64-bit prefix).
#
#   scripts/test-windows-package.sh MSI DLL64 DLL32 [LINUX_BUILD]
#
# In a fresh prefix next to MSI (<folder of MSI>/msi-test): `msiexec /i MSI /qn` must install both
# DLLs (64-bit into the 64-bit program folder, 32-bit into the 32-bit one) and register them,
# each in its registry view, with exactly the keys the 64-bit DLL's own DllRegisterServer writes
# for the same path (the 32-bit view: the same keys naming the 32-bit DLL); the installed server
# must then run a check from cscript (tests/com/velmora_com_test.vbs, part "installed", compared
# with the Linux command; the home given by the registry value HKCU\Software\Velmora\Home) and `msiexec /x MSI /qn` must remove the files and every key.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
[ $# -ge 3 ] || { echo "usage: $0 MSI DLL64 DLL32 [LINUX_BUILD]" >&2; exit 2; }
fail() { echo "test-windows-package: $*" >&2; exit 1; }
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
for file in "$1" "$2" "$3"; do [ -f "$file" ] || fail "$file not found"; done
msi="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
dll64="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
dll32="$(cd "$(dirname "$3")" && pwd)/$(basename "$3")"
linux_build="$(cd "${4:-$repo/build}" && pwd)"
idl="$repo/src/com/velmora.idl"

wine=/usr/lib/wine/wine64
out="$(dirname "$msi")/msi-test"
export WINEPREFIX="$out/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wineserver_stop() { WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true; }
trap wineserver_stop EXIT

folder64="$WINEPREFIX/drive_c/Program Files/Velmora"
folder32="$WINEPREFIX/drive_c/Program Files (x86)/Velmora"

# Our keys of one registry view (64 or 32) to $out/$2-$1.txt.
our_keys() {
  local view=$1 name=$2 root=HKEY_CLASSES_ROOT
  [ "$view" = 32 ] && root='HKEY_LOCAL_MACHINE\Software\Wow6432Node\Classes'
  rm -f "$out/export.reg"
  "$wine" regedit /E "$(winpath "$out/export.reg")" "$root" || fail "regedit /E $root failed"
  python3 "$repo/tests/com/our_keys.py" --idl "$idl" --view "$view" "$out/export.reg" \
    >"$out/$name-$view.txt"
}

rm -rf "$out"
mkdir -p "$out"
"$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot failed"

echo "== msiexec /i $msi /qn"
"$wine" msiexec /i "$(winpath "$msi")" /qn || fail "msiexec /i failed (status $?)"
cmp -s "$folder64/velmora.dll" "$dll64" || fail "the 64-bit DLL is not in $folder64"
cmp -s "$folder32/velmora.dll" "$dll32" || fail "the 32-bit DLL is not in $folder32"
our_keys 64 msi
our_keys 32 msi
[ -s "$out/msi-64.txt" ] || fail "msiexec registered nothing in the 64-bit view"
# The type library's key is shared by both views and names both DLLs; everything else of the
# 32-bit view is the 64-bit view's keys naming the 32-bit DLL.
library() { grep -i '^HKCR\\TYPELIB\\' "$1" || true; }
others() { grep -vi '^HKCR\\TYPELIB\\' "$1" || true; }
library "$out/msi-64.txt" >"$out/library-64.txt"
library "$out/msi-32.txt" | diff "$out/library-64.txt" - >/dev/null ||
  fail "the type library's keys differ between the views"
grep -qiF '\0\WIN32 | @ | C:\Program Files (x86)\Velmora\velmora.dll' "$out/library-64.txt" &&
  grep -qiF '\0\WIN64 | @ | C:\Program Files\Velmora\velmora.dll' "$out/library-64.txt" ||
  fail "the type library does not name both DLLs ($out/library-64.txt)"
others "$out/msi-64.txt" | sed 's/Program Files\\Velmora/Program Files (x86)\\Velmora/' \
  >"$out/want-32.txt"
others "$out/msi-32.txt" | diff "$out/want-32.txt" - >"$out/diff-32.txt" ||
  fail "the 32-bit view differs from the 64-bit one (< expected, > found):
$(cat "$out/diff-32.txt")"

echo "== the installed server from cscript, its home in the registry"
"$wine" reg add 'HKCU\Software\Velmora' /v Home /t REG_SZ /d "$(winpath "$linux_build/demo-home")" \
  /f >/dev/null || fail "reg add failed"
log="$out/installed"
env -u VELMORA_HOME WINEDEBUG=-all,fixme+wscript \
  "$wine" cscript //nologo "$(winpath "$repo/tests/com/velmora_com_test.vbs")" installed \
  "$(winpath "$repo/demo/lots.csv")" "$(winpath "$out")" 2>"$log.err" | tr -d '\r' >"$log.out" || true
grep -E '^(FAIL|[0-9]+ passed)' "$log.out" || true
! grep -q OnScriptError "$log.err" || fail "script error (Wine's cscript hides its text)"
grep -qE '^[0-9]+ passed, 0 failed$' "$log.out" || fail "no clean summary line ($log.out)"
python3 "$repo/tests/com/compare_json.py" --velmora "$linux_build/velmora" --lots /dev/null \
  --home "sqlite=$linux_build/demo-home" "$log.out"
grep -q '^JSON ' "$log.out" || fail "the installed server ran no check"

echo "== msiexec /x $msi /qn"
"$wine" msiexec /x "$(winpath "$msi")" /qn || fail "msiexec /x failed (status $?)"
[ ! -e "$folder64/velmora.dll" ] && [ ! -e "$folder32/velmora.dll" ] || fail "a DLL was left"
for view in 64 32; do
  our_keys "$view" removed
  [ ! -s "$out/removed-$view.txt" ] || fail "keys left in the $view-bit view after msiexec /x:
$(cat "$out/removed-$view.txt")"
done

echo "== the same keys as DllRegisterServer"
mkdir -p "$folder64"
cp "$dll64" "$folder64/velmora.dll"
"$wine" regsvr32 /s 'C:\Program Files\Velmora\velmora.dll' || fail "regsvr32 failed (status $?)"
our_keys 64 self
"$wine" regsvr32 /u /s 'C:\Program Files\Velmora\velmora.dll' || fail "regsvr32 /u failed"
# What regsvr32 of the 64-bit DLL writes: all but the 32-bit DLL's path. An installer's folder
# ends in a backslash, registration's help folder does not: the same folder.
grep -viF '\0\WIN32 | @ |' "$out/msi-64.txt" | sed 's/^\(.*\\HELPDIR | @ | .*\)\\$/\1/' |
  diff "$out/self-64.txt" - >"$out/diff-self.txt" ||
  fail "the package's keys differ from DllRegisterServer's (< regsvr32, > msiexec):
$(cat "$out/diff-self.txt")"
echo "$(wc -l <"$out/msi-64.txt") values in each view, as DllRegisterServer writes them; all removed"
