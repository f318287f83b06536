# Sundown Arena: `make play` builds the game and its assets and starts it;
# `make test` builds everything and runs every test (plus the tests that need
# no display again under AddressSanitizer and UndefinedBehaviorSanitizer).
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300

.PHONY: play test deps build build-test asan fuzz bench clean

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

play: build
	cd $(BUILD) && ./sundown

build-test: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSUNDOWN_SANITIZE=ON -DSUNDOWN_DISPLAY_TESTS=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest -L nodisplay --output-on-failure -j $(JOBS)

test: build-test
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) asan

# Each fuzz target for FUZZ_SECONDS, seeded with the assets build-test generates.
fuzz: build-test
	./fuzz/run-fuzzers $(BUILD) $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	./bench/run-all $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
