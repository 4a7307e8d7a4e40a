# Thin wrapper over CMake and ctest. `make run` starts the demo, `make test` runs every test.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVELO_WERROR=ON

.PHONY: all setup configure build run test bench package screenshots translations clean

all: build

setup:
	@scripts/setup

configure: setup
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j2

run: build
	@BUILD=$(abspath $(BUILD)) scripts/run-demo

test: setup
	@scripts/setup --check
	@$(MAKE) --no-print-directory build
	cd $(BUILD) && ctest --output-on-failure -j2

bench: configure
	@scripts/setup --bench
	cmake --build $(BUILD) -j2
	@scripts/run-benchmarks $(BUILD)

screenshots: build
	@BUILD=$(abspath $(BUILD)) scripts/screenshots

# Adds the interface's new texts to translations/tarvelo_en.ts (as unfinished) and drops gone ones.
translations:
	@scripts/update-translations

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
