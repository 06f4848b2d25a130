# The two everyday commands: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run bench package install format clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure

run: build
	$(BUILD_DIR)/src/app/acidora

bench: build
	$(BUILD_DIR)/bench/acidora-bench
	$(BUILD_DIR)/bench/acidora-bench-app

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
