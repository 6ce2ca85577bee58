# SPDX-FileCopyrightText: 2026 Соколов А. В.
# SPDX-License-Identifier: LicenseRef-proprietary
# The two commands of the README: `make run` and `make test`.
PRESET ?= default
CLOSES_PRESET ?= asan
BUILD_DIR := build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# The package groups of scripts/install-deps a command needs: building alone needs `build`;
# running the tests needs the desktops they start and the checks they make.
GROUPS ?= build
TEST_GROUPS := build test desktops checks

.PHONY: all deps configure build run test check check-fast lint faults memcheck clean asan bench soak closes \
	package screenshot shots windows package-windows check-windows faults-windows

all: build

# Whatever runs tests, checks or desktops installs what they use as well.
check check-fast faults lint memcheck soak closes bench package screenshot shots asan: \
	GROUPS = $(TEST_GROUPS)

deps:
	scripts/install-deps $(GROUPS)

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

# The program alone, in a release build of its own: no tests, so nothing but `build` installed.
run:
	$(MAKE) build PRESET=program GROUPS=build
	$(BUILD_DIR)/program/app/lumera

# 64-bit Windows, cross-built with MinGW-w64 into build/windows/: lumera.exe with everything it
# needs beside it. The first time, Qt for Windows is built into ~/.cache/lumera (about 20
# minutes on two cores); after that, only the program.
windows:
	scripts/install-deps windows
	scripts/build-qt-windows
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)

# build/windows/lumera-<version>-win64.msi (per machine, silent with msiexec /qn) and the same
# files as a portable .zip beside it.
package-windows: windows
	cmake --build --preset windows --target package-windows

# The Windows build's tests under Wine: the unit and widget tests offscreen, then the MSI
# installed, the installed program driven on openbox at two sizes, and the MSI removed.
check-windows: package-windows
	$(MAKE) build PRESET=default GROUPS="$(TEST_GROUPS)"
	ctest --preset windows -j $(JOBS)

# What CI runs: every test in the normal build, the static analysis, and the program's tests
# again under AddressSanitizer and UndefinedBehaviorSanitizer; then, where Qt for Windows was
# built once (`make windows`), the Windows build's tests under Wine. The normal build's
# end-to-end tests spend most of their time waiting on desktops, so meanwhile the analysis and
# then the sanitizer build run in the idle class (SCHED_IDLE, or nice 19 where that is refused):
# they get only the processor time the tests leave, and give it back the moment a test's process
# wakes, as the reader's answer times need (nice 19 alone let them stretch past their bound on
# mutter). The Windows build runs so beside the sanitizer build's tests, whose bounds allow for
# the sanitizers' slowness: beside the normal tests as well, it made the mutter bound fail once.
# Each one's output follows the tests'.
IDLE = if chrt --idle 0 true 2>/dev/null; then idle='chrt --idle 0'; else idle='nice -n 19'; fi
# The one test whose bound is a reader's answer times on every desktop: after the work beside,
# alone (with the lint beside it, its spread went past 300 ms in three clean-clone runs of four).
ALONE = '^test_desktops_onEachDesktop$$'

test:
	scripts/install-deps $(TEST_GROUPS)
	@if scripts/build-qt-windows --check; then scripts/install-deps windows; fi
	$(MAKE) build PRESET=default
	@start=$$(date +%s); $(IDLE); \
	$$idle sh -c 'scripts/lint $(BUILD_DIR)/default && cmake --preset asan && \
		cmake --build --preset asan -j $(JOBS)' \
		>$(BUILD_DIR)/behind-the-tests.log 2>&1 & behind=$$!; \
	ctest --preset default -j $(JOBS) -E $(ALONE); tested=$$?; tests_done=$$(date +%s); \
	wait $$behind; built=$$?; cat $(BUILD_DIR)/behind-the-tests.log; \
	echo "make test: the tests $$((tests_done - start)) s; beside them the lint and the" \
		"sanitizer build, $$(($$(date +%s) - start)) s"; \
	ctest --preset default -R $(ALONE) && test $$tested -eq 0 && test $$built -eq 0
	@if ! scripts/build-qt-windows --check; then \
		$(MAKE) check PRESET=asan && \
		echo "make test: the Windows tests were skipped: no Qt for Windows in" \
			"$$(scripts/build-qt-windows --prefix); build it once with" \
			"scripts/install-deps windows && scripts/build-qt-windows" \
			"(about 20 minutes on two cores)"; \
		exit; fi; \
	$(IDLE); \
	$$idle sh -c 'cmake --preset windows && cmake --build --preset windows -j $(JOBS) && \
		cmake --build --preset windows --target package-windows' \
		>$(BUILD_DIR)/windows-build.log 2>&1 & behind=$$!; \
	$(MAKE) check PRESET=asan; tested=$$?; \
	wait $$behind; built=$$?; cat $(BUILD_DIR)/windows-build.log; \
	test $$tested -eq 0 && test $$built -eq 0 && ctest --preset windows -j $(JOBS)

