# Quick start: `make run` starts the editor, `make test` runs every test.
# Both install what is missing first (scripts/install-deps).
# `make run ARGS=--simulate` starts the editor on the simulated keyboard.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

run: build
	@exec $(BUILD_DIR)/editor/padkbd-editor $(ARGS)

# Benchmarks: the controller synchronisation against the simulated controller,
# and how fast hostile and large preset documents are refused or accepted.
bench: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS) --target sync_bench parse_bench
	@$(BUILD_DIR)/bench/sync_bench
	@$(BUILD_DIR)/bench/parse_bench

clean:
	@rm -rf $(BUILD_DIR)
