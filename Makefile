# The two commands of README.md, and a few for developers.
#   make test   install missing packages, build with the sanitizers, run every
#               test, then every fuzzing harness for 10 s
#   make run    build the designer and start it in the demo installation
#   make bench  build and run the benchmarks (optimised build)
#   make fuzz   run every fuzzing harness for FUZZ_SECONDS (60) each
TEST_BUILD    := build
RELEASE_BUILD := build-release
FUZZ_BUILD    := build-fuzz
CMAKE_GEN     := -G Ninja
FUZZ_SECONDS  ?= 60

.PHONY: test run bench fuzz fuzz-run deps clean

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

clean:
	rm -rf $(TEST_BUILD) $(RELEASE_BUILD) $(FUZZ_BUILD)
