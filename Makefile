# Entry points for a fresh Debian 12 machine: `make run`, `make test`, `make bench`,
# `make install` (PREFIX, DESTDIR) and `make package` (a .deb in the build folder), and for
# hardening `make test-sanitize`, `make fuzz`, `make lint`.
BUILD_DIR ?= build
PREFIX ?= /usr/local
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
LINT_DIR ?= build-lint
JOBS ?= $(shell nproc)
# Extra arguments for the first configure of the build folder (CI: -DZEPHRANOX_WERROR=ON).
CMAKE_ARGS ?=
FUZZ_SECONDS ?= 60
# clang 14 with its sanitizer and libFuzzer runtimes (libclang-rt-14-dev), clang-tidy,
# cppcheck; llvm-14 brings the symbolizer for readable sanitizer reports. The network-port
# tests run ser2net on the loopback (never its system service).
PACKAGES := cmake make g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev \
            libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation fonts-wqy-microhei \
            clang-14 libclang-rt-14-dev llvm-14 clang-tidy-14 cppcheck libhwy-dev ser2net
CLANGXX := clang++-14
SANITIZERS := address,undefined
export ASAN_OPTIONS ?= detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS ?= suppressions=$(CURDIR)/.ci/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1
export ASAN_SYMBOLIZER_PATH ?= /usr/lib/llvm-14/bin/llvm-symbolizer
FUZZ_TARGETS := $(basename $(notdir $(wildcard fuzz/*.cpp)))
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build test bench run install package clean format format-check pictures \
        test-sanitize fuzz lint

deps:
	@missing=""; for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' \
	        || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "installing:$$missing"; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

configure: deps $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD_DIR)/bench/zephranox_bench

# The README's pictures of the two windows, drawn offscreen by the program's own code on the
# simulated amplifier; run again whenever the windows change.
pictures: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target readme-pictures
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/readme-pictures docs

# Only the installed programs are built, not the tests and benchmarks; only the copying runs
# under sudo, and only when the destination is not writable.
install: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target installables
	@dest="$(DESTDIR)$(PREFIX)"; while [ ! -e "$$dest" ]; do dest=$$(dirname "$$dest"); done; \
	pre=""; [ -w "$$dest" ] || pre="$(SUDO)"; \
	echo "installing into $(DESTDIR)$(PREFIX)"; \
	$$pre env DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# dpkg-shlibdeps (dpkg-dev) and file find the package's library dependencies.
package: PACKAGES += dpkg-dev file
package: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target installables
	cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/*.deb

# The program with the simulated amplifier on a virtual serial port; amp-sim ends with it.
# The port is a link in /dev, so without write access there amp-sim runs under sudo.
run: build
	@pre=""; if [ ! -w /dev ]; then pre="$(SUDO)"; $(SUDO) -v || exit 1; fi; \
	rm -f $(BUILD_DIR)/amp-sim.port; \
	$$pre $(BUILD_DIR)/tools/amp-sim --quiet > $(BUILD_DIR)/amp-sim.port & sim=$$!; \
	trap '$$pre kill $$sim 2>/dev/null; wait $$sim 2>/dev/null' EXIT INT TERM; \
	for i in $$(seq 30); do [ -s $(BUILD_DIR)/amp-sim.port ] && break; sleep 0.1; done; \
	port=$$(head -n1 $(BUILD_DIR)/amp-sim.port); \
	if [ -z "$$port" ]; then echo "amp-sim did not start"; exit 1; fi; \
	echo "simulated amplifier on $$port"; \
	$(BUILD_DIR)/src/zephranox

# The whole suite built with clang and the address and undefined-behaviour sanitizers in its
# own folder. Qt itself is not instrumented.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=$(CLANGXX) -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
	    -DZEPHRANOX_SANITIZE=$(SANITIZERS) -DZEPHRANOX_BENCH=OFF
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every fuzz/<target>.cpp for FUZZ_SECONDS each, seeded from fuzz/corpus/<target>/. Inputs
# the fuzzer adds go to $(FUZZ_DIR)/corpus/<target>/; a crash leaves its input in
# fuzz/crashes/<target>/ and stops the run with an error.
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=$(CLANGXX) -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
	    -DZEPHRANOX_SANITIZE=$(SANITIZERS) -DZEPHRANOX_FUZZ=ON -DZEPHRANOX_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@for t in $(FUZZ_TARGETS); do \
	    mkdir -p $(FUZZ_DIR)/corpus/$$t fuzz/crashes/$$t; \
	    echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	    QT_QPA_PLATFORM=offscreen $(FUZZ_DIR)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) \
	        -print_final_stats=1 -artifact_prefix=fuzz/crashes/$$t/ \
	        $(FUZZ_DIR)/corpus/$$t fuzz/corpus/$$t > $(FUZZ_DIR)/fuzz_$$t.log 2>&1; \
	    rc=$$?; tail -n 25 $(FUZZ_DIR)/fuzz_$$t.log; \
	    if [ $$rc != 0 ]; then echo "fuzz_$$t failed: input in fuzz/crashes/$$t/"; exit 1; fi; \
	done

# clang-tidy (checks in .clang-tidy) and cppcheck over src/ and tools/; any finding fails.
LINT_SOURCES = $(shell git ls-files 'src/*.cpp' 'tools/*.cpp' | grep -v '_win\.cpp$$')
lint: deps
	cmake -S . -B $(LINT_DIR) -DCMAKE_CXX_COMPILER=$(CLANGXX) \
	    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DZEPHRANOX_BENCH=OFF > /dev/null
	cmake --build $(LINT_DIR) --target zephranox_device_autogen zephranox_gui_autogen > /dev/null
	run-clang-tidy-14 -quiet -j $(JOBS) -p $(LINT_DIR) $(addprefix $(CURDIR)/,$(LINT_SOURCES))
	cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ --library=qt \
	    --enable=warning,performance,portability --inline-suppr \
	    --suppressions-list=.ci/cppcheck.supp -I src/device -I src/gui $(LINT_SOURCES)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails on any file that `make format` would change.
format-check: PACKAGES += clang-format
format-check: deps
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
