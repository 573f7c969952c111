# SPDX-License-Identifier: GPL-3.0-or-later
# Set-up, build and test in two commands: `make run` and `make test`.
BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
JOBS      ?= $(shell nproc)
WERROR    ?= ON    # compiler warnings are errors, as in CI
DATA      ?= ../shared/fixtures/large
FUZZ_DIR  ?= build-fuzz
FUZZ_SECONDS ?= 600
# ccache, where installed, shares compiled objects between clones of the tree.
LAUNCHER  := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR := $(CURDIR)

.PHONY: deps configure build test run screenshots bench test-asan fuzz clean package test-package \
        windows test-windows screenshots-windows

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTELVIA_WERROR=$(WERROR) $(LAUNCHER) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# build/ostelvia_<version>_amd64.deb, and the check of it that CI runs.
package: build
	@cd $(BUILD_DIR) && cpack -G DEB

test-package: build
	@scripts/test-package $(BUILD_DIR)

# Windows: cross-built into build-windows/ with the Windows kit (see README);
# dist/ gets the portable zip and the installer.
windows: deps
	@JOBS=$(JOBS) scripts/windows-build ostelvia ostelvia-export
	@scripts/windows-dist

test-windows: deps
	@JOBS=$(JOBS) scripts/windows-build
	@cd build-windows/build && ctest --output-on-failure -j $(JOBS)

screenshots-windows: windows
	@scripts/windows-screenshots

run: build
	@scripts/run-demo $(BUILD_DIR)

screenshots: build
	@scripts/screenshots $(BUILD_DIR)

bench: build
	@scripts/bench $(BUILD_DIR) $(DATA)

test-asan: deps
	@cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DOSTELVIA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j $(JOBS)

# libFuzzer over opening and querying a database file, seeded with the fixture
# databases; new inputs collect in $(FUZZ_DIR)/corpus, crashes in $(FUZZ_DIR)/artifacts.
fuzz: deps
	@scripts/install-fuzz-deps
	@CC=clang CXX=clang++ cmake -S fuzz -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_database
	@mkdir -p $(FUZZ_DIR)/corpus $(FUZZ_DIR)/seeds $(FUZZ_DIR)/artifacts
	@cp tests/data/basic/*.mdb tests/robustness/data/*.mdb $(FUZZ_DIR)/seeds/
	@for d in tests/data/broken/*/; do for f in $$d*.mdb; do cp $$f $(FUZZ_DIR)/seeds/broken-$$(basename $$d)-$$(basename $$f); done; done
	@ASAN_OPTIONS=detect_leaks=0 $(FUZZ_DIR)/fuzz_database -max_total_time=$(FUZZ_SECONDS) \
	  -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=$(CURDIR)/$(FUZZ_DIR)/artifacts/ \
	  $(CURDIR)/$(FUZZ_DIR)/corpus $(CURDIR)/$(FUZZ_DIR)/seeds

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR) build-windows dist
