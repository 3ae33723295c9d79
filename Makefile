# One entry point for players, developers and CI.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: deps configure build play test test-sanitize bench package clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The game reads its music, sounds and magazine pictures from the directory it
# starts in: that is assets/.
play: build
	cd assets && ../$(BUILD)/brizzlet

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	$(MAKE) test BUILD=build-sanitize CMAKE_FLAGS="-DBRIZZLET_SANITIZE=ON $(CMAKE_FLAGS)"

bench: build
	@$(BUILD)/bench/run-benchmarks

# A .deb of the game, in build/packages/.
package: build
	cd $(BUILD) && cpack

clean:
	rm -rf build build-sanitize
