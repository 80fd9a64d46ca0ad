# Velmora: the two commands of the README, and the pieces they are made of.
#   make demo   set up, build, and run a check on the demo fab
#   make test   set up, build, and run every test (with g++, and again built with clang under
#               AddressSanitizer and UBSan), and try the installed package
#   make bench  the check benchmarks on scaled fabs (SQLite and PostgreSQL; bench/README.md)
#   make bench-batch   the throughput of velmora batch (--jobs 2 against --jobs 1) and the share
#                      of its HTML report
#   make windows       the COM server velmora.dll for x64 and x86, cross-built with mingw-w64

JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
CLANG_BUILD ?= build-clang
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
DEMO_LOT ?= LOT-A01
DEMO_STEP ?= S-FQC-100

.PHONY: setup build build-demo build-asan build-clang build-fuzz demo test test-plain test-asan test-odbc \
  test-clang test-package test-browser abi-list fuzz fuzz-smoke soak bench bench-compare \
  bench-time bench-smoke bench-batch windows clean

setup:
	./scripts/setup.sh

# Our builds treat warnings as errors; a plain `cmake` build (a packager's) does not.
build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

# The sanitized build is also the second compiler's: Debian's clang builds the whole project
# (library, command, tests) with warnings as errors, and the tests run under AddressSanitizer and
# UBSan. One tree for both keeps `make test` within its time on two cores.
build-asan: setup
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_WERROR=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# An optimised clang build, unsanitized (not part of `make test`).
build-clang: setup
	cmake -S . -B $(CLANG_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(CLANG_BUILD) -j $(JOBS)

test-clang: build-clang
	ctest --test-dir $(CLANG_BUILD) --output-on-failure -j $(JOBS)

# The libFuzzer targets (fuzz/), built with clang under AddressSanitizer and UBSan.
build-fuzz: setup
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DVELMORA_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Only what the demo needs: the command, the library and the demo home (not the tests).
build-demo: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS) --target velmora-cli

demo: build-demo
	$(BUILD)/velmora check --home $(BUILD)/demo-home --lot $(DEMO_LOT) --step $(DEMO_STEP)

test-plain: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The client/server tests (suites OdbcPg*) against a PostgreSQL server that the script starts
# on loopback and always stops; in the other two runs they skip, having no server. One at a time:
# the tests of a lost server end every backend of the inspection database, which would end the
# connections of a test running beside them.
ODBC_TESTS = --output-on-failure --no-tests=error -R ^OdbcPg -j 1
test-odbc: build build-asan
	./scripts/pg-test-server.sh sh -c '\
	  ctest --test-dir $(BUILD) $(ODBC_TESTS) && \
	  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir $(ASAN_BUILD) $(ODBC_TESTS)'

# Every fuzz target for FUZZ_SECONDS each, two at a time, on a scratch copy of its seed corpus;
# a crash, leak or violated property fails it and leaves the reproducer under $(FUZZ_BUILD)/.
fuzz: build-fuzz
	./scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The short run that make test includes.
fuzz-smoke: build-fuzz
	./scripts/fuzz.sh $(FUZZ_BUILD) 20

# The installed package, outside the source tree: the C, C++ and Python examples built and run
# against a temporary prefix.
test-package: build
	./scripts/test-package.sh $(BUILD)

# Rewrites tests/abi/exported-symbols.txt after an intended change of the library's interface.
abi-list: build
	cmake --build $(BUILD) --target velmora-abi-list

# The HTML reports in headless Chromium (suite ReportInBrowser; it skips in the other runs, having
# no browser): screenshots and the reports it loaded under $(BUILD)/browser-test/.
CHROMIUM ?= chromium
test-browser: build
	VELMORA_TEST_CHROMIUM=$(CHROMIUM) \
	  ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -R ^ReportInBrowser

test: test-plain test-asan test-odbc test-package fuzz-smoke test-browser bench-smoke test-windows

# 10,000 check runs in one process on one context: resident memory may grow by at most 1 MiB
# after the first 100 runs. Not part of `make test` (it takes a few minutes).
SOAK_RUNS ?= 10000
soak: build
	cmake --build $(BUILD) --target velmora-soak -j $(JOBS)
	$(BUILD)/bench/velmora-soak --home $(BUILD)/demo-home --lot $(DEMO_LOT) --step $(DEMO_STEP) \
	  --runs $(SOAK_RUNS)

bench-batch: build
	./bench/batch_throughput.sh $(BUILD)

