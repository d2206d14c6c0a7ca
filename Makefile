# make run   set up, build and start the program
# make test  set up, build and run every test
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
SECONDS ?= 60

.PHONY: setup configure build run test bench screenshots sanitize-build sanitize fuzz idle-bench install deb clean

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DALMANOUK_WERROR=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory >/dev/null

# Started in a folder git ignores: the program writes its readme into the start folder.
run: build
	@mkdir -p $(BUILD)/run && cd $(BUILD)/run && $(abspath $(BUILD))/almanouk

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD)/bench/almanouk_bench

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer (clang),
# in a build that also holds the fuzz targets.
sanitize-build: setup
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

# CPU, memory and threads of the real program idling in the month view.
idle-bench: build
	@scripts/idle-bench.sh $(BUILD)/almanouk

screenshots: build
	@scripts/screenshots.sh $(BUILD)

# make install [PREFIX=/usr/local]: the programs, desktop entry, icons, man pages and metainfo.
install: build
	@cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# make deb: $(BUILD)/almanouk_VERSION_ARCH.deb, for apt-get install ./almanouk_*.deb
deb: build
	@cd $(BUILD) && cpack -G DEB

clean:
	@rm -rf $(BUILD)
