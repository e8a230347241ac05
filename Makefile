# Quick start: `make run` starts the editor, `make test` runs every test.
# Both install what is missing first (scripts/install-deps).
# `make run ARGS=--simulate` starts the editor on the simulated keyboard.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
# The recursive makes of the build would announce every folder they enter.
MAKEFLAGS += --no-print-directory

.PHONY: all deps configure build test run bench tsan install deb clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

# Only the editor and what it links: the tests and benchmarks wait for `make test`.
run: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS) --target padkbd-editor
	@exec $(BUILD_DIR)/editor/padkbd-editor $(ARGS)

# `make install PREFIX=/usr DESTDIR=/tmp/stage` stages an installation.
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# The Debian package, padkbd_<version>_<arch>.deb, in the build folder.
deb: build
	@cd $(BUILD_DIR) && cpack -G DEB

# Benchmarks: the controller synchronisation against the simulated controller,
# how fast hostile and large preset documents are refused or accepted, and
# how long the editor's event loop stalls while the keyboard is busy.
bench: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS) --target sync_bench parse_bench stall_bench port_bench
	@$(BUILD_DIR)/bench/sync_bench
	@$(BUILD_DIR)/bench/parse_bench
	@$(BUILD_DIR)/bench/stall_bench
	@$(BUILD_DIR)/bench/port_bench

# The editor tests under ThreadSanitizer, in a build of their own. Qt is not
# instrumented: tests/tsan.supp says what of it is left out.
TSAN_DIR ?= build-tsan
tsan: deps
	@cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
	@cmake --build $(TSAN_DIR) -j$(JOBS) --target editor_window_test editor_actions_test
	@cd $(TSAN_DIR) && TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/tsan.supp" \
	  ctest -R 'editor_(window|actions)_test' --output-on-failure

clean:
	@rm -rf $(BUILD_DIR)
