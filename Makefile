# The front door: every command installs what it needs first, so each works alone on a fresh machine.
PRESET ?= default
BUILD_DIR := build
CMAKE_ARGS ?=

# Packages take their file times from the last commit, so two builds of it give the same bytes.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

.PHONY: all deps configure build run test bench package package-check clean

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake --preset $(PRESET) $(CMAKE_ARGS)

build: configure
	cmake --build --preset $(PRESET)

run: build
	./$(BUILD_DIR)/app/namoro

test: build
	ctest --preset $(PRESET) -j2

bench: build
	./scripts/bench.sh $(BUILD_DIR)

package: build
	rm -f $(BUILD_DIR)/namoro_*.deb
	cd $(BUILD_DIR) && umask 022 && cpack -G DEB # modes in the archive never follow the builder's umask
	lintian --fail-on error,warning $(BUILD_DIR)/namoro_*.deb

# The package reproducible, installed with apt on a fresh Debian 12 and played on X11 and Wayland.
package-check: package
	./scripts/package-check.sh $(BUILD_DIR)

clean:
	rm -rf build build-debug
