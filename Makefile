# Set-up and everyday commands. `make run` and `make test` install whatever Debian packages
# are missing, configure, build, and then start the editor or run the tests.
BUILD   ?= build
PRESET  ?= default
CTEST_J ?= 2

DEB_PACKAGES := cmake ninja-build g++ make pkg-config \
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6 \
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav \
    fonts-dejavu-core fonts-comic-neue fonts-liberation2 xvfb xauth \
    clang libclang-rt-14-dev
# Only for lint and package.
DEV_PACKAGES := clang-tidy cppcheck dpkg-dev file desktop-file-utils appstream lintian help2man \
    librsvg2-bin

# Build trees of their own, so that none of these disturbs the everyday build.
FUZZ_BUILD := build-fuzz
LINT_BUILD := build-lint
PKG_BUILD  := build-pkg
FUZZ_SECONDS ?= 120
FUZZ_TARGETS := text image kosinski nemesis enigma level sprites layouts

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps deps-dev configure build run test demo bench clean format \
        test-asan fuzz lint package

all: build

deps: PACKAGES = $(DEB_PACKAGES)
deps-dev: PACKAGES = $(DEB_PACKAGES) $(DEV_PACKAGES)
deps deps-dev:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing Debian packages:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

demo: build
	@echo "Demo images are in $(BUILD)/demo"

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "make run: no display found (DISPLAY and WAYLAND_DISPLAY are empty)."; \
	  echo "Start it from a desktop session, or under a virtual display: xvfb-run -a make run"; \
	  exit 1; \
	fi
	./$(BUILD)/quillet

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= ctest --output-on-failure -j $(CTEST_J)

bench: build
	QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= ./$(BUILD)/tests/bench_listing
	QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= ./$(BUILD)/tests/bench_map
	QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= ./$(BUILD)/tests/bench_mapview
	QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= ./$(BUILD)/tests/bench_layouts

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer (CMake preset asan).
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan -j $(CTEST_J)

# Each libFuzzer target for FUZZ_SECONDS; an input that breaks a check lands in
# $(FUZZ_BUILD)/artifacts and belongs in fuzz/regressions/<target>/ once fixed.
fuzz: deps
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD)
	@mkdir -p $(FUZZ_BUILD)/artifacts
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus-$$t; \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  ASAN_OPTIONS=quarantine_size_mb=1 ./$(FUZZ_BUILD)/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) \
	    -timeout=20 -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/artifacts/ \
	    $(FUZZ_BUILD)/corpus-$$t fuzz/corpus/$$t \
	    || exit 1; \
	done

# clang-tidy (.clang-tidy, with the compile commands of $(LINT_BUILD)) and cppcheck on src/ and
# tools/; any finding fails. cppcheck knows Qt from its own qt library description, which is
# faster and quieter than letting it parse the Qt headers.
LINT_SOURCES = $(shell find src tools -name '*.cpp' | sort)
lint: deps-dev
	cmake -S . -B $(LINT_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DBUILD_TESTING=OFF \
	  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
	cmake --build $(LINT_BUILD) --target quillet_core_autogen quillet_autogen >/dev/null
	run-clang-tidy -quiet -extra-arg=-fno-color-diagnostics -p $(LINT_BUILD) -j $(CTEST_J) $(addprefix $(CURDIR)/,$(LINT_SOURCES)) \
	  > $(LINT_BUILD)/clang-tidy.log 2>&1 \
	  || { grep -E 'warning:|error:' -A3 $(LINT_BUILD)/clang-tidy.log; exit 1; }
	@echo "clang-tidy: no findings"
	cppcheck --quiet --error-exitcode=1 --std=c++17 --language=c++ --library=qt \
	  --enable=warning,style,performance,portability --inline-suppr \
	  -I src -j $(CTEST_J) $(LINT_SOURCES)
	@echo "cppcheck: no findings"

# A Debian package (CPack) in $(PKG_BUILD); its desktop entry and metainfo are validated first,
# and lintian checks the package (any error or warning fails).
package: deps-dev
	desktop-file-validate packaging/quillet.desktop
	appstreamcli validate --no-net packaging/io.github.quillet.Quillet.metainfo.xml
	cmake -S . -B $(PKG_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
	  -DQUILLET_WERROR=ON -DQUILLET_PACKAGE=ON
	cmake --build $(PKG_BUILD)
	rm -f $(PKG_BUILD)/quillet_*.deb
	cd $(PKG_BUILD) && cpack -G DEB
	@ls $(PKG_BUILD)/quillet_*.deb
	lintian --info --fail-on error,warning $(PKG_BUILD)/quillet_*.deb
	@echo "lintian: no error and no warning"

clean:
	rm -rf $(BUILD)
