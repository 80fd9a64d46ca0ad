#!/usr/bin/env bash
# usage: check-pe.sh DLL i386|x86-64
#
# Checks a built velmora.dll before anyone registers it: the machine type asked for, the exports
# a COM in-process server needs (DllInstall too when it exports one, nothing decorated), imports
# from system DLLs only (a mingw runtime DLL would have to ship beside it), and no A-suffixed
# ODBC function (Wine's odbc32 has none, and the driver means to call the wide ones). Prints
# what is wrong, one line each, and fails; prints one summary line when all is well.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 DLL i386|x86-64" >&2
  exit 2
fi
dll=$1
arch=$2
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}

case $arch in
  i386) want_format=pei-i386 ;;
  x86-64) want_format=pei-x86-64 ;;
  *)
    echo "check-pe: unknown architecture '$arch' (i386 or x86-64)" >&2
    exit 2
    ;;
esac
if [ ! -f "$dll" ]; then
  echo "check-pe: $dll: no such file" >&2
  exit 1
fi

headers=$("$objdump" -p "$dll")
problems=()

format=$(sed -nE 's/.*file format ([^ ]+).*/\1/p' <<<"$headers" | head -n 1)
if [ "$format" != "$want_format" ]; then
  problems+=("file format '$format', expected $want_format")
fi

# Exports: the names of the [Ordinal/Name Pointer] table.
mapfile -t exports < <(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" |
  sed -nE 's/^[[:space:]]*\[[[:space:]]*[0-9]+\] (.+)$/\1/p')
for name in DllGetClassObject DllCanUnloadNow DllRegisterServer DllUnregisterServer; do
  if ! printf '%s\n' "${exports[@]}" | grep -qx "$name"; then
    problems+=("export $name is missing")
  fi
done
allowed_export='^(DllGetClassObject|DllCanUnloadNow|DllRegisterServer|DllUnregisterServer|DllInstall)$'
for name in "${exports[@]}"; do
  if ! [[ $name =~ $allowed_export ]]; then
    problems+=("unexpected export '$name'")
  fi
done

# Imports: the DLL Name lines, and under each the functions taken from it.
mapfile -t imported_dlls < <(sed -nE 's/^[[:space:]]*DLL Name: (.+)$/\1/p' <<<"$headers")
if [ ${#imported_dlls[@]} -eq 0 ]; then
  problems+=("no import table found")
fi
for name in "${imported_dlls[@]}"; do
  lower=${name,,}
  case $lower in
    kernel32.dll | advapi32.dll | ole32.dll | oleaut32.dll | msvcrt.dll | user32.dll | odbc32.dll) ;;
    api-ms-win-*.dll) ;;
    *) problems+=("imports $name, which is not a system DLL") ;;
  esac
done
mapfile -t odbc_functions < <(awk '
  /^[[:space:]]*DLL Name:/ { in_odbc = (tolower($3) == "odbc32.dll"); next }
  in_odbc && /^[[:space:]]*$/ { in_odbc = 0 }
  in_odbc && $1 ~ /^[0-9a-f]+$/ && NF >= 3 { print $3 }' <<<"$headers")
for name in "${odbc_functions[@]}"; do
  if [[ $name == *A ]]; then
    problems+=("imports the narrow ODBC function $name from ODBC32.dll")
  fi
done

if [ ${#problems[@]} -ne 0 ]; then
  for p in "${problems[@]}"; do
    echo "check-pe: $dll: $p" >&2
  done
  exit 1
fi
echo "check-pe: $dll: $format, exports ${exports[*]}; imports ${imported_dlls[*]}" \
  "(${#odbc_functions[@]} ODBC functions, none narrow)"
