# Sundown Arena: `make play` builds the game and its assets and starts it;
# `make test` builds everything and runs every test (plus the tests that need
# no display again under AddressSanitizer and UndefinedBehaviorSanitizer).
# `make install` (PREFIX, DESTDIR), `make uninstall` and `make package` (a
# Debian package in build-package/package/) install and ship the game;
# `make bundle` builds the portable tarball for any Linux distribution
# (build-bundle/sundown-arena-VERSION-linux-x86_64.tar.gz).
# Each first installs the Debian packages it needs and no more: play, install
# and package what building and playing take, bundle those and what building
# the bundle's libraries takes, and test, bench and fuzz everything.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_RUNS ?=
PACKAGE_BUILD ?= build-package
BUNDLE_BUILD ?= build-bundle
PREFIX ?= /usr/local
# A player's or packager's tree: no tests, no benchmarks, no test libraries.
SHIP_FLAGS = -DSUNDOWN_TESTS=OFF -DSUNDOWN_BENCHMARKS=OFF -DSUNDOWN_DISPLAY_TESTS=OFF

.PHONY: play test deps deps-play deps-package deps-bundle build build-test asan fuzz bench clean \
	install uninstall package bundle

deps:
	./scripts/install-deps test
deps-play:
	./scripts/install-deps play
deps-package:
	./scripts/install-deps package
deps-bundle:
	./scripts/install-deps bundle

build: deps-play
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(SHIP_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

play: build
	cd $(BUILD) && ./sundown

build-test: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUNDOWN_TESTS=ON -DSUNDOWN_BENCHMARKS=ON \
	  -DSUNDOWN_DISPLAY_TESTS=ON -DSUNDOWN_DESKTOP_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSUNDOWN_SANITIZE=ON -DSUNDOWN_DISPLAY_TESTS=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest -L nodisplay --output-on-failure -j $(JOBS)

test: build-test
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) asan

# Each fuzz target for FUZZ_SECONDS (or FUZZ_RUNS executions, if given and
# sooner), seeded with the assets build-test generates.
fuzz: build-test
	./fuzz/run-fuzzers $(BUILD) $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_RUNS)

bench: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DSUNDOWN_BENCHMARKS=ON
	cmake --build $(BUILD) -j $(JOBS)
	./bench/run-all $(BUILD)

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

uninstall:
	DESTDIR="$(DESTDIR)" cmake --build $(BUILD) --target uninstall

# A Release tree of its own that builds only what is shipped, with Debian's
# hardening flags.
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package: deps-package
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release $(SHIP_FLAGS) \
	  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)"
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target sundown datos icons documents
	cd $(PACKAGE_BUILD) && cpack

# SDL2 and SDL2_mixer from Debian's source (downloaded once into the tree),
# the game linked with them, and the tarball packed by CPack.
bundle: deps-bundle
	cmake -S . -B $(BUNDLE_BUILD) -DCMAKE_BUILD_TYPE=Release -DSUNDOWN_BUNDLE=ON $(SHIP_FLAGS) \
	  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
	cmake --build $(BUNDLE_BUILD) -j $(JOBS) --target sundown datos icons documents
	cd $(BUNDLE_BUILD) && cpack

# tests/install/bundle-check keeps a Debian root in the bundle tree; never
# remove one that still has something mounted in it.
clean:
	@if grep -q " $(abspath $(BUNDLE_BUILD))/" /proc/mounts; then \
	  echo "clean: something is still mounted under $(BUNDLE_BUILD); unmount it first" >&2; exit 1; fi
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD) $(BUNDLE_BUILD)
