# Two commands for a newcomer: `make run` and `make test`. Everything else
# here serves them. Each target installs what it needs when it is missing.

BUILD   ?= build
NATIVE  := $(BUILD)/native
ASAN    := $(BUILD)/asan
WIN     := $(BUILD)/win
WIN64   := $(BUILD)/win64
ART     := $(NATIVE)/art
JOBS    ?= $(shell nproc)

.PHONY: all deps deps-windows native cli asan art windows windows-release dist test test-native test-asan test-sequences \
        test-fuzz test-windows run run-cli run-windows bench fuzz clean

all: native windows

deps:
	@scripts/deps.sh native

deps-windows:
	@scripts/deps.sh windows

configure-native = cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

native: deps
	@$(configure-native)
	@scripts/timed.sh "native build" cmake --build $(NATIVE) -j$(JOBS)

# Only the command line, for `make run`.
cli: deps
	@$(configure-native)
	@cmake --build $(NATIVE) -j$(JOBS) --target quorvane-cli

asan: deps
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@scripts/timed.sh "sanitizer build" cmake --build $(ASAN) -j$(JOBS)

# The pictures of the resources are drawn by our own generator.
art: deps
	@$(configure-native)
	@cmake --build $(NATIVE) -j$(JOBS) --target quorvane-artwork
	@$(NATIVE)/res/gen/quorvane-artwork $(ART)

# The Windows programs: the shipped 32-bit build with the release zip in
# $(WIN) (with its tests where this machine runs 32-bit programs), and the
# 64-bit test build of the same sources in $(WIN64), which runs under
# 64-bit Wine everywhere.
windows: deps-windows art
	@if scripts/runs-32bit.sh; then scripts/timed.sh "Windows 32-bit build" scripts/win-build.sh win32 $(WIN) $(abspath $(ART)); \
	else scripts/timed.sh "Windows 32-bit build (release only)" \
	  scripts/win-build.sh win32 $(WIN) $(abspath $(ART)) Quorvane quorvane-cli dist; fi
	@scripts/timed.sh "Windows 64-bit build" scripts/win-build.sh win64 $(WIN64) $(abspath $(ART))

# The release a Windows user downloads: the 32-bit programs in a zip.
dist: deps-windows art
	@scripts/win-build.sh win32 $(WIN) $(abspath $(ART)) Quorvane quorvane-cli dist
	@ls $(BUILD)/dist/Quorvane-*-win32.zip

test-native: native
	@scripts/timed.sh "native tests" sh -c 'cd $(NATIVE) && ctest --output-on-failure --timeout 300'

test-asan: asan
	@scripts/timed.sh "sanitizer tests" sh -c 'cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure --timeout 600'

test-windows: windows
	@scripts/timed.sh "Windows tests" scripts/windows-tests.sh $(WIN) $(WIN64)

# Every fuzz target for a few seconds: enough to catch a regression on the
# seed corpus and a little beyond it.
test-fuzz: deps
	@scripts/timed.sh "fuzz build and smoke" scripts/fuzz.sh $(BUILD)/fuzz smoke

test: test-native test-asan test-fuzz test-windows

# With a display the real program runs under Wine; without one the same
# install runs through quorvane-cli.
run:
	@if [ -n "$$DISPLAY" ]; then $(MAKE) --no-print-directory run-windows; \
	else echo "No display: running the same install through quorvane-cli."; $(MAKE) --no-print-directory run-cli; fi

run-cli: cli
	@scripts/run.sh $(NATIVE) $(BUILD)/run

# The shipped 32-bit program where this machine runs 32-bit programs, else
# the 64-bit build of the same sources under 64-bit Wine.
run-windows: deps-windows art
	@if scripts/runs-32bit.sh; then scripts/win-build.sh win32 $(WIN) $(abspath $(ART)) Quorvane && \
	  scripts/run-windows.sh $(WIN) $(BUILD)/run; \
	else echo "This machine runs no 32-bit programs: running the 64-bit build under 64-bit Wine."; \
	  scripts/win-build.sh win64 $(WIN64) $(abspath $(ART)) Quorvane && scripts/run-windows.sh $(WIN64) $(BUILD)/run; fi

# Many thousands of command sequences against the model of what the user
# expects (make test runs a few hundred); QUORVANE_SEQUENCES and
# QUORVANE_SEQUENCE_SEED choose how many and from which seed.
test-sequences: native
	@QUORVANE_SEQUENCES=$${QUORVANE_SEQUENCES:-10000} scripts/timed.sh "command sequences" \
	  $(NATIVE)/tests/faults/faults_tests --gtest_filter='CommandSequences.KeepEvery*'

# Every fuzz target for longer (FUZZ_SECONDS each, default 60).
fuzz: deps
	@scripts/fuzz.sh $(BUILD)/fuzz long

bench: deps
	@scripts/bench.sh $(BUILD)/bench

clean:
	rm -rf $(BUILD)
