# The two everyday commands: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
ASAN_OPTIONS ?= halt_on_error=1:abort_on_error=1:detect_leaks=1
UBSAN_OPTIONS ?= halt_on_error=1:print_stacktrace=1

.PHONY: all deps configure build test test-sanitize e2e fuzz run bench package install format clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer; the first
# report stops the test that made it.
SANITIZE_DIR ?= build-sanitize
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DACIDORA_SANITIZE=ON -DACIDORA_BENCH=OFF
	ASAN_OPTIONS=$(ASAN_OPTIONS) cmake --build $(SANITIZE_DIR)
	ASAN_OPTIONS=$(ASAN_OPTIONS) UBSAN_OPTIONS=$(UBSAN_OPTIONS) \
	    ctest --test-dir $(SANITIZE_DIR) --output-on-failure

# The real program on a private X display with a private print server (needs root for cupsd).
e2e: build
	scripts/e2e $(BUILD_DIR)/src/app/acidora $(BUILD_DIR)/e2e-artifacts

# Each libFuzzer target for FUZZ_SECONDS, from the seeds in fuzz/corpus; what it finds new is
# kept in build-fuzz/corpus.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DACIDORA_FUZZ=ON
	cmake --build $(FUZZ_DIR)
	for t in calculation; do \
	    mkdir -p $(FUZZ_DIR)/corpus/$$t && \
	    $(FUZZ_DIR)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	        -artifact_prefix=$(FUZZ_DIR)/ $(FUZZ_DIR)/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

run: build
	$(BUILD_DIR)/src/app/acidora

bench: build
	$(BUILD_DIR)/bench/acidora-bench
	$(BUILD_DIR)/bench/acidora-bench-app
	bench/cli-batch $(BUILD_DIR)/src/app/acidora

# The Debian package, in build/package.
package: build
	cpack --config $(BUILD_DIR)/CPackConfig.cmake -B $(BUILD_DIR)/package

# Installs under PREFIX (default /usr/local): program, manual, menu entry, metainfo, icons.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

format:
	git ls-files -co --exclude-standard '*.cpp' '*.h' | xargs -r clang-format -i

clean:
	rm -rf $(BUILD_DIR)