# Every test of one build.
check: build
	ctest --preset $(PRESET) -j $(JOBS)

# The inner loop: the tests that need no real display server (labels unit and widget).
check-fast: build
	ctest --preset $(PRESET) -j $(JOBS) -L 'unit|widget'

# Plants each fault of tests/data/faults.tsv in turn, rebuilds, runs the suite and says which test
# caught it. Not part of `make test`: run it after any change that cuts or moves tests.
faults: build
	tests/scripts/faults $(BUILD_DIR)/$(PRESET)

# The layer order, format and licence headers, then clang-tidy (.clang-tidy) and cppcheck over
# our own code, from the normal build's compile commands.
lint:
	$(MAKE) build PRESET=default GROUPS="$(GROUPS)"
	scripts/lint $(BUILD_DIR)/default

# The random-input run, shortened, under valgrind's memcheck.
memcheck:
	$(MAKE) build PRESET=default GROUPS="$(GROUPS)"
	tests/scripts/memcheck $(BUILD_DIR)/default

# A school day on every desktop the tests know: the installed program driven from outside for
# SOAK_MINUTES (default 60) each, SOAK_PARALLEL (default 2) side by side. Not part of `make test`.
soak: build
	tests/scripts/soak $(BUILD_DIR)/$(PRESET) $(BUILD_DIR)/$(PRESET)/soak

# The sanitizer build (or CLOSES_PRESET's) sent SIGTERM, SIGINT or SIGHUP at a random moment of
# its revolutions, CLOSES (default 100) times on each Wayland-alone compositor and on openbox;
# every close must end with status 0 and nothing on standard error. CLOSES_LOAD=cores keeps every
# core busy meanwhile. Not part of `make test`.
closes:
	$(MAKE) build PRESET=$(CLOSES_PRESET) GROUPS="$(GROUPS)"
	tests/scripts/closes $(BUILD_DIR)/$(CLOSES_PRESET) $(BUILD_DIR)/$(CLOSES_PRESET)/closes

bench: build
	cmake --build --preset $(PRESET) --target bench

# The packages, written to build/<preset>/: lumera_<version>_<arch>.deb and
# lumera-<version>-1.<arch>.rpm.
package: build
	cd $(BUILD_DIR)/$(PRESET) && cpack -G "DEB;RPM"

# Retakes docs/lumera-window.png, the README's picture: the installed program on openbox at
# 1024 x 768, through desktop-run, once atom-seen sees the electron on its orbit.
screenshot: build
	tools/desktop/shots --readme $(BUILD_DIR)/$(PRESET)

# The installed program at 1920 x 1080 on every desktop installed here, into docs/desktops/, and
# their contact sheet, docs/desktops.png; each picture waits, as the README's, for the electron.
shots: build
	tools/desktop/shots $(BUILD_DIR)/$(PRESET)

# The same for the Windows build (tests/data/faults-windows.tsv), under Wine.
faults-windows: package-windows
	$(MAKE) build PRESET=default GROUPS="$(TEST_GROUPS)"
	tests/scripts/faults $(BUILD_DIR)/windows

asan:
	$(MAKE) check PRESET=asan

clean:
	rm -rf $(BUILD_DIR)
