# The front door: every command installs what it needs first, so each works alone on a fresh machine.
PRESET ?= default
BUILD_DIR := $(if $(filter default,$(PRESET)),build,build-$(PRESET))
FUZZ_SECONDS ?= 60
CMAKE_ARGS ?=

# Packages take their file times from the last commit, so two builds of it give the same bytes.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

.PHONY: all deps configure build run test test-sanitize valgrind bench package package-check fuzz clean web web-serve

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake --preset $(PRESET) $(CMAKE_ARGS)

build: configure
	cmake --build --preset $(PRESET)

run: build
	./$(BUILD_DIR)/app/namoro

# The sanitizer build leaves the web page alone: its checks are of the native code.
test: build $(if $(filter default,$(PRESET)),web)
	ctest --preset $(PRESET) -j2

# Every test again under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	$(MAKE) test PRESET=sanitize

# A short real run (start, Start, a few clicks, End) under Valgrind on a private X server.
valgrind: build
	./$(BUILD_DIR)/tests/valgrind/namoro_valgrind_run valgrind --error-exitcode=1 --leak-check=full \
		--errors-for-leak-kinds=definite --track-origins=yes --child-silent-after-fork=yes \
		--suppressions=tests/valgrind/system.supp \
		./$(BUILD_DIR)/app/namoro

bench: build web
	./scripts/bench.sh $(BUILD_DIR)

package: build
	rm -f $(BUILD_DIR)/namoro_*.deb
	cd $(BUILD_DIR) && umask 022 && cpack -G DEB # modes in the archive never follow the builder's umask
	lintian --fail-on error,warning $(BUILD_DIR)/namoro_*.deb

# The package reproducible, installed with apt on a fresh Debian 12 and played on X11 and Wayland.
package-check: package
	./scripts/package-check.sh $(BUILD_DIR)

# Each fuzz target for FUZZ_SECONDS, one after another, from the committed corpora in fuzz/corpus.
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	./scripts/fuzz.sh run build-fuzz $(FUZZ_SECONDS)

# The web page in build/web/: the model in WebAssembly (emscripten) and its static files. Its
# build-time tools come from the native build; giflib from its Debian source.
WEB_BUILD := $(BUILD_DIR)/web-build
# emscripten's JavaScript tools need acorn, which Debian keeps outside node's own search path.
web: export NODE_PATH := /usr/share/nodejs
web: build
	./scripts/giflib-source.sh $(WEB_BUILD)/giflib
	emcmake cmake -S . -B $(WEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
		-DNAMORO_HOST_BUILD=$(abspath $(BUILD_DIR)) -DNAMORO_GIFLIB_SOURCE=$(abspath $(WEB_BUILD))/giflib/src \
		-DNAMORO_WEB_DIR=$(abspath $(BUILD_DIR))/web >/dev/null
	cmake --build $(WEB_BUILD)

# Serves build/web/ on this machine only; the address is printed.
WEB_PORT ?= 8640
web-serve: web
	@echo "namoro: http://127.0.0.1:$(WEB_PORT)/"
	/usr/bin/python3 -m http.server --bind 127.0.0.1 --directory $(BUILD_DIR)/web $(WEB_PORT)

clean:
	rm -rf build build-sanitize build-fuzz
