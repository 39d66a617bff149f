# Brightwipe: `make run` builds and starts the program under Wine; `make test` builds and runs every test.
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all bootstrap configure build run test bench dist clean fuzz fuzz-trees

all: build

bootstrap:
	@scripts/bootstrap

# The toolchain file counts only when the build folder is first made; naming it again later makes
# CMake warn that the variable went unused.
configure: bootstrap
	@cmake -S . -B $(BUILD) $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Builds only the program folder it runs, not the tests and benchmarks.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target Brightwipe
	@scripts/run-brightwipe $(BUILD)

test: dist
	@scripts/run-tests $(BUILD)

bench: build
	@scripts/run-bench $(BUILD)

# Long fuzzing: thousands of random hostile trees (BW_FUZZ_SEEDS, from BW_FUZZ_SEED); a failure
# prints the seed that replays it.
fuzz: fuzz-trees

fuzz-trees: build
	@BW_FUZZ_SEEDS=$${BW_FUZZ_SEEDS:-2000} BW_CTEST_ARGS="-R HostileFuzz --timeout 86400" scripts/run-tests $(BUILD)

# The setup program and the portable zip of the program folder, beside build/dist/.
dist: build
	@scripts/make-dist $(BUILD)

clean:
	rm -rf $(BUILD)
