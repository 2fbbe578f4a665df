# The two commands of README.md, and a few for developers.
#   make test   install missing packages, build with the sanitizers, run every test
#   make run    build the designer and start it in the demo installation
#   make bench  build and run the benchmarks (optimised build)
TEST_BUILD    := build
RELEASE_BUILD := build-release
CMAKE_GEN     := -G Ninja

.PHONY: test run bench deps clean

deps:
	@scripts/install-deps

test: deps
	cmake -S . -B $(TEST_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON -DCORVANE_TESTS=ON
	cmake --build $(TEST_BUILD)
	cd $(TEST_BUILD) && ctest --output-on-failure -j2 --timeout 300

run: deps
	cmake -S . -B $(RELEASE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_TESTS=OFF
	cmake --build $(RELEASE_BUILD)
	scripts/run-designer $(RELEASE_BUILD)

bench: deps
	cmake -S . -B $(RELEASE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON -DCORVANE_TESTS=OFF
	cmake --build $(RELEASE_BUILD)
	scripts/run-benchmarks $(RELEASE_BUILD)

clean:
	rm -rf $(TEST_BUILD) $(RELEASE_BUILD)
