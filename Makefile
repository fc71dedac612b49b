# The two commands of the README: `make run` and `make test`. Both install the Debian packages
# they need when missing, configure and build. `make package` builds the Debian package.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# What building and running needs.
PKGS_RUN := cmake g++ make pkg-config qtbase5-dev qtmultimedia5-dev qttools5-dev-tools \
	libqt5multimedia5-plugins libqt5svg5-dev qt5-image-formats-plugins \
	gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
	libx11-dev libxi-dev libxtst-dev libwayland-dev libwayland-bin libxkbcommon-dev qtwayland5 \
	fonts-noto-cjk \
	libpocketsphinx-dev pocketsphinx-en-us pulseaudio
# What building the Debian package needs on top (dpkg-shlibdeps, and `file` to find the binaries).
PKGS_PACKAGE := $(PKGS_RUN) dpkg-dev file
# What the tests need on top: zlib (the tests' compressed replies), an X server, a Wayland compositor (sway, run headless), the real
# GNOME and KDE Wayland desktops with their portals (mutter, KWin; the GNOME portal's dialog
# answered through AT-SPI), a private sound server, a private session bus, speech test data, the Windows
# cross compilers and Wine (with a Chinese locale) that build and run the Windows cores, and the
# validators of the package's menu entry and metainfo.
PKGS_TEST := $(PKGS_PACKAGE) zlib1g-dev xvfb xauth x11-utils xdotool pulseaudio-utils pocketsphinx-testdata flite sox sway \
	g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 locales appstream desktop-file-utils dbus-daemon \
	dbus-bin mutter xwayland kwin-wayland xdg-desktop-portal xdg-desktop-portal-gnome xdg-desktop-portal-kde \
	at-spi2-core gir1.2-atspi-2.0 python3-gi
# What `make windows` needs: the 32-bit Windows cross compilers, Debian's source tools (Qt and the
# offline engine are built from Debian's source packages), bison for the engine, NSIS for the
# installer; and to run it, 32-bit Wine (the i386 architecture is added first), an X tray and
# xdotool. The tests need them too (they run the Windows build under Wine).
PKGS_WINDOWS := cmake make g++ perl python3 pkg-config g++-mingw-w64-i686-posix dpkg-dev bison nsis \
	wine32:i386 trayer xvfb xauth xdotool x11-utils x11-apps
# What `make check` needs on top: clang with its sanitizer runtimes, libFuzzer and the symbolizer.
PKGS_CHECK := $(PKGS_TEST) clang-14 libfuzzer-14-dev llvm-14

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# ccache, when installed, serves every build; paths inside the clone are taken relative to it and
# the build folder's path is left out of the hash (debug info would put it in), so another clone of
# the same sources reuses the cache.
CCACHE := $(shell command -v ccache 2>/dev/null)
ifneq ($(CCACHE),)
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
LAUNCHER := -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache
endif

.PHONY: run test build package check deps-run deps-test deps-package deps-check screenshots translations \
	windows deps-windows deps-i386

define install_missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
endef

deps-run:
	$(call install_missing,$(PKGS_RUN))

deps-test: deps-i386
	$(call install_missing,$(PKGS_TEST))

# 32-bit Wine comes from the i386 architecture.
deps-i386:
	@dpkg --print-foreign-architectures | grep -qx i386 || { $(SUDO) dpkg --add-architecture i386 && $(SUDO) apt-get update -qq; }

deps-windows: deps-i386
	$(call install_missing,$(PKGS_WINDOWS))

deps-package:
	$(call install_missing,$(PKGS_PACKAGE))

deps-check:
	$(call install_missing,$(PKGS_CHECK))

build:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER) \
		-DZORVEL_WIN_BUILD_DIR=$(abspath $(WIN_DIR)) >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: deps-run build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "Zorvel is a desktop program and needs a graphical session (no DISPLAY or WAYLAND_DISPLAY is set)."; \
		exit 1; \
	fi
	$(BUILD_DIR)/bin/zorvel

# The Debian package, in $(BUILD_DIR)/package/: install it with `apt install ./zorvel_*.deb`.
package: deps-package
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS) --target zorvel
	cd $(BUILD_DIR) && cpack -G DEB
	@ls -l $(BUILD_DIR)/package/zorvel_*.deb

# Zorvel for 32-bit Windows, in $(WIN_DIR): zorvel.exe, the portable folder Zorvel/ and the
# installer Zorvel-<version>-setup.exe. Qt for Windows and the offline engine are cross-built once
# from Debian's source packages into ~/.cache/zorvel (about 35 minutes on two cores the first time).
WIN_DIR ?= build-win
windows: deps-windows
	packaging/windows/build.sh $(abspath $(WIN_DIR))

# Every window and the tray menu rendered offscreen to PNG files, for review without a desktop.
SHOTS_DIR ?= $(BUILD_DIR)/screenshots
screenshots: deps-run
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS) --target zorvel_screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tests/zorvel_screenshots $(SHOTS_DIR)

# After changing a text of a window, form, menu or notice: brings the English translation file up
# to date (new texts arrive unfinished; translate them, e.g. with linguist, before committing).
translations: deps-run
	lupdate -I . -no-obsolete -locations relative app ui voice result custom services commands \
		-source-language zh_CN -target-language en_US -ts resources/translations/zorvel_en.ts

# Every test runs under one private X server; tests that drive it or the sound server hold a
# CTest resource lock so they never overlap. The server does not reset when its last client
# leaves: during a reset it turned new connections away or hung. The Windows build is made too
# (`make windows`): its tests install and run it under Wine.
test: deps-test build windows
	cd $(BUILD_DIR) && xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp -noreset" \
		ctest --output-on-failure -j $(JOBS) --timeout 600

# The program and the tests built with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# (any finding aborts), the whole CTest suite on that build, then every fuzz target as a libFuzzer
# binary for FUZZ_SECONDS from its seed corpus. Its own build folder; ccache when present.
CHECK_DIR ?= build-check
FUZZ_SECONDS ?= 60
SAN_FLAGS := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
# Windows of the sanitized tests are made without OpenGL: Mesa's software driver leaks at window
# creation and is unloaded before the leak report, so no suppression can name it.
SAN_ENV := QT_XCB_GL_INTEGRATION=none ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/cmake/lsan.supp:print_suppressions=0
check: deps-check
	cmake -S . -B $(CHECK_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
		$(LAUNCHER) \
		"-DCMAKE_CXX_FLAGS=$(SAN_FLAGS) -fsanitize=fuzzer-no-link" \
		"-DCMAKE_EXE_LINKER_FLAGS=$(SAN_FLAGS)" >/dev/null
	cmake --build $(CHECK_DIR) -j $(JOBS)
	# Tests labelled unsanitized (the Windows cores under Wine, the Debian package) run no code of
	# this build and are left to `make test`. The tests that type through the X server run on their
	# own afterwards: under the sanitizers'
	# slowdown, parallel load made the 600-character typing row lose characters.
	cd $(CHECK_DIR) && $(SAN_ENV) xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp -noreset" sh -c \
		'ctest --output-on-failure -j $(JOBS) --timeout 900 -LE "x11|unsanitized" && ctest --output-on-failure --timeout 900 -L x11'
	$(SAN_ENV) cmake/run-fuzzers.sh $(abspath $(CHECK_DIR))/fuzz $(CURDIR)/fuzz $(FUZZ_SECONDS)
