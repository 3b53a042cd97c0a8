# Two commands for a newcomer: `make run` and `make test`. Everything else
# here serves them. Each target installs what it needs when it is missing.

BUILD   ?= build
NATIVE  := $(BUILD)/native
ASAN    := $(BUILD)/asan
WIN     := $(BUILD)/win
ART     := $(NATIVE)/art
JOBS    ?= $(shell nproc)

.PHONY: all deps deps-windows native asan art windows dist test test-native test-asan test-fuzz test-windows \
        run run-cli run-windows bench fuzz clean

all: native windows

deps:
	@scripts/deps.sh native

deps-windows:
	@scripts/deps.sh windows

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

asan: deps
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(ASAN) -j$(JOBS)

# The pictures of the resources are drawn by our own generator.
art: native
	@$(NATIVE)/res/gen/quorvane-artwork $(ART)

# The 32-bit Windows programs, their tests and the release zip.
windows: deps-windows art
	@scripts/win-build.sh $(WIN) $(abspath $(ART))

# The release a Windows user downloads (built with the Windows programs).
dist: windows
	@ls $(BUILD)/dist/Quorvane-*-win32.zip

test-native: native
	@cd $(NATIVE) && ctest --output-on-failure --timeout 300

test-asan: asan
	@cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure --timeout 600

test-windows: windows
	@scripts/win-test.sh $(WIN)

# Every fuzz target for a few seconds: enough to catch a regression on the
# seed corpus and a little beyond it.
test-fuzz: deps
	@scripts/fuzz.sh $(BUILD)/fuzz smoke

test: test-native test-asan test-fuzz test-windows

# With a display the real program runs under Wine; without one the same
# install runs through quorvane-cli.
run:
	@if [ -n "$$DISPLAY" ]; then $(MAKE) --no-print-directory run-windows; \
	else echo "No display: running the same install through quorvane-cli."; $(MAKE) --no-print-directory run-cli; fi

run-cli: native
	@scripts/run.sh $(NATIVE) $(BUILD)/run

run-windows: windows
	@scripts/run-windows.sh $(WIN) $(BUILD)/run

# Every fuzz target for longer (FUZZ_SECONDS each, default 60).
fuzz: deps
	@scripts/fuzz.sh $(BUILD)/fuzz long

bench: deps
	@scripts/bench.sh $(BUILD)/bench

clean:
	rm -rf $(BUILD)
