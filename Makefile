# Thin wrapper over the CMake presets. `make run` and `make test` install
# whatever is missing first.
BUILD := build/dev
BIN := $(BUILD)/bin
SERVER := $(BIN)/TavoletServer/libTavoletServer.so

.PHONY: deps build run test asan fuzz bench lint package package-check clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset dev >/dev/null
	cmake --build --preset dev

run: build
	$(BIN)/glimmerkey-regsvr $(SERVER)
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "No display to show the window on: run this from a desktop session, or try 'xvfb-run make run'."; \
	  exit 1; \
	fi
	$(BIN)/vellwick-glimmerkey

test: build
	@if [ ! -d tests/browser/node_modules ] || [ tests/browser/package-lock.json -nt tests/browser/node_modules ]; then \
	  cd tests/browser && npm ci --no-audit --no-fund; \
	fi
	ctest --preset dev -j2

asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan -j2

# libFuzzer with AddressSanitizer; RUNS inputs per target. The libraries
# under test are instrumented too (fuzzer-no-link), so coverage reaches them.
RUNS ?= 1000000
FUZZ_FLAGS := -rss_limit_mb=3000 -timeout=10 -max_len=8192
fuzz: deps
	cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DGLIMMERKEY_LIBFUZZER=ON -DGLIMMERKEY_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,fuzzer-no-link -fno-omit-frame-pointer" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address" >/dev/null
	cmake --build build/fuzz --target widgetfile_fuzz hive_fuzz pagetext_fuzz blocks_fuzz
	mkdir -p build/fuzz/found/widgetfile build/fuzz/found/hive build/fuzz/found/page build/fuzz/found/blocks
	build/fuzz/bin/widgetfile_fuzz -runs=$(RUNS) $(FUZZ_FLAGS) build/fuzz/found/widgetfile fuzz/corpus/widgetfile
	build/fuzz/bin/hive_fuzz -runs=$(RUNS) $(FUZZ_FLAGS) build/fuzz/found/hive fuzz/corpus/hive
	build/fuzz/bin/pagetext_fuzz -runs=$(RUNS) $(FUZZ_FLAGS) build/fuzz/found/page fuzz/corpus/page
	build/fuzz/bin/blocks_fuzz -runs=$(RUNS) $(FUZZ_FLAGS) build/fuzz/found/blocks fuzz/corpus/blocks

# clang-format and the curated clang-tidy checks (.clang-tidy); both must be silent.
LINT_DIRS := app|bench|browsers|controls|framework|fuzz|output|platform|res|supportfiles|tavoletserver|templates|tests|widget
lint: build
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
	run-clang-tidy -quiet -p $(BUILD) '$(CURDIR)/($(LINT_DIRS))/.*\.cpp$$'

bench: build
	$(BIN)/startup_bench
	# Under Xvfb: the About box's cost is mostly its frames' trips to an X server.
	QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" $(BIN)/about_bench
	QT_QPA_PLATFORM=offscreen $(BIN)/insert_bench
	QT_QPA_PLATFORM=offscreen $(BIN)/templates_bench $(SERVER)
	$(BIN)/command_line_bench
	QT_QPA_PLATFORM=offscreen $(BIN)/siteupdate_bench $(SERVER)

# The Debian package, from a release build of its own.
package: deps
	cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_INSTALL_PREFIX=/usr -DGLIMMERKEY_TESTS=OFF -DGLIMMERKEY_BENCH=OFF >/dev/null
	cmake --build build/package
	cd build/package && cpack -G DEB
	@ls build/package/*.deb

# Installs the package into a fresh Debian 12 system and uses it there as a new user.
package-check: package
	scripts/package-check.sh build/package/vellwick-glimmerkey_*_amd64.deb

clean:
	rm -rf build
