# Zentu: one command to run the IDE, one to pass the tests. Both install what is missing first.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_COMMON = -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
export CCACHE_DIR ?= $(CURDIR)/.ccache
export CCACHE_SLOPPINESS = pch_defines,time_macros,include_file_mtime,include_file_ctime
export CCACHE_BASEDIR = $(CURDIR)
# why: worktrees and clean clones share one cache only if the build folder's path is left out.
export CCACHE_NOHASHDIR = 1

.PHONY: deps run app test bench clean

deps:
	@.ci/install-deps

app: deps
	cmake -S . -B $(BUILD)/release $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTU_BUILD_TESTS=OFF
	cmake --build $(BUILD)/release -j $(JOBS) --target zentupad

run: app
	QT_QPA_PLATFORM=$${QT_QPA_PLATFORM:-xcb} $(BUILD)/release/src/zentupad

test: deps
	cmake -S . -B $(BUILD)/test $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Debug -DZENTU_SANITIZE=ON -DZENTU_WERROR=ON
	cmake --build $(BUILD)/test -j $(JOBS)
	cd $(BUILD)/test && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD)/bench $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Release -DZENTU_BUILD_TESTS=OFF -DZENTU_BUILD_BENCH=ON
	cmake --build $(BUILD)/bench -j $(JOBS)
	@for b in $(BUILD)/bench/bench/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD)
