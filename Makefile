# Entry points for a fresh Debian 12 machine: `make run`, `make test`, `make bench`,
# `make install` (PREFIX, DESTDIR) and `make package` (a .deb in the build folder), for
# hardening `make test-sanitize`, `make fuzz`, `make lint`, and for Windows `make windows`,
# `make windows-test` and `make windows-package`. Each installs the Debian packages
# it needs and no more; as a user other than root, apt-get runs under sudo, asked for first.
BUILD_DIR ?= build
PREFIX ?= /usr/local
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
LINT_DIR ?= build-lint
JOBS ?= $(shell nproc)
# Extra arguments for the first configure of the build folder (CI: -DZEPHRANOX_WERROR=ON).
CMAKE_ARGS ?=
FUZZ_SECONDS ?= 60
# Building and running the program: the compiler, Qt with its windowing and SVG plugins (the
# window's icon) and the fonts that hold every character the windows show (Liberation Sans
# for Arial; WenQuanYi Micro Hei for the full-width "：" and "，").
RUN_PACKAGES := cmake make g++ pkg-config qt6-base-dev qt6-serialport-dev qt6-qpa-plugins \
                libqt6svg6 libgl-dev libhwy-dev fonts-liberation fonts-wqy-microhei
# The tests and benchmarks; desktop-file-validate checks the desktop entry; the network-port
# tests run ser2net on the loopback (never its system service).
TEST_PACKAGES := $(RUN_PACKAGES) libgtest-dev libgmock-dev libbenchmark-dev desktop-file-utils \
                 ser2net
# clang 14 with its sanitizer and libFuzzer runtimes (libclang-rt-14-dev), clang-tidy,
# cppcheck; llvm-14 brings the symbolizer for readable sanitizer reports.
HARDENING_PACKAGES := $(TEST_PACKAGES) clang-14 libclang-rt-14-dev llvm-14 clang-tidy-14 cppcheck
PACKAGES = $(TEST_PACKAGES)
# Windows, cross-built: MinGW-w64, the host Qt's code generators (moc, rcc, uic) for the Qt
# built from Debian's source, dpkg-dev to unpack the sources, Ninja, GoogleTest's source, Wine
# and Xvfb to run the programs, NSIS for the installer; the real-line test runs the Linux
# amp-sim.
WINDOWS_PACKAGES := cmake make g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools \
                    dpkg-dev ninja-build googletest wine64 xvfb nsis fonts-liberation \
                    fonts-wqy-microhei
