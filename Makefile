# The two commands a newcomer needs:
#   make run   installs what is missing, builds, starts Corvalt on the sample project
#   make test  installs what is missing, builds, runs every test
# and one for putting the programs in place:
#   make install [PREFIX=/usr/local]   builds and installs both programs, the
#                                      starter library, the menu entry and the icon
BUILD      ?= build
CMAKE_ARGS ?=
JOBS       ?= 2
PREFIX     ?= /usr/local

.PHONY: all deps configure build test run install bench clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

run: build
	@scripts/run.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

bench: build
	@for b in $(BUILD)/bin/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz
