# make run   set up, build and start the program
# make test  set up, build and run every test
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup configure build run test bench screenshots install deb clean

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