WIN_DIR ?= build-windows
# Qt, Highway and GoogleTest for Windows, built once (about 27 minutes on two idle cores).
ZEPHRANOX_QT_WIN ?= $(HOME)/.cache/zephranox/qt-6.4.2-mingw64
export ZEPHRANOX_QT_WIN
# A new build folder for running, installing or packaging builds neither tests nor benchmarks;
# `make test` and `make bench` switch them on.
FIRST_CONFIGURE = -DZEPHRANOX_TESTS=OFF -DZEPHRANOX_BENCH=OFF
CLANGXX := clang++-14
SANITIZERS := address,undefined
export ASAN_OPTIONS ?= detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS ?= suppressions=$(CURDIR)/.ci/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1
export ASAN_SYMBOLIZER_PATH ?= /usr/lib/llvm-14/bin/llvm-symbolizer
FUZZ_TARGETS := $(basename $(notdir $(wildcard fuzz/*.cpp)))
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# The build's own make prints no "Entering/Leaving directory" lines.
MAKEFLAGS += --no-print-directory

.PHONY: deps configure with-tests build test bench run check-display install package clean format \
        format-check pictures test-sanitize fuzz lint windows windows-test windows-package

# Installs the missing packages at the start, so that any password is asked for before the
# build and never again. Root needs no sudo; without sudo, a user is told what to install.
deps:
	@missing=""; for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' \
	        || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    if [ -n "$(SUDO)" ] && ! command -v sudo > /dev/null; then \
	        echo "missing:$$missing"; \
	        echo "as root: apt-get install$$missing   (or install sudo and add yourself to the group sudo)"; \
	        exit 1; \
	    fi; \
	    echo "installing:$$missing"; \
	    $(SUDO) apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(FIRST_CONFIGURE) $(CMAKE_ARGS)

configure: deps $(BUILD_DIR)/CMakeCache.txt

# Switches the tests and benchmarks on in a build folder that was made without them.
with-tests: FIRST_CONFIGURE =
with-tests: configure
	@grep -qx 'ZEPHRANOX_TESTS:BOOL=ON' $(BUILD_DIR)/CMakeCache.txt \
	    && grep -qx 'ZEPHRANOX_BENCH:BOOL=ON' $(BUILD_DIR)/CMakeCache.txt \
	    || cmake -S . -B $(BUILD_DIR) -DZEPHRANOX_TESTS=ON -DZEPHRANOX_BENCH=ON

build: with-tests
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD_DIR)/bench/zephranox_bench

# The README's pictures of the two windows, drawn offscreen by the program's own code on the
# simulated amplifier, and the Windows program's icon file; run again whenever the windows or
# the icon change.
pictures: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target readme-pictures
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/readme-pictures docs \
	    packaging/windows/zephranox.ico

# Only the installed programs are built, not the tests and benchmarks; only the copying runs
# under sudo, and only when the destination is not writable. The password is asked for
# before the build, not after it.
INSTALL_DEST = dest="$(DESTDIR)$(PREFIX)"; while [ ! -e "$$dest" ]; do dest=$$(dirname "$$dest"); done; \
	pre=""; [ -w "$$dest" ] || pre="$(SUDO)"
install: PACKAGES = $(RUN_PACKAGES)
install: configure
	@$(INSTALL_DEST); if [ -n "$$pre" ]; then $$pre -v || exit 1; fi
	cmake --build $(BUILD_DIR) -j $(JOBS) --target installables
	@$(INSTALL_DEST); echo "installing into $(DESTDIR)$(PREFIX)"; \
	$$pre env DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# dpkg-shlibdeps (dpkg-dev) and file find the package's library dependencies; lintian checks
# the package and fails on an error or a warning.
package: PACKAGES = $(RUN_PACKAGES) dpkg-dev file lintian
package: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target installables
	cd $(BUILD_DIR) && cpack -G DEB
	lintian --fail-on error,warning $(BUILD_DIR)/zephranox_*.deb
	@ls $(BUILD_DIR)/*.deb

# The window needs an X display (Debian's Qt draws through XCB; a Wayland desktop offers
# one too) unless QT_QPA_PLATFORM names another platform. Checked before any package or
# build, in one line instead of Qt's abort.
check-display:
	@if [ -z "$$DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	    echo "make run: no display (DISPLAY is not set): run it in a terminal on the desktop, or try xvfb-run make run (package xvfb)"; \
	    exit 1; \
	fi

# The program with the simulated amplifier on a virtual serial port; amp-sim ends with it.
# Builds only these two programs. The port is a link in the build folder, which needs no root
# (a link a killed run left behind is replaced), and the window is told it with --port.
run: PACKAGES = $(RUN_PACKAGES)
run: check-display configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target zephranox amp-sim
	@port="$(abspath $(BUILD_DIR))/ttyV0"; \
	if [ -L "$$port" ]; then rm -f "$$port"; fi; \
	$(BUILD_DIR)/tools/amp-sim --quiet --link "$$port" > $(BUILD_DIR)/amp-sim.port & sim=$$!; \
	trap 'kill $$sim 2>/dev/null; wait $$sim 2>/dev/null' EXIT INT TERM; \
	for i in $$(seq 30); do [ -s $(BUILD_DIR)/amp-sim.port ] && break; sleep 0.1; done; \
	if [ ! -s $(BUILD_DIR)/amp-sim.port ]; then echo "amp-sim did not start"; exit 1; fi; \
	echo "simulated amplifier on $$port"; \
	$(BUILD_DIR)/src/zephranox --port "$$port"

# The whole suite built with clang and the address and undefined-behaviour sanitizers in its
# own folder. Qt itself is not instrumented.
test-sanitize: PACKAGES = $(HARDENING_PACKAGES)
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=$(CLANGXX) -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
	    -DZEPHRANOX_SANITIZE=$(SANITIZERS) -DZEPHRANOX_BENCH=OFF
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every fuzz/<target>.cpp for FUZZ_SECONDS each, seeded from fuzz/corpus/<target>/. Inputs
# the fuzzer adds go to $(FUZZ_DIR)/corpus/<target>/; a crash leaves its input in
# fuzz/crashes/<target>/ and stops the run with an error.
fuzz: PACKAGES = $(HARDENING_PACKAGES)
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
lint: PACKAGES = $(HARDENING_PACKAGES)
lint: deps
	cmake -S . -B $(LINT_DIR) -DCMAKE_CXX_COMPILER=$(CLANGXX) \
	    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DZEPHRANOX_BENCH=OFF > /dev/null
	cmake --build $(LINT_DIR) --target zephranox_device_autogen zephranox_gui_autogen > /dev/null
	run-clang-tidy-14 -quiet -j $(JOBS) -p $(LINT_DIR) $(addprefix $(CURDIR)/,$(LINT_SOURCES))
	cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ --library=qt \
	    --enable=warning,performance,portability --inline-suppr \
	    --suppressions-list=.ci/cppcheck.supp -I src/device -I src/gui $(LINT_SOURCES)

# The program, the tools and the tests for Windows in $(WIN_DIR)/bin, beside the libraries and
# plugins they load. Warnings are errors here as in CI.
windows: PACKAGES = $(WINDOWS_PACKAGES)
windows: deps
	packaging/windows/build-qt.sh
	@[ -f $(WIN_DIR)/CMakeCache.txt ] || cmake -S . -B $(WIN_DIR) -G Ninja \
	    -DCMAKE_TOOLCHAIN_FILE=$(ZEPHRANOX_QT_WIN)/lib/cmake/Qt6/qt.toolchain.cmake \
	    -DQT_CHAINLOAD_TOOLCHAIN_FILE=$(CURDIR)/packaging/windows/mingw64-toolchain.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DZEPHRANOX_TESTS=ON -DZEPHRANOX_BENCH=OFF \
	    -DZEPHRANOX_WERROR=ON -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=$(abspath $(WIN_DIR))/bin \
	    $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
	cmake --build $(WIN_DIR) -j $(JOBS)
	packaging/windows/stage-runtime.sh $(WIN_DIR)/bin

# The Windows tests under Wine (WINDOWS_TESTS: some of the test programs; all by default),
# then the window code over Wine's COM5 to amp-sim.
WINDOWS_TESTS ?=
windows-test: PACKAGES = $(WINDOWS_PACKAGES) $(RUN_PACKAGES)
windows-test: windows configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target amp-sim
	packaging/windows/wine-tests.sh $(WIN_DIR) $(BUILD_DIR)/tools/amp-sim $(WINDOWS_TESTS)

windows-package: windows
	packaging/windows/package.sh $(WIN_DIR)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails on any file that `make format` would change.
format-check: PACKAGES += clang-format
format-check: deps
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
