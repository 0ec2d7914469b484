# The two commands a user needs: `make run` and `make test`.
# Both install what is missing (scripts/bootstrap.sh), configure and build.

JOBS ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR := build/test
BENCH_DIR := build/bench

.PHONY: run test build package bootstrap bench bench-baseline fuzz clean format

bootstrap:
	@bash scripts/bootstrap.sh

build: bootstrap
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target orvex orvex-cli orvex-manpage orvex-cli-manpage \
	  orvex-desktop-entry orvex-python

# build/release/orvex_VERSION_amd64.deb: the programs, their manual pages,
# the completion, the menu entry, icons, tips, metainfo, copyright and
# changelog; then checked by lintian, which fails on any error or warning.
VERSION := $(shell grep -om1 'Orvex VERSION [0-9.]*' CMakeLists.txt | cut -d' ' -f3)
package: build
	cd $(RELEASE_DIR) && cpack
	packaging/lintian-check.sh $(RELEASE_DIR)/orvex_$(VERSION)_amd64.deb
	packaging/lintian-check.sh $(RELEASE_DIR)/python3-orvex_$(VERSION)_amd64.deb

run: build
	cd $(RELEASE_DIR)/app && ./orvex

test: bootstrap
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEX_SANITIZE=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j $(JOBS)

# The repetitions of all the cases run interleaved at random, so that a busy
# spell of the machine falls on both sides of a pair alike.
bench: bootstrap
	@bash scripts/bootstrap.sh --bench
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DORVEX_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS) --target orvex-bench
	$(BENCH_DIR)/bench/orvex-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
	  --benchmark_enable_random_interleaving=true \
	  --benchmark_out=$(BENCH_DIR)/bench.json --benchmark_out_format=json \
	  --baseline=bench/baseline.json
	cmake --build $(BENCH_DIR) -j $(JOBS) --target orvex-python
	PYTHONPATH=$(BENCH_DIR)/python /usr/bin/python3 bench/python_bench.py $(BENCH_DIR)/bench.json

# After a change that makes the program faster on purpose: the last run of
# `make bench` becomes what later runs are compared with.
bench-baseline:
	cp $(BENCH_DIR)/bench.json bench/baseline.json

fuzz: bootstrap
	@bash scripts/bootstrap.sh --fuzz
	cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEX_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build build/fuzz -j $(JOBS) --target fuzz-bmp-reader fuzz-palette-reader \
	  fuzz-picture-reader fuzz-picture-writer
	mkdir -p build/fuzz/corpus build/fuzz/corpus-palette build/fuzz/corpus-picture \
	  build/fuzz/corpus-writer
	build/fuzz/fuzz/fuzz-bmp-reader -max_total_time=$${FUZZ_SECONDS:-120} \
	  build/fuzz/corpus fuzz/regressions/bmp tests/data/bmpsuite/g tests/data/bmpsuite/q tests/data/bmpsuite/b
	build/fuzz/fuzz/fuzz-palette-reader -max_total_time=$${FUZZ_SECONDS:-120} \
	  build/fuzz/corpus-palette fuzz/seeds/palette
	build/fuzz/fuzz/fuzz-picture-reader -max_total_time=$${FUZZ_SECONDS:-120} \
	  build/fuzz/corpus-picture $$(ls -d fuzz/regressions/*/ fuzz/seeds/*/ | grep -v palette)
	build/fuzz/fuzz/fuzz-picture-writer -max_total_time=$${FUZZ_SECONDS:-120} \
	  build/fuzz/corpus-writer

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
