# The front door: every command installs what it needs first, so each works alone on a fresh machine.
PRESET ?= default
BUILD_DIR := $(if $(filter default,$(PRESET)),build,build-$(PRESET))
FUZZ_SECONDS ?= 60
CMAKE_ARGS ?=

.PHONY: all deps configure build run test test-sanitize valgrind bench figures package package-check fuzz clean web web-serve

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

# The README's figures, only when asked: the contact sheet drawn again, and the timeline that
# the last make bench drew.
figures: build
	cmake --build --preset $(PRESET) --target contact-sheet
	@test -f $(BUILD_DIR)/bench/timeline.png || { echo "no timeline in $(BUILD_DIR)/bench: run make bench first" >&2; exit 1; }
	cp $(BUILD_DIR)/bench/timeline.png docs/bench-timeline.png

# The source package and the .deb from debian/, built by dpkg-buildpackage from the tracked
# files (uncommitted changes included) in build/package, then lintian --pedantic: any tag fails,
# info and pedantic ones too. File times come from debian/changelog, so every build of one
# source gives the same bytes.
# Lintian tags that one release gives and the other's lintian does not know, so that no override
# in debian/ fits both (an override of an unknown tag is an error, an unused one a remark):
#  - Debian 13: appstream-metadata-validation-failed, only because appstreamcli 1.0 wants a
#    homepage the project does not have yet (the package tests validate the metainfo with only
#    that remark lowered); out-of-date-standards-version, as 4.6.2 is the newest policy that
#    Debian 12's lintian knows;
#  - Debian 12: spelling-error-in-binary for "nam", a piece of "the same name" that the compiler
#    cut off; Debian 13's lintian still reads the program for misspellings.
LINTIAN_SUPPRESS_trixie := appstream-metadata-validation-failed,out-of-date-standards-version
LINTIAN_SUPPRESS_bookworm := spelling-error-in-binary
RELEASE := $(shell . /etc/os-release && echo $$VERSION_CODENAME)
package: deps
	rm -rf build/package && mkdir -p build/package/namoro
	tree=$$(git stash create) && git archive "$${tree:-HEAD}" | tar -x -C build/package/namoro
	cd build/package/namoro && find . -exec touch --no-dereference --date=@$$(dpkg-parsechangelog -STimestamp) {} + && \
		env -u SOURCE_DATE_EPOCH dpkg-buildpackage --no-sign
	lintian --pedantic --display-info --fail-on error,warning,info,pedantic \
		--suppress-tags "$(LINTIAN_SUPPRESS_$(RELEASE))" build/package/namoro_*.changes

# The package built in fresh Debian 12 and 13 roots, the same bytes as here, installed with apt
# and tested with autopkgtest on each, played on Wayland, and the README's make test on 13.
package-check: package
	./scripts/package-check.sh

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

# Serves build/web/ on this machine only, every file with Cache-Control: no-cache; the address
# is printed.
WEB_PORT ?= 8640
web-serve: web
	/usr/bin/python3 scripts/web-serve.py $(BUILD_DIR)/web $(WEB_PORT)

clean:
	rm -rf build build-sanitize build-fuzz
