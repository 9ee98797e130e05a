# Everyday commands. Each one installs the Debian packages it needs first (scripts/bootstrap).
#   make run    build the program and start it (ARGS="--simulate" for the simulated keyboard)
#   make test   build and run every test, then the bounded fuzz run
#   make bench  build and run the benchmarks
#   make clean  remove every build folder

JOBS        ?= $(shell nproc)
TEST_PRESET ?= dev
RUN_PRESET  ?= release
ARGS        ?=

.PHONY: all run test bench fuzz tsan bootstrap clean

all: bootstrap
	cmake --preset $(TEST_PRESET) >/dev/null
	cmake --build --preset $(TEST_PRESET) -j $(JOBS)

bootstrap:
	@scripts/bootstrap

run: bootstrap
	cmake --preset $(RUN_PRESET) >/dev/null
	cmake --build --preset $(RUN_PRESET) -j $(JOBS) --target keywright
	build/$(RUN_PRESET)/bin/keywright $(ARGS)

test: bootstrap
	cmake --preset $(TEST_PRESET) >/dev/null
	cmake --build --preset $(TEST_PRESET) -j $(JOBS)
	$(MAKE) --no-print-directory fuzz
	ctest --preset $(TEST_PRESET) -j $(JOBS)

fuzz: bootstrap
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS) --target fuzzers
	ctest --preset fuzz

tsan: bootstrap
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

bench: bootstrap
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)
	@for b in build/release/bin/bench_*; do echo "== $$b"; "$$b" --benchmark_min_time=0.2; done

clean:
	rm -rf build
