# Set-up and everyday commands. `make run` and `make test` install whatever Debian packages
# are missing, configure, build, and then start the editor or run the tests.
BUILD   ?= build
PRESET  ?= default
CTEST_J ?= 2

DEB_PACKAGES := cmake ninja-build g++ make pkg-config \
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6 \
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav \
    fonts-dejavu-core fonts-comic-neue fonts-liberation2 xvfb xauth

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test demo bench clean format

all: build

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
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

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
