# The front door: every command installs what it needs first, so each works alone on a fresh machine.
PRESET ?= default
BUILD_DIR := $(if $(filter default,$(PRESET)),build,build-$(PRESET))

.PHONY: all deps configure build run test test-sanitize bench package clean

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: build
	./$(BUILD_DIR)/app/namoro

test: build
	ctest --preset $(PRESET) -j2

# Every test again under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	$(MAKE) test PRESET=sanitize

bench: build
	./scripts/bench.sh $(BUILD_DIR)

package: build
	cd $(BUILD_DIR) && cpack -G DEB

clean:
	rm -rf build build-sanitize
