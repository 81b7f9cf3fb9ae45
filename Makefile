# The two commands: `make run` and `make test`. The rest serves them.
BUILD ?= build
JOBS ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DSHELLRUX_WERROR=ON
endif

.PHONY: run test package bench fuzz format deps configure build

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "No display here: run it under a virtual one with  xvfb-run -a make run"; exit 1; fi
	cd $(BUILD)/run && ./shell_rux

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# A Debian package in $(BUILD)/, checked by lintian.
package: build
	cd $(BUILD) && umask 022 && cpack
	lintian --fail-on error,warning $(BUILD)/shell-rux_*.deb

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSHELLRUX_BENCH=ON >/dev/null
	cmake --build build-bench -j $(JOBS) --target benchmarks
	cd build-bench && bench/run-benchmarks

fuzz: deps
	@CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHELLRUX_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	cd build-fuzz && fuzz/run-fuzzers

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
