# Thin wrapper over the CMake presets: `make run` and `make test` are all a
# fresh Debian 12 machine needs.
.PHONY: deps build run test package asan asan-test tsan tsan-test fuzz clean

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

# The package is built on its own, as Debian builds its packages: only the
# programs and what is installed with them, compiled with Debian's hardening
# flags (stack protector, _FORTIFY_SOURCE, full RELRO with -z now). CMake
# reads no CPPFLAGS, so they join the compiler flags here.
package: deps
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all && \
	cmake --preset package \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build --preset package -j $(JOBS)
	cmake --build --preset package --target package

asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

asan-test: asan
	ctest --preset asan -j $(JOBS)

tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan -j $(JOBS)

tsan-test: tsan
	ctest --preset tsan -j $(JOBS)

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

clean:
	rm -rf build build-package build-asan build-tsan build-fuzz
