# Quick start: `make run` starts the editor, `make test` runs every test.
# Both install what is missing first (scripts/install-deps).
# `make run ARGS=--simulate` starts the editor on the simulated keyboard.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
# The recursive makes of the build would announce every folder they enter.
MAKEFLAGS += --no-print-directory

.PHONY: all deps configure build test run bench tsan asan coverage install deb clean

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
# how long the editor's event loop stalls while the keyboard is busy, a read
# through a JACK port, what recording a send in the history and listing
# 2,000 entries cost, and how soon a played control lights and what
# listening costs while nothing is played; a library of 10,000 presets
# indexed, looked at again and searched, and its grid scrolled; how soon the
# editor's window is on the screen, against an empty Qt window (under Xvfb).
bench: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS) --target sync_bench parse_bench stall_bench port_bench history_bench library_bench grid_bench play_bench startup_bench empty_window padkbd-editor
	@$(BUILD_DIR)/bench/sync_bench
	@$(BUILD_DIR)/bench/parse_bench
	@$(BUILD_DIR)/bench/stall_bench
	@$(BUILD_DIR)/bench/port_bench
	@$(BUILD_DIR)/bench/history_bench
	@$(BUILD_DIR)/bench/library_bench
	@$(BUILD_DIR)/bench/grid_bench
	@$(BUILD_DIR)/bench/play_bench
	@xvfb-run -a $(BUILD_DIR)/bench/startup_bench $(BUILD_DIR)/bench/empty_window $(BUILD_DIR)/editor/padkbd-editor

# The editor tests under ThreadSanitizer, in a build of their own. Qt is not
# instrumented: tests/tsan.supp says what of it is left out.
TSAN_DIR ?= build-tsan
tsan: deps
	@cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
	@cmake --build $(TSAN_DIR) -j$(JOBS) --target editor_window_test editor_actions_test editor_play_test
	@cd $(TSAN_DIR) && TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/tsan.supp" \
	  ctest -R 'editor_(window|actions|play)_test' --output-on-failure

# The whole suite under AddressSanitizer and UBSan, in a build of its own: a
# read or write outside a buffer, a use after free or after return, a leak or
# undefined behaviour fails the test that did it. An index one past a
# container's end may stay inside its allocation, where ASan cannot see it:
# libstdc++'s assertions and Qt's (kept by the Debug build, which also
# compiles in half the time of an optimised one) stop it there. Qt and the
# other libraries are not instrumented: tests/asan.supp says what of them is
# left out. The build runs programs of its own, so it gets the options too.
ASAN_DIR ?= build-asan
ASAN_FLAGS = -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined
ASAN_ENV = ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/asan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
asan: deps
	@cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS='$(ASAN_FLAGS) -D_GLIBCXX_ASSERTIONS' \
	  -DCMAKE_EXE_LINKER_FLAGS='$(ASAN_FLAGS)' -DCMAKE_SHARED_LINKER_FLAGS='$(ASAN_FLAGS)' >/dev/null
	@$(ASAN_ENV) cmake --build $(ASAN_DIR) -j$(JOBS)
	@cd $(ASAN_DIR) && $(ASAN_ENV) ctest --output-on-failure -j$(JOBS)

# Line, branch and decision coverage of the whole test suite, in a build of
# its own (gcc's --coverage, unoptimised so that lines and branches map to the
# source). Branches are gcc's, temporaries' clean-up included; decisions are
# the code's own ifs, loops and cases, each one left out named in left-out.txt.
# Prints the figures per folder and writes an HTML report with every file's
# lines; failing tests still get their report, and then make fails.
COVERAGE_DIR ?= build-coverage
# Every product folder, as the tree has it: each top-level folder whose
# CMakeLists.txt builds a library or a program, but the tests', the fuzz
# targets', the benchmarks' and the tools'.
COVERAGE_FOLDERS := $(filter-out tests fuzz bench tools,\
  $(patsubst %/CMakeLists.txt,%,$(shell grep -lE 'add_(library|executable)' */CMakeLists.txt)))
empty :=
space := $(empty) $(empty)
# gcc gives every call that may throw a branch into its unwinding code, and
# lines without code (closing braces) branches of their own; counted, they
# would bury the branches of the code's own decisions.
GCOVR_FLAGS = --root . --filter '($(subst $(space),|,$(strip $(COVERAGE_FOLDERS))))/' \
  --exclude-unreachable-branches --exclude-throw-branches -j$(JOBS)
coverage: deps
	@cmake -S . -B $(COVERAGE_DIR) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS='--coverage -O0' -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
	@cmake --build $(COVERAGE_DIR) -j$(JOBS)
	@find $(COVERAGE_DIR) -name '*.gcda' -delete
	@mkdir -p $(COVERAGE_DIR)/coverage
	@status=0; (cd $(COVERAGE_DIR) && ctest --output-on-failure -j$(JOBS)) || status=$$?; \
	gcovr $(GCOVR_FLAGS) --decisions --html-details $(COVERAGE_DIR)/coverage/index.html \
	  --json-summary $(COVERAGE_DIR)/coverage/summary.json \
	  --json $(COVERAGE_DIR)/coverage/coverage.json $(COVERAGE_DIR) || exit 1; \
	scripts/coverage-summary $(COVERAGE_DIR)/coverage/summary.json \
	  --decisions $(COVERAGE_DIR)/coverage/coverage.json $(COVERAGE_DIR)/coverage/left-out.txt \
	  $(COVERAGE_FOLDERS) || exit 1; \
	echo "HTML report: $(COVERAGE_DIR)/coverage/index.html"; \
	echo "Decisions no test takes: $(COVERAGE_DIR)/coverage/left-out.txt"; \
	if [ $$status -ne 0 ]; then echo "coverage: some tests failed (see above)" >&2; exit 1; fi

clean:
	@rm -rf $(BUILD_DIR)
