# The two commands of README.md, and a few for developers.
#   make test   install missing packages, build with the sanitizers, run every
#               test, then every fuzzing harness for 10 s
#   make run    build the designer and start it in the demo installation
#   make bench  build and run the benchmarks (optimised build)
#   make fuzz   run every fuzzing harness for FUZZ_SECONDS (60) each
#   make windows        cross-build everything for Windows into build-win64/
#                       (ARCH=i686: 32-bit, into build-win32/) and pack the zip
#   make test-windows   build the Windows unit tests and run them, the designer,
#                       the tool and the stand-in simulator under Wine
TEST_BUILD    := build
RELEASE_BUILD := build-release
FUZZ_BUILD    := build-fuzz
CMAKE_GEN     := -G Ninja
FUZZ_SECONDS  ?= 60

ARCH          ?= x86_64
WIN_BUILD     := $(if $(filter i686,$(ARCH)),build-win32,build-win64)
WIN_ZIP       := $(WIN_BUILD)/corvane-$(if $(filter i686,$(ARCH)),win32,win64).zip

.PHONY: test run bench fuzz fuzz-run deps clean windows windows-build test-windows

deps:
	@scripts/install-deps

test: deps
	cmake -S . -B $(TEST_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON -DCORVANE_TESTS=ON
	cmake --build $(TEST_BUILD)
	cd $(TEST_BUILD) && ctest --output-on-failure -j2 --timeout 300
	$(MAKE) --no-print-directory fuzz-run FUZZ_SECONDS=10

# The seeds come from the test build; the harnesses from a clang build of their own.
fuzz: deps
	cmake -S . -B $(TEST_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON -DCORVANE_TESTS=ON
	cmake --build $(TEST_BUILD) --target fuzz_seeds
	$(MAKE) --no-print-directory fuzz-run

fuzz-run:
	cmake -S tests/fuzz -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD)
	scripts/run-fuzzers $(FUZZ_BUILD) $(TEST_BUILD)/fuzz-seeds $(FUZZ_SECONDS)

run: deps
	cmake -S . -B $(RELEASE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_TESTS=OFF
	cmake --build $(RELEASE_BUILD)
	scripts/run-designer $(RELEASE_BUILD)

bench: deps
	cmake -S . -B $(RELEASE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON -DCORVANE_TESTS=OFF
	cmake --build $(RELEASE_BUILD)
	scripts/run-benchmarks $(RELEASE_BUILD)

# The libraries are built once into $(WIN_BUILD)/deps; the build-time tools
# (font, cursor, demo installation) run on this machine, from $(WIN_BUILD)/host,
# which needs the Linux build's packages.
windows-build: deps
	scripts/windows-deps $(ARCH) $(WIN_BUILD)/deps
	cmake -S . -B $(WIN_BUILD)/host $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF
	cmake --build $(WIN_BUILD)/host --target mkfont mkcursor mkdemo
	cmake -S . -B $(WIN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DCORVANE_WIN_ARCH=$(ARCH) \
	  -DCORVANE_WIN_DEPS=$(CURDIR)/$(WIN_BUILD)/deps/prefix -DCORVANE_HOST_TOOLS=$(CURDIR)/$(WIN_BUILD)/host \
	  -DCORVANE_TESTS=$(WIN_TESTS)
	cmake --build $(WIN_BUILD)

windows:
	$(MAKE) --no-print-directory windows-build WIN_TESTS=OFF
	scripts/windows-package $(WIN_BUILD) $(WIN_ZIP)

test-windows:
	$(MAKE) --no-print-directory windows-build WIN_TESTS=ON
	scripts/windows-package $(WIN_BUILD) $(WIN_ZIP)
	cd $(WIN_BUILD) && ctest --output-on-failure -j2 --timeout 300
	cmake --build $(WIN_BUILD)/host --target corvane-tool
	tests/windows/run $(WIN_BUILD)

clean:
	rm -rf $(TEST_BUILD) $(RELEASE_BUILD) $(FUZZ_BUILD) build-win64 build-win32
