# Two commands for a new user: `make run` and `make test`. Both install what is missing first.
# `make run` builds only what it starts; `make test` builds everything, the test programs too.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
RUN_TARGETS := quorvel quorvel-picsim quorvel-convert

# ccache (used when installed) keys on paths relative to the clone, so a second clone or a clean
# build compiles from the cache. Files of a fresh clone are all new, and the precompiled headers
# carry their own macros and times: ccache needs to be told that these may be trusted.
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1
export CCACHE_SLOPPINESS ?= pch_defines,time_macros,include_file_mtime,include_file_ctime

.PHONY: all deps build build-run run test test-sanitize bench install screenshot format clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_WERROR=ON

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

build-run: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target $(RUN_TARGETS)

run: build-run
	@scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_SANITIZE=ON -DQUORVEL_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE gpsim

bench: build-run
	@scripts/bench.sh $(BUILD)

install: build
	cmake --install $(BUILD)

screenshot: build-run
	@scripts/screenshot.sh $(BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-portable

# The Debian package: build/quorvel_<version>_<arch>.deb (README, "Packaging").
PORTABLE_BUILD ?= build-portable
# The window's send and terminal tests are part of the window tests' program.
PORTABLE_TESTS := test_port_serial test_send_core test_send_buttons test_terminal
PORTABLE_TARGETS := test_port_serial test_send_core quorvel_app_tests

.PHONY: package test-portable

package: build
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/quorvel_*.deb

# The serial and send tests against the portable serial code (Qt Serial Port's calls alone, as
# other systems build it), in a build of their own with only those tests.
test-portable: deps
	cmake -S . -B $(PORTABLE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_WERROR=ON \
	      -DQUORVEL_PORTABLE_SERIAL=ON
	cmake --build $(PORTABLE_BUILD) -j $(JOBS) --target $(PORTABLE_TARGETS)
	cd $(PORTABLE_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) \
	      -R '^($(shell echo $(PORTABLE_TESTS) | tr ' ' '|'))$$'
