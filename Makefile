# The front door: every command installs what it needs first, so each works alone on a fresh machine.
PRESET ?= default
BUILD_DIR := build
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test bench package fuzz clean

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

bench: build
	./scripts/bench.sh $(BUILD_DIR)

package: build
	cd $(BUILD_DIR) && cpack -G DEB

# Each fuzz target for FUZZ_SECONDS, one after another, from the committed corpora in fuzz/corpus.
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	./scripts/fuzz.sh run build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build build-debug build-fuzz
