# Set-up and everyday commands. `make run` and `make test` are all a fresh
# Debian 12 machine needs; they install what is missing first.

BUILD_DIR ?= build
GENERATOR ?= Ninja
BUILD_TYPE ?= Release
CMAKE_FLAGS ?=

# Debian packages the build, the tests and the benchmarks need.
DEB_PACKAGES := cmake ninja-build g++ make pkg-config \
                qt6-base-dev qt6-translations-l10n \
                libgtest-dev libgmock-dev libbenchmark-dev rapidjson-dev

# apt-get as root, through sudo otherwise.
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test run bench clean format

all: build

deps:
	@missing=""; \
	for p in $(DEB_PACKAGES); do \
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

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

run: build
	./$(BUILD_DIR)/bin/libcompare

clean:
	rm -rf $(BUILD_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
