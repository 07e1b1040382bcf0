# Two entry points that do all the set-up on a fresh Debian 12 machine:
#   make run    install what is missing, configure, build and start the program
#   make test   the same, then every test through CTest
BUILD    ?= build
PREFIX   ?= /usr/local
JOBS     ?= $(shell nproc)
PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev libhidapi-dev libudev-dev libfontconfig-dev \
            libxlsxwriter-dev zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev \
            fonts-liberation fonts-wqy-microhei clang
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build run test bench gallery install clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -q && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/app/zk470

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# Every control, page and dialog in both languages: $(BUILD)/gallery/<name>-<zh|en>.png
gallery: configure
	cmake --build $(BUILD) -j $(JOBS) --target zk470-gallery
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/gallery/zk470-gallery

# The program, its desktop entry and icon under PREFIX, and the device's udev rule (/etc/udev/rules.d,
# or /usr/lib/udev/rules.d for PREFIX=/usr). DESTDIR stages the files and touches nothing else.
install: build
	@if [ -n "$(DESTDIR)" ]; then \
	  DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)" --strip; \
	else \
	  $(SUDO) cmake --install $(BUILD) --prefix "$(PREFIX)" --strip || exit 1; \
	  $(SUDO) udevadm control --reload-rules 2>/dev/null && \
	    $(SUDO) udevadm trigger --subsystem-match=hidraw --action=change 2>/dev/null || true; \
	  $(SUDO) update-desktop-database -q "$(PREFIX)/share/applications" 2>/dev/null || true; \
	  $(SUDO) gtk-update-icon-cache -q -t "$(PREFIX)/share/icons/hicolor" 2>/dev/null || true; \
	  echo "Installed. If the device was plugged in already, unplug and replug it once."; \
	fi

clean:
	rm -rf $(BUILD)
