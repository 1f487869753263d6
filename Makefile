# The two set-up commands: `make run` and `make test`.
# Both install what is missing, configure and build through the CMake preset.

export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: run test deps build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

run: build
	@scripts/run-keldoran.sh

test: build
	@ctest --preset default -j2
