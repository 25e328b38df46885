# Entry points for people and CI. Every target installs the missing Debian
# packages of the purposes it serves first (NEEDS, the lists of
# scripts/install-dependencies.sh), so each one works on a fresh Debian 12
# machine and a build from source installs no test or packaging tool.

JOBS ?= $(shell nproc)
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
PACKAGE_DIR ?= build-package
THREAD_DIR ?= build-thread
# The test command builds with warnings as errors, so a warning cannot
# land; `make build` alone leaves them warnings.
WARNINGS_AS_ERRORS ?= OFF
test test-build test-sanitize test-thread test-fuzz test-package: WARNINGS_AS_ERRORS = ON
WARNINGS = -DTAVVO_WARNINGS_AS_ERRORS=$(WARNINGS_AS_ERRORS)
# A plain build leaves out the test suite and the benchmarks; the targets
# that run them build them (the test builds compile the benchmarks too, so
# that they cannot rot unseen).
BUILD_TESTS = OFF
test test-build test-sanitize bench: BUILD_TESTS = ON
SUITE = -DTAVVO_BUILD_TESTS=$(BUILD_TESTS)
# A target's own value wins over the one it inherits from the target that
# asked for it, so `make test` still installs each part's needs.
NEEDS = build
test-build test-sanitize test-thread: NEEDS = build suite test
test-fuzz fuzz: NEEDS = build test
package: NEEDS = build package
test-package: NEEDS = build test package
bench: NEEDS = build suite
INSTALL_NEEDS = ./scripts/install-dependencies.sh $(NEEDS)

.PHONY: all dependencies build sanitize-build package demo bench test test-build test-sanitize test-fuzz test-thread test-package fuzz clean

all: build

# Every list at once.
dependencies:
	./scripts/install-dependencies.sh

build:
	$(INSTALL_NEEDS)
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(SUITE) $(WARNINGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

sanitize-build:
	$(INSTALL_NEEDS)
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DTAVVO_SANITIZE=ON $(SUITE) $(WARNINGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)

# The Debian package, $(PACKAGE_DIR)/tavvo_<version>_<arch>.deb: a build of
# its own for /usr with Debian's hardening flags and no run paths, packed
# by CPack from the install rules. Its GNOME Shell extension and its Plasma
# widget are the forms Debian 12's GNOME Shell (43) and Plasma (5.27) load,
# whatever desktop the machine has.
package:
	$(INSTALL_NEEDS)
	cmake -S . -B $(PACKAGE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
	  -DTAVVO_SYSTEM_PACKAGE=ON -DTAVVO_GNOME_SHELL_VARIANT=legacy -DTAVVO_BUILD_TESTS=OFF -DTAVVO_BUILD_BENCHMARKS=OFF $(WARNINGS) \
	  -DTAVVO_PLASMA_VARIANT=5 \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  -DCMAKE_SHARED_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  -DCMAKE_MODULE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build $(PACKAGE_DIR) -j $(JOBS)
	rm -f $(PACKAGE_DIR)/tavvo_*.deb
	cd $(PACKAGE_DIR) && cpack -G DEB

# The package installed on this machine with apt (as root, through sudo
# otherwise), used from /usr, built against and removed again.
test-package: package
	$(INSTALL_NEEDS)
	tests/package/installedPackageTest.sh $(PACKAGE_DIR)/tavvo_*.deb .

# The main job: collect a snapshot from sample Codex and Claude Code data,
# read it back and draw the widget from it.
demo: build
	./scripts/demo.sh $(BUILD_DIR)

# Timings of the hot paths and of whole runs from a cold start, each next
# to its floor from the same run; the budgets are ratios to those floors
# and the memory limits of whole runs (see bench/). Each case runs three
# times and its median counts, so one run slowed by other work decides nothing.
# The collector's runs read a generated history of about 1 GB under the
# build folder, removed afterwards; the watchers of the status bar and the
# notifier are then left idle for a minute.
bench: build
	$(BUILD_DIR)/bin/TavvoBenchmarks --benchmark_repetitions=3 --benchmark_out=$(BUILD_DIR)/bench.json --benchmark_out_format=json
	bench/check-budgets.py $(BUILD_DIR)/bench.json
	bench/process-budgets.sh $(BUILD_DIR)
	bench/collect-budgets.sh $(BUILD_DIR)
	bench/watch-budgets.sh $(BUILD_DIR)

test-build: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

test-sanitize: sanitize-build
	ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j $(JOBS)

# The tests that use the library from many threads at once, under
# ThreadSanitizer. Address randomization is turned off where the system
# allows it, since some kernels map memory where the sanitizer cannot.
test-thread:
	$(INSTALL_NEEDS)
	cmake -S . -B $(THREAD_DIR) -DCMAKE_BUILD_TYPE=Debug -DTAVVO_SANITIZE_THREAD=ON -DTAVVO_BUILD_BENCHMARKS=OFF $(WARNINGS)
	cmake --build $(THREAD_DIR) -j $(JOBS) --target TavvoTests
	if setarch $$(uname -m) -R true 2>/dev/null; then norandom="setarch $$(uname -m) -R"; fi; \
	  TSAN_OPTIONS="suppressions=$(CURDIR)/tests/thread-sanitizer.supp halt_on_error=1" \
	  $$norandom ctest --test-dir $(THREAD_DIR) --output-on-failure -j $(JOBS) -R 'Concurrent|FirstUse'

# The fuzz targets, built with clang under ASan + UBSan in build-fuzz/, each
# run a few thousand times over its seeds.
test-fuzz:
	$(INSTALL_NEEDS)
	JOBS=$(JOBS) WARNINGS_AS_ERRORS=$(WARNINGS_AS_ERRORS) ./fuzz/run-fuzzers.sh --smoke

# Each fuzz target for a minute (FUZZ_SECONDS=n for another length).
fuzz:
	$(INSTALL_NEEDS)
	JOBS=$(JOBS) ./fuzz/run-fuzzers.sh $(or $(FUZZ_SECONDS),60)

# The tests pass in the plain build and under ASan + UBSan, the concurrency
# tests under ThreadSanitizer, the fuzz targets build and run clean, and the
# Debian package installs, works and removes cleanly.
test: test-build test-sanitize test-thread test-fuzz test-package

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(THREAD_DIR) $(PACKAGE_DIR) build-fuzz
