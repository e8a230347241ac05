# Quick start: `make run` starts the editor, `make test` runs every test.
# Both install what is missing first (scripts/install-deps).
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
	@if [ -x $(BUILD_DIR)/editor/padkbd-editor ]; then \
	  exec $(BUILD_DIR)/editor/padkbd-editor; \
	else \
	  echo "padkbd: the core is built; the editor window is not part of this build yet."; \
	fi

# Benchmarks of the controller synchronisation against the simulated controller.
bench: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS) --target sync_bench
	@$(BUILD_DIR)/bench/sync_bench

clean:
	@rm -rf $(BUILD_DIR)
