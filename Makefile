# make        build the program (make install puts it in place)
# make run   set up, build and start the program
# make test  set up, build and run every test (make mutants: do they see a changed line?)
# make windows, make windows-test, make windows-installer: the Windows program, its tests under Wine, its installer
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
SECONDS ?= 60

WINDOWS_BUILD ?= build-windows

.PHONY: all program setup setup-test configure build run test bench screenshots sanitize-build sanitize fuzz mutants idle-bench sync-soak sync-bench install deb clean \
  windows-setup windows windows-test windows-installer

# The program and what installing it takes, with the build's progress.
all: program

program: configure
	@cmake --build $(BUILD) -j $(JOBS) --target almanouk almanouk-headless almanouk_icons almanouk_man_pages \
	  almanouk_changelog -- --no-print-directory

# What building and running need; the tests add their own tools.
setup:
	@scripts/setup.sh run

setup-test:
	@scripts/setup.sh test

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DALMANOUK_WERROR=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory >/dev/null

# Only the program, with the build's progress: the tests are built by make test.
# Started in a folder git ignores: the program writes its readme into the start folder.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target almanouk -- --no-print-directory
	@mkdir -p $(BUILD)/run && cd $(BUILD)/run && $(abspath $(BUILD))/almanouk

test: setup-test build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: setup-test build
	@$(BUILD)/bench/almanouk_bench
	@scripts/sync-bench.sh $(BUILD)/almanouk 400

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer (clang),
# in a build that also holds the fuzz targets.
sanitize-build: setup-test
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -gline-tables-only" -DALMANOUK_SANITIZE=ON -DALMANOUK_FUZZ=ON \
	  -DALMANOUK_WERROR=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS) -- --no-print-directory >/dev/null

sanitize: sanitize-build
	@cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j $(JOBS)

# Every fuzz target over its seed corpus and SECONDS seconds more.
fuzz: sanitize-build
	@scripts/fuzz.sh $(SANITIZE_BUILD) $(SECONDS)

# Changes one line at a time (tests/mutants) and checks the tests see each; make mutants ONLY=alarm for some.
mutants: setup-test build
	@BUILD=$(BUILD) scripts/mutants.py $(ONLY)

# The sync's random two-client test at length against both servers (SEQUENCES sequences each).
SEQUENCES ?= 300
sync-soak: setup-test build
	@for server in radicale xandikos; do \
	  SYNC_SEQUENCES=$(SEQUENCES) SYNC_STEPS=25 SYNC_SEED=$$(date +%Y%j) tests/sync/sync_test.py random $(BUILD)/almanouk $$server || exit 1; \
	done

# A first sync of 4,000 entries and a sync with nothing changed, against a
# local Radicale (about fifteen minutes: Radicale's time; make bench times 400).
sync-bench: build
	@scripts/sync-bench.sh $(BUILD)/almanouk

# CPU, memory and threads of the real program idling in the month view.
idle-bench: setup-test build
	@scripts/idle-bench.sh $(BUILD)/almanouk
	@scripts/start-bench.sh $(BUILD)/almanouk $(BUILD)/bench/bare_window

screenshots: setup-test build
	@scripts/screenshots.sh $(BUILD)

# make install [PREFIX=/usr/local]: the programs, desktop entry, icons, man pages and metainfo,
# as built: it builds nothing, so that "sudo make install" leaves no file of root's in the build.
install:
	@test -x $(BUILD)/almanouk || { echo "Nothing built yet: run make first, then make install."; exit 1; }
	@cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# make deb: $(BUILD)/almanouk_VERSION_ARCH.deb, for apt-get install ./almanouk_*.deb
deb: build
	@cd $(BUILD) && cpack -G DEB

# make windows: almanouk.exe and almanouk-headless.exe in $(WINDOWS_BUILD), cross-built with mingw-w64.
windows-setup:
	@scripts/setup.sh windows $(WINDOWS_BUILD)

windows: windows-setup
	@cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DALMANOUK_WERROR=ON >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS) -- --no-print-directory >/dev/null

# The suite under Wine, the Windows program's window under Wine and Xvfb (its
# files set against the Linux build's), the session ending while it runs, and
# the installer in and out again.
windows-test: windows-installer build
	@cd $(WINDOWS_BUILD) && ctest --output-on-failure
	@tests/windows/wine_window_test.sh $(WINDOWS_BUILD)/almanouk.exe $(BUILD)/almanouk-headless
	@tests/windows/wine_end_session_test.sh $(WINDOWS_BUILD)/almanouk.exe
	@tests/windows/installer_test.sh $(WINDOWS_BUILD)/dist/windows/almanouk-*-setup.exe

# make windows-installer: $(WINDOWS_BUILD)/dist/windows/almanouk-VERSION-setup.exe
windows-installer: windows
	@cmake --build $(WINDOWS_BUILD) --target almanouk_installer -- --no-print-directory >/dev/null

clean:
	@rm -rf $(BUILD) $(WINDOWS_BUILD)
