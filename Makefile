# Brightwipe: `make run` builds and starts the program under Wine; `make test` builds and runs every
# test; `make check` runs the static analysis and the checked build's tests (CI runs both).
BUILD ?= build
JOBS  ?= $(shell nproc)
# More options for CMake's configure step (for example -DBW_TESTS=OFF).
CMAKE_ARGS ?=
# Every date written into the program, its zip and its setup program is the last commit's.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null || echo 315532800)
export SOURCE_DATE_EPOCH

.PHONY: all bootstrap configure build run test bench dist clean fuzz fuzz-trees fuzz-readers \
        reproducible check static checked

all: build

bootstrap:
	@scripts/bootstrap

# The toolchain file counts only when the build folder is first made; naming it again later makes
# CMake warn that the variable went unused.
configure: bootstrap
	@cmake -S . -B $(BUILD) $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Builds only the program folder it runs, not the tests and benchmarks.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target Brightwipe
	@scripts/run-brightwipe $(BUILD)

# Every test, side by side in throwaway prefixes of both kinds (scripts/run-tests; BW_WINEARCH=win32
# or win64 runs one kind). The setup program is built first, for its install test.
test: dist
	@scripts/run-tests $(BUILD)

bench: build
	@scripts/run-bench $(BUILD)

# Long fuzzing: thousands of random hostile trees (BW_FUZZ_SEEDS, from BW_FUZZ_SEED); a failure
# prints the seed that replays it. Then the file readers (fuzz-readers, below).
fuzz: fuzz-trees fuzz-readers

fuzz-trees: build
	@BW_FUZZ_SEEDS=$${BW_FUZZ_SEEDS:-2000} BW_CTEST_ARGS="-R HostileFuzz --timeout 86400" scripts/run-tests $(BUILD)

# The setup program and the portable zip of the program folder, beside build/dist/.
dist: build
	@scripts/make-dist $(BUILD)

clean:
	rm -rf $(BUILD)

# Builds HEAD twice in two fresh clones and compares the exe, zip and setup program byte for byte.
reproducible: bootstrap
	@scripts/check-reproducible

# The slow checks, which CI runs after make test: the static analysis, then the tests of the
# checked build. Both run whatever the first finds; either failing fails check.
check: configure checked
	@status=0; scripts/check $(BUILD) || status=1; \
	 echo "Tests of the checked build ($(CHECKED_TESTS)):"; scripts/run-tests $(CHECKED) || status=1; \
	 exit $$status

# Static analysis of the program's sources (cppcheck, clang-tidy as .clang-tidy says, no Windows
# call outside platform/ and ui/); fails on any finding.
static: configure
	@scripts/check $(BUILD)

# The checked build (BW_CHECKED: undefined-behaviour traps, library assertions, stack guards)
# with the tests of the folders in CHECKED_TESTS and the readers' fuzzer; make check runs them.
CHECKED ?= $(BUILD)/checked
CHECKED_TESTS ?= platform settings engine diskclean
checked: bootstrap
	@cmake -S . -B $(CHECKED) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DBW_CHECKED=ON \
	  -DBW_BENCH=OFF "-DBW_TEST_FOLDERS=$(CHECKED_TESTS)" >/dev/null
	@cmake --build $(CHECKED) -j $(JOBS) --target $(CHECKED_TESTS:%=%_tests) reader_fuzz

# A long run of the file readers' fuzzer; prints the first seed, and a failing input's seed.
FUZZ_ITERATIONS ?= 20000
fuzz-readers: build
	@scripts/run-fuzz $(BUILD) $(FUZZ_ITERATIONS) $(FUZZ_SEED)
