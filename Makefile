# The two commands of the README: `make run` and `make test`.
PRESET ?= default
BUILD_DIR := build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test clean asan bench package screenshot

all: build

deps:
	scripts/install-deps

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	$(BUILD_DIR)/$(PRESET)/lumera

test: build
	ctest --preset $(PRESET) -j $(JOBS)

bench: build
	cmake --build --preset $(PRESET) --target bench

# The Debian package, written to build/<preset>/lumera_<version>_<arch>.deb.
package: build
	cd $(BUILD_DIR)/$(PRESET) && cpack -G DEB

# Retakes docs/lumera-window.png, the README's picture, with the end-to-end test.
screenshot: build
	LUMERA_SCREENSHOT_DIR=$(CURDIR)/docs $(BUILD_DIR)/$(PRESET)/tests/test_e2e \
		windowIsNamedAndMaximised screenShowsTheLayout

asan:
	$(MAKE) test PRESET=asan

clean:
	rm -rf $(BUILD_DIR)