# The benchmarks (bench/README.md), under a PostgreSQL server started on loopback with the
# 100-lot fab loaded; the fabs are written on first use. make bench does both parts in one run:
#   bench-compare  every lot of the fabs checked with the statement cache on and off, the output
#                  compared (about 40 minutes, one process per core; needs no quiet machine);
#   bench-time     a 25-wafer, 20-item lot checked on fabs of 100, 1,000 and 10,000 lots (SQLite)
#                  and of 100 lots over ODBC, cache on and off, in repetitions of random order
#                  (about 10 minutes; run it on a quiet machine).
BENCH = $(BUILD)/bench
BENCH_MIN_TIME ?= 3
BENCH_REPETITIONS ?= 3
BENCH_FABS = --fab $(BENCH)/fab-100 --fab $(BENCH)/fab-1000 --fab $(BENCH)/fab-10000 \
  --pg-fab $(BENCH)/fab-100
BENCH_TIMING = --benchmark_min_time=$(BENCH_MIN_TIME) \
  --benchmark_repetitions=$(BENCH_REPETITIONS) --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true
BENCH_RUN = cmake --build $(BUILD) --target velmora-bench-fabs -j $(JOBS) && \
  VELMORA_PG_FAB=$(BENCH)/fab-100 ./scripts/pg-test-server.sh $(BENCH)/velmora-bench $(BENCH_FABS)
bench: build
	$(BENCH_RUN) $(BENCH_TIMING)
bench-compare: build
	$(BENCH_RUN) --compare-only
bench-time: build
	$(BENCH_RUN) --no-compare $(BENCH_TIMING)

# A few seconds: a fab of 14 lots and every lot of the demo home at every step compared with the
# cache on and off, and one check of each benchmark.
bench-smoke: build
	cmake --build $(BUILD) --target velmora-bench-smoke-fab -j $(JOBS)
	$(BENCH)/velmora-bench --smoke --fab $(BENCH)/fab-14 --demo $(BUILD)/demo-home \
	  --benchmark_min_time=0.000001

# The COM in-process server for Windows (x64 and x86: VB6 clients are 32-bit), cross-built with
# mingw-w64 into $(WIN64_BUILD)/velmora.dll and $(WIN32_BUILD)/velmora.dll with warnings as
# errors, then checked: machine type, exports, imports of system DLLs only. SQLite is
# compiled in from Debian's source package at the installed version, downloaded and prepared
# once into $(WIN_SOURCES) (make clean keeps it).
WIN64_BUILD ?= build-win64
WIN32_BUILD ?= build-win32
WIN_SOURCES ?= build-win-sources
WIN_CMAKE = -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=ON \
  -DVELMORA_WINDOWS_SOURCES=$(abspath $(WIN_SOURCES))
windows: setup
	cmake -S . -B $(WIN64_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw64.cmake \
	  $(WIN_CMAKE)
	cmake --build $(WIN64_BUILD) -j $(JOBS)
	cmake -S . -B $(WIN32_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw32.cmake \
	  $(WIN_CMAKE)
	cmake --build $(WIN32_BUILD) -j $(JOBS)
	./scripts/check-pe.sh $(WIN64_BUILD)/velmora.dll x86-64
	./scripts/check-pe.sh $(WIN32_BUILD)/velmora.dll i386

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(CLANG_BUILD) $(FUZZ_BUILD) $(WIN64_BUILD) $(WIN32_BUILD)

# ---------------------------------------------------------------------------------------------
# The Windows COM server under Wine, and its installer (needs `make build` and `make windows`).
#   test-windows          the 64-bit DLL in a fresh Wine prefix: regsvr32, the VBScript suite
#                         tests/com/ compared with the Linux command (demo home, a host's own
#                         objects, ODBC to a PostgreSQL server), regsvr32 /u; then the installer
#   test-windows32        the same on the 32-bit DLL under wine32 (install-wine32 first; not part
#                         of make test)
#   windows-package       the MSI of both DLLs; test-windows-package installs and removes it
VELMORA_VERSION = $(shell sed -n 's/^project.velmora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
WINDOWS_MSI = $(WIN64_BUILD)/velmora-$(VELMORA_VERSION).msi

.PHONY: test-windows test-windows32 install-wine32 windows-package test-windows-package

TEST_WINDOWS_PACKAGE = ./scripts/test-windows-package.sh $(WINDOWS_MSI) $(WIN64_BUILD)/velmora.dll \
  $(WIN32_BUILD)/velmora.dll $(BUILD)

test-windows: build windows-package
	./scripts/test-windows.sh 64 $(BUILD) $(WIN64_BUILD)
	$(TEST_WINDOWS_PACKAGE)

# wine32 comes from the i386 archive; the script leaves the machine's architectures and package
# sources as they were when it cannot install it.
install-wine32:
	./scripts/install-wine32.sh

test-windows32: build windows install-wine32
	./scripts/test-windows.sh 32 $(BUILD) $(WIN32_BUILD)

windows-package: windows
	python3 scripts/windows-package.py --idl src/com/velmora.idl --version $(VELMORA_VERSION) \
	  --dll64 $(WIN64_BUILD)/velmora.dll --dll32 $(WIN32_BUILD)/velmora.dll --output $(WINDOWS_MSI)

test-windows-package: build windows-package
	$(TEST_WINDOWS_PACKAGE)
