# The two commands of the quick start, and a few more for developers.
#   make demo   build, then run the analyser on a copy of the sample session
#   make check  install what is missing, build both presets, run every test,
#               the static checks and a short fuzzing run
#   make fuzz   fuzz every target for FUZZ_SECONDS each
#   make bench  the benchmark against cat

DEMO_DIR ?= $(CURDIR)/demo
JOBS ?= 2
FUZZ_SECONDS ?= 300
CHECK_FUZZ_SECONDS ?= 20

.PHONY: demo check build deps fuzz bench static clean

build:
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

demo: build
	rm -rf "$(DEMO_DIR)"
	mkdir -p "$(DEMO_DIR)"
	cp examples/session/* "$(DEMO_DIR)/"
	cd "$(DEMO_DIR)" && "$(CURDIR)/build/default/analyser/analyser"
	@echo
	@echo "The session page and error.log are in $(DEMO_DIR):"
	@ls "$(DEMO_DIR)"/velstra*.html "$(DEMO_DIR)"/error.log

deps:
	sh tools/install-deps.sh

check: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)
	ctest --preset default -j $(JOBS)
	cmake --preset sanitize
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)
	sh tools/check-static.sh
	sh tools/run-fuzzers.sh $(CHECK_FUZZ_SECONDS)

static:
	sh tools/check-static.sh

fuzz: deps
	sh tools/run-fuzzers.sh $(FUZZ_SECONDS)

bench: build
	sh tools/benchmark.sh

clean:
	rm -rf build "$(DEMO_DIR)"
