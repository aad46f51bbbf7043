# Set-up and everyday commands. `make run` and `make test` are all a fresh
# Debian 12 machine needs; they install what is missing first.

BUILD_DIR ?= build
GENERATOR ?= Ninja
BUILD_TYPE ?= Release
CMAKE_FLAGS ?=

# Debian packages the build, the tests and the benchmarks need.
DEB_PACKAGES := cmake ninja-build g++ make pkg-config python3 \
                qt6-base-dev qt6-translations-l10n \
                libgtest-dev libgmock-dev libbenchmark-dev rapidjson-dev libcli11-dev libxxhash-dev \
                clang libclang-rt-14-dev clang-tidy scdoc dpkg-dev git python3-html5lib

# And for the Windows build and its tests under Wine.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix wine64 fonts-wine fonts-dejavu-core dpkg-dev xvfb xauth \
                    imagemagick x11-utils \
                    $(DEB_PACKAGES)

# apt-get as root, through sudo otherwise.
SHELL := /bin/bash
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# For checking the Debian package.
PACKAGE_CHECK_PACKAGES := lintian appstream desktop-file-utils shared-mime-info xdg-utils man-db \
                          groff-base libglib2.0-bin

# Fuzzing: seconds per target for `make fuzz`.
FUZZ_SECONDS ?= 600
FUZZ_DIR := build-fuzz
ASAN_DIR := build-asan
TSAN_DIR := build-tsan

.PHONY: all deps install-missing configure build test run bench clean format fuzz fuzz-build \
        test-asan test-tsan tidy windows windows-installer test-windows package test-package

all: build

deps:
	@$(MAKE) --no-print-directory install-missing PACKAGES="$(DEB_PACKAGES)"

install-missing:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

configure: deps
	cmake -S . -B $(BUILD_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR)

# Build, then every test; nothing more, so that it stays quick.
test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLIBCOMPARE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure

# The core and the command-line tool's tests with ThreadSanitizer: the work
# shared between two threads.
test-tsan: deps
	cmake -S . -B $(TSAN_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLIBCOMPARE_CLI_ONLY=ON -DLIBCOMPARE_THREAD_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(TSAN_DIR)
	cd $(TSAN_DIR) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure

fuzz-build: deps
	cmake -S . -B $(FUZZ_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DLIBCOMPARE_FUZZ=ON \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
	cmake --build $(FUZZ_DIR)
	python3 fuzz/make_corpus.py $(FUZZ_DIR)/seeds

# Runs each fuzz target for FUZZ_SECONDS; a finding fails the run.
fuzz: fuzz-build
	@for t in reader compare; do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t && \
	  echo "fuzz_$$t: $(FUZZ_SECONDS) s" && \
	  $(FUZZ_DIR)/bin/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/ \
	    $(FUZZ_DIR)/corpus/$$t $(FUZZ_DIR)/seeds/$$t 2>&1 | \
	    grep -E '^(stat::number_of_executed_units|stat::peak_rss|==|SUMMARY|Done)|ERROR|crash-' ; \
	  test $${PIPESTATUS[0]} -eq 0 || exit 1; \
	done

# clang-tidy over the core.
tidy: configure
	clang-tidy -p $(BUILD_DIR) --quiet $(wildcard library/*.cpp compare/*.cpp)

# The core, the reports, libcompare-cli.exe and their tests for 64-bit
# Windows, cross-built with MinGW-w64 into build-windows/.
WINDOWS_DIR := build-windows
WINE := /usr/lib/wine/wine64
WINE_ENV := WINEPREFIX=$(CURDIR)/$(WINDOWS_DIR)/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Qt for MinGW is built once from Debian's source (tools/qt_mingw.sh, about
# 20 minutes on 2 cores) into ~/.cache/libcompare and reused after that.
windows:
	@$(MAKE) --no-print-directory install-missing PACKAGES="$(WINDOWS_PACKAGES)"
	qt=$$(bash tools/qt_mingw.sh) && export LIBCOMPARE_QT_MINGW=$$qt && \
	cmake -S . -B $(WINDOWS_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DLIBCOMPARE_CLI_ONLY=OFF \
	  -DCMAKE_PREFIX_PATH=$$qt -DQT_HOST_PATH=/usr \
	  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake $(CMAKE_FLAGS) && \
	cmake --build $(WINDOWS_DIR)

# The installer, build-windows/libcompare-<version>-x64.msi: wixl (msitools)
# from resources/libcompare.wxs, through tools/windows_msi.sh.
INSTALLER_PACKAGES := wixl msitools
windows-installer: windows
	@$(MAKE) --no-print-directory install-missing PACKAGES="$(INSTALLER_PACKAGES)"
	cmake --build $(WINDOWS_DIR) --target windows-installer

# Its tests under Wine (own prefix in build-windows/wine, no display), then
# the .exe against the Linux build: the same report bytes; then the installer
# in prefixes of its own (tools/windows_installer_test.sh).
test-windows: windows build windows-installer
	@# Windows' dialog font: "MS Shell Dlg" is Tahoma there, and here (Wine's own fonts).
	$(WINE_ENV) $(WINE) reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
	  /v 'MS Shell Dlg' /d Tahoma /f >/dev/null 2>&1
	cd $(WINDOWS_DIR) && $(WINE_ENV) ctest --output-on-failure
	$(WINE_ENV) WINE=$(WINE) bash tools/windows_same_bytes.sh $(BUILD_DIR)/bin $(WINDOWS_DIR)/bin
	$(WINE_ENV) WINE=$(WINE) bash tools/windows_screenshot.sh $(WINDOWS_DIR)
	WINE=$(WINE) bash tools/windows_installer_test.sh $(WINDOWS_DIR) $(BUILD_DIR)

run: build
	./$(BUILD_DIR)/bin/libcompare

# A Debian package into build/: apt install ./build/libcompare_*.deb
package: build
	cd $(BUILD_DIR) && cpack

# The package checked: lintian, the metadata, the programs, the file type
# and the manual pages from an unpacked copy.
test-package: package
	@$(MAKE) --no-print-directory install-missing PACKAGES="$(PACKAGE_CHECK_PACKAGES)"
	bash tools/check_package.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR) $(WINDOWS_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
