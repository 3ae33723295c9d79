# SPDX-License-Identifier: GPL-3.0-or-later
# One entry point for players, developers and CI.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
# What the build is for: play (the game only), test (everything), package.
DEPS ?= test

.PHONY: deps configure build play test test-sanitize bench package web play-web test-web windows \
  test-windows clean

deps:
	@scripts/install-deps $(DEPS)

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The game reads its music, sounds and magazine pictures from the directory it
# starts in: that is assets/. Playing needs no tests: neither their packages
# nor their build.
play:
	@$(MAKE) --no-print-directory configure DEPS=play CMAKE_FLAGS="-DBRIZZLET_TESTS=OFF $(CMAKE_FLAGS)"
	@cmake --build $(BUILD) -j $(JOBS) --target brizzlet
	cd assets && ../$(BUILD)/brizzlet

# Every test, the real-time ones too; ctest ends with the time each label took
# (unit, scenario, fuzz, slow, realtime). `ctest -LE realtime` skips the ones
# that play the real windows or sound.
# Then the browser build's tests (test-web) and the Windows build's under
# Wine (test-windows); WEB=0 or WINDOWS=0 leaves them out.
WEB ?= 1
WINDOWS ?= 1
test:
	@$(MAKE) --no-print-directory build CMAKE_FLAGS="-DBRIZZLET_TESTS=ON $(CMAKE_FLAGS)"
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@if [ "$(WEB)" = 1 ]; then $(MAKE) --no-print-directory test-web; fi
	@if [ "$(WINDOWS)" = 1 ]; then $(MAKE) --no-print-directory test-windows; fi

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	$(MAKE) test BUILD=build-sanitize WEB=0 WINDOWS=0 CMAKE_FLAGS="-DBRIZZLET_SANITIZE=ON $(CMAKE_FLAGS)"

bench:
	@$(MAKE) --no-print-directory build CMAKE_FLAGS="-DBRIZZLET_TESTS=ON $(CMAKE_FLAGS)"
	@BRIZZLET_WINDOWS_BUILD=$(abspath $(WINDOWS_BUILD)) BRIZZLET_WEB_BUILD=$(abspath $(WEB_BUILD)) \
	  $(BUILD)/bench/run-benchmarks

# A .deb of the game, in build-package/packages/: its own build, in Debian's
# layout for games, with the distribution's hardening flags, stripped.
PACKAGE_BUILD ?= build-package
HARDENING = DEB_BUILD_MAINT_OPTIONS=hardening=+all
package:
	@scripts/install-deps package
	@cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=None -DBRIZZLET_TESTS=OFF \
	  -DBRIZZLET_GAMES_LAYOUT=ON \
	  -DCMAKE_CXX_FLAGS="$$($(HARDENING) dpkg-buildflags --get CXXFLAGS) $$($(HARDENING) dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(HARDENING) dpkg-buildflags --get LDFLAGS)" \
	  $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack
	@ls $(PACKAGE_BUILD)/packages/*.deb

# The game built for the browser with emscripten: the site in
# $(WEB_BUILD)/site, which any static web server can host, and the same in a
# zip beside it. The libraries it links are built first from Debian's
# sources, once: later runs find them in $(WEB_BUILD)/deps and go straight to
# the game.
# The browser has no synthesizer: the music is rendered here, by the
# native build's render-music (in $(BUILD)), as for Windows.
WEB_BUILD ?= build-web
WEB_CMAKE_FLAGS ?=
web:
	@scripts/install-deps web
	@$(MAKE) --no-print-directory configure DEPS=play
	@cmake --build $(BUILD) -j $(JOBS) --target render-music
	@JOBS=$(JOBS) scripts/build-web-deps $(WEB_BUILD)/deps
	@emcmake cmake -S . -B $(WEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_CROSSCOMPILING_EMULATOR=$$(command -v node) \
	  -DBRIZZLET_RENDER_MUSIC=$(abspath $(BUILD))/tools/render-music $(WEB_CMAKE_FLAGS) >/dev/null
	@cmake --build $(WEB_BUILD) -j $(JOBS)
	@echo "The site is in $(WEB_BUILD)/site/, packed in $$(ls $(WEB_BUILD)/brizzlet-*-web.zip)"

# The browser's game served on this machine only, until Ctrl-C.
WEB_PORT ?= 8000
play-web: web
	@echo "Play Brizzlet at http://127.0.0.1:$(WEB_PORT)/ (Ctrl-C stops the server)"
	@cd $(WEB_BUILD)/site && python3 -m http.server --bind 127.0.0.1 $(WEB_PORT)

# The scenario tests on the runner built for the browser, run by node with
# the machine's files: the same output as the native runner's; then the
# site in headless Chromium: recordings replayed in the page, and a round
# played with the mouse.
test-web: web
	cd $(WEB_BUILD) && ctest --output-on-failure -j $(JOBS)

# Cross-built for 64-bit Windows, in build-windows/: first SDL2, FreeType,
# SDL2_ttf, SDL2_image and SDL2_mixer from Debian's sources, static, into
# build-windows/deps (once: a second run finds them built), then the game
# and the scenario runner, linked static, and the game's zip for players,
# build-windows/brizzlet-VERSION-windows.zip. test-windows runs the scenarios
# and the game from its zip under Wine, and replays a round recorded there
# with the native build's runner, and one recorded by the native game there.
# The music the Windows game plays is rendered by the native build's
# render-music (in $(BUILD)), which runs here.
WINDOWS_BUILD ?= build-windows
WINDOWS_TOOLCHAIN = $(CURDIR)/cmake/mingw-w64.cmake
windows:
	@scripts/install-deps windows
	@$(MAKE) --no-print-directory configure DEPS=play
	@cmake --build $(BUILD) -j $(JOBS) --target render-music
	@JOBS=$(JOBS) scripts/sdl-deps $(WINDOWS_BUILD)/deps -DCMAKE_TOOLCHAIN_FILE=$(WINDOWS_TOOLCHAIN)
	@cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(WINDOWS_TOOLCHAIN) \
	  -DBRIZZLET_DEPS_PREFIX=$(abspath $(WINDOWS_BUILD))/deps/prefix -DBRIZZLET_FLUIDSYNTH=OFF \
	  -DBRIZZLET_RENDER_MUSIC=$(abspath $(BUILD))/tools/render-music \
	  -DBRIZZLET_NATIVE_BUILD=$(abspath $(BUILD)) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@ls $(WINDOWS_BUILD)/brizzlet-*-windows.zip

test-windows: windows
	@$(MAKE) --no-print-directory configure
	@cmake --build $(BUILD) -j $(JOBS) --target brizzlet brizzlet-script
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS) -L windows

clean:
	rm -rf build build-sanitize build-package build-web build-windows
