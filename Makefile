# Entry points. Every target first makes sure the system packages are there.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
WERROR     ?= $(if $(CI),ON,OFF)
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := $(basename $(notdir $(wildcard fuzz/*_fuzz.cpp)))

.PHONY: all setup configure build test test-plain test-asan run bench fuzz format clean

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	cmake -S . -B $(BUILD) -G Ninja -DWERROR=$(WERROR)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: test-plain test-asan

test-plain: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DWERROR=$(WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# Only what the demo needs, and a sheet of each of our skins.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target demo skinsheet
	for skin in light dark; do $(BUILD)/skinsheet $(BUILD)/skins/$$skin.skn $(BUILD)/demo-output/skins/$$skin.png || exit 1; done
	$(BUILD)/examples/demo

# The data path against SQLite through bench/run_side_by_side.py (each benchmark in a fresh
# process, BENCH_REPETITIONS rounds, medians; BENCH_CPU=5 pins the runs to that core), then the
# other benchmark programs once each.
BENCH_REPETITIONS ?= 5
BENCH_CPU ?=
SIDE_BY_SIDE := bench_sumlist bench_memtable bench_memory_dataset bench_row_memory bench_grouping
bench: setup
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	$(if $(BENCH_CPU),taskset -c $(BENCH_CPU)) python3 bench/run_side_by_side.py $(BENCH_BUILD) --repetitions $(BENCH_REPETITIONS)
	@for b in $(BENCH_BUILD)/bench_*; do \
	  case " $(SIDE_BY_SIDE) " in *" $$(basename $$b) "*) continue;; esac; \
	  [ -x "$$b" ] && "$$b"; done; true

# libFuzzer under ASan+UBSan, FUZZ_SECONDS per target (entropic scheduling off: with the grid's many
# coverage counters it spends most of the time re-weighting inputs); stops on the first finding and
# ends with each target's executions and rate.
fuzz: setup
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DBUILD_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@bash scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
