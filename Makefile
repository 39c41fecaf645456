# The two commands of the quick start, and a few more for developers.
#   make demo   build the three programs alone (no GoogleTest needed), run
#               the analyser on a copy of the sample session and build the
#               site of its history (velstra needs SQLite: without it, the
#               analyser alone)
#   make check  install what is missing, build both presets, run every test,
#               the end-to-end tests of the Windows programs under wine, the
#               package checks, the static checks, a short fuzzing run and the
#               demo, and fail if the checkout is left other than it was
#   make windows  analyser.exe, logconvert.exe and velstra.exe for 64-bit
#               Windows, with SQLite built from Debian's source package
#   make dist   the Debian package and the Windows zip, in build/dist
#   make fuzz   fuzz every target for FUZZ_SECONDS each
#   make fuzz-long  fuzz every target for FUZZ_LONG_SECONDS each (4 hours)
#               and merge what adds coverage into fuzz/corpus/, to commit
#   make bench  the benchmark against cat, peak memory, hostile games, the import

DEMO_DIR ?= $(CURDIR)/demo
JOBS ?= 2
FUZZ_SECONDS ?= 300
FUZZ_LONG_SECONDS ?= 14400
CHECK_FUZZ_SECONDS ?= 20
CHECK_STATUS = build/git-status-before-check
WINDOWS_PACKAGES = cmake make g++-mingw-w64-x86-64-posix
DIST_PACKAGES = $(WINDOWS_PACKAGES) g++ dpkg-dev zip libsqlite3-dev

.PHONY: demo check build deps windows dist fuzz fuzz-long bench static clean

build:
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# Only the programs, in the package's configuration (no tests, no
# generator): a compiler, CMake and make are enough, and SQLite for velstra.
# A build configured without SQLite before (make check's demo) finds it
# again. The history and the site are made of the sample session itself,
# beside the analyser's pages.
demo:
	cmake --preset release -DCMAKE_DISABLE_FIND_PACKAGE_SQLite3=OFF $(DEMO_CMAKE_FLAGS)
	cmake --build build/release -j $(JOBS) --target $$(cat build/release/programs.txt)
	rm -rf "$(DEMO_DIR)"
	mkdir -p "$(DEMO_DIR)"
	cp examples/session/* "$(DEMO_DIR)/"
	cd "$(DEMO_DIR)" && "$(CURDIR)/build/release/analyser/analyser"
	@echo
	@echo "The session page, the games page and error.log are in $(DEMO_DIR):"
	@ls "$(DEMO_DIR)"/velstra*.html "$(DEMO_DIR)"/error.log
	@echo
	@if grep -qw velstra build/release/programs.txt; then \
		set -e; velstra="$(CURDIR)/build/release/velstra/velstra"; \
		"$$velstra" import --db "$(DEMO_DIR)/velstra-history.db" examples/session; \
		"$$velstra" site --db "$(DEMO_DIR)/velstra-history.db" -o "$(DEMO_DIR)/site"; \
		echo; echo "The site of the sample session's history: $(DEMO_DIR)/site/index.html"; \
	else \
		echo "velstra is not built: it needs SQLite (apt-get install libsqlite3-dev, then make demo again);"; \
		echo "the analyser's pages above are the demo without it."; \
	fi

deps:
	sh tools/install-deps.sh

# The Windows programs run the end-to-end tests under wine; the packages are
# unpacked and run the sample session. The demo is built as a machine without
# GoogleTest would build it. Everything a run writes belongs in build/: the
# checkout's status must be the same at the end as at the start.
check: deps
	mkdir -p build && git status --porcelain >$(CHECK_STATUS)
	cmake --preset default
	cmake --build --preset default -j $(JOBS)
	ctest --preset default -j $(JOBS)
	cmake --preset sanitize
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)
	$(MAKE) windows
	sh tools/test-windows.sh build/default/tests/unit_tests build/windows
	$(MAKE) dist
	sh tools/test-packages.sh build/dist
	sh tools/check-static.sh
	sh tools/run-fuzzers.sh $(CHECK_FUZZ_SECONDS)
	$(MAKE) demo DEMO_DIR="$(CURDIR)/build/demo-run" DEMO_CMAKE_FLAGS="-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_SQLite3=ON"
	@git status --porcelain | diff $(CHECK_STATUS) - >&2 || \
		{ echo "make check: the run changed the checkout's status as above ('>' lines are new)" >&2; exit 1; }

# Self-contained .exe files (statically linked) built with mingw-w64. SQLite
# is compiled first (once: the script does nothing when it is built).
windows:
	sh tools/install-deps.sh $(WINDOWS_PACKAGES)
	sh tools/build-sqlite-windows.sh
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)
	@echo "The Windows programs:" build/windows/*/*.exe

dist: windows
	sh tools/install-deps.sh $(DIST_PACKAGES)
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	cpack --preset deb
	cpack --preset windows
	@ls build/dist/*.deb build/dist/*.zip

static:
	sh tools/check-static.sh

fuzz: deps
	sh tools/run-fuzzers.sh $(FUZZ_SECONDS)

fuzz-long: deps
	sh tools/run-fuzzers.sh --merge $(FUZZ_LONG_SECONDS)

bench: build
	sh tools/install-deps.sh hyperfine time
	sh tools/benchmark.sh

clean:
	rm -rf build "$(DEMO_DIR)"
