# The two commands a newcomer needs: `make demo` and `make test`.
JOBS ?= $(shell nproc)
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: bootstrap configure build test test-asan fuzz demo bench format clean package package-test

bootstrap:
	@scripts/bootstrap.sh

configure: bootstrap
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: bootstrap
	@cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DLANEREPORT_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# The libFuzzer targets of fuzz/, built with clang and the sanitizers, each run for
# FUZZ_SECONDS on a copy of its corpus; fails when one finds a problem (kept in FUZZ_DIR).
fuzz: bootstrap
	@cmake -S . -B $(FUZZ_DIR) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANEREPORT_FUZZ=ON -DLANEREPORT_BENCH=OFF \
	  -DLANEREPORT_GUI=OFF >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	@fuzz/run_fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# The Debian package build/lanereport_<version>_<arch>.deb (packaging/), and its test: unpacked
# into a temporary root, run from there, validated, checked with lintian.
VERSION = $(shell sed -n 's/^project(lanereport .*VERSION \([0-9.]*\)).*/\1/p' CMakeLists.txt)
DEB = $(BUILD_DIR)/lanereport_$(VERSION)_$(shell dpkg --print-architecture).deb

package: build
	@scripts/bootstrap.sh package
	@cd $(BUILD_DIR) && cpack -G DEB >/dev/null
	@echo "$(DEB)"

package-test: package
	@packaging/package_test.sh $(DEB)

demo: build
	@$(BUILD_DIR)/bin/lanereport demo demo

bench: build
	@bench/bulk_bench.sh

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
