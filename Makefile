# The front door: every command installs what it needs first, so each works alone on a fresh machine.
PRESET ?= default
BUILD_DIR := $(if $(filter default,$(PRESET)),build,build-$(PRESET))
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test test-sanitize valgrind bench package fuzz clean

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

# A short real run (start, Start, a few clicks, End) under Valgrind on a private X server.
valgrind: build
	./$(BUILD_DIR)/tests/valgrind/namoro_valgrind_run valgrind --error-exitcode=1 --leak-check=full \
		--errors-for-leak-kinds=definite --track-origins=yes --child-silent-after-fork=yes \
		--suppressions=tests/valgrind/system.supp \
		./$(BUILD_DIR)/app/namoro

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
	rm -rf build build-sanitize build-fuzz
