#!/usr/bin/env bash
# Installs the Debian packages that Velmora needs to build, run and test, when they are missing.
# Runs apt-get as root, or through sudo otherwise. Safe to run again: it installs only what is
# not there yet.
set -euo pipefail

packages=(
  build-essential cmake pkg-config           # toolchain
  libsqlite3-dev sqlite3                      # embedded database and the shell that builds the demo
  unixodbc-dev odbc-postgresql tdsodbc        # ODBC and the drivers for PostgreSQL and SQL Server
  libinih-dev                                 # INI files
  libcli11-dev                                # command line
  nlohmann-json3-dev                          # JSON output
  libgtest-dev libgmock-dev                   # tests
  python3 python3-pytest                      # the Python module and its tests
  libbenchmark-dev                            # benchmarks
  clang libclang-rt-14-dev                    # the second compiler: sanitized tree, fuzz targets
  postgresql-15 postgresql-15-orafce          # the server the ODBC tests run against
  chromium                                    # headless browser that loads the HTML report in tests
  g++-mingw-w64-x86-64-posix                  # make windows: the x64 DLL (posix threads: std::mutex)
  g++-mingw-w64-i686-posix                    # make windows: the x86 DLL, which VB6 clients load
  mingw-w64-tools                             # widl: the COM type library and interface headers
  libwine-dev                                 # the system IDL files widl imports (oaidl.idl)
  wine wine64                                 # stdole2.tlb for widl; running the DLL in tests
  wixl                                        # the Windows installer (MSI)
  tcl                                         # tclsh: makes SQLite's amalgamation from Debian's
                                              # sqlite3 source package for the Windows DLL
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "setup: run as root or install sudo; missing packages: ${missing[*]}" >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
