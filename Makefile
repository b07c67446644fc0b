# Thin wrapper over the CMake presets: `make run` and `make test` are all a
# fresh Debian 12 machine needs.
.PHONY: deps build run test package asan asan-test fuzz clean

JOBS ?= $(shell nproc)
SAMPLE := samples/sample.flc

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

run: build
	./build/bin/tovasel-cli info $(SAMPLE)
	./build/bin/tovasel-cli convert $(SAMPLE) -o build/sample.gif

test: build
	ctest --preset default -j $(JOBS)

package: build
	cmake --build --preset default --target package

asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

asan-test: asan
	ctest --preset asan -j $(JOBS)

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

clean:
	rm -rf build build-asan build-fuzz
