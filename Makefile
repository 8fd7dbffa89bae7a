# Entry points for a fresh Debian 12 machine: `make run`, `make test`, `make bench`,
# `make install` (PREFIX, DESTDIR) and `make package` (a .deb in the build folder).
BUILD_DIR ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
PACKAGES := cmake make g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev \
            libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation fonts-wqy-microhei
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build test bench run install package clean format pictures

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
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

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

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
