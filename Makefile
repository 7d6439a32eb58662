# Perix: `make run` starts the program, `make test` runs every test. Both install
# what is missing (Debian packages), configure and build by themselves.
BUILD ?= build
JOBS ?= 2

.PHONY: run test build deps bench install clean catture

deps:
	@./scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt | deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: deps $(BUILD)/build.ninja
	@cmake -S . -B $(BUILD) -G Ninja >/dev/null
	@ninja -C $(BUILD) -j$(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "Nessuno schermo grafico (DISPLAY/WAYLAND_DISPLAY non impostati): avviare Perix da una sessione desktop, oppure provare con 'xvfb-run make run'."; \
	  exit 1; \
	fi
	@cd $(BUILD) && ./perix

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest -j$(JOBS) --output-on-failure

bench: build
	@ninja -C $(BUILD) -j$(JOBS) perix_bench bench_rapporti
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ./bench/perix_bench && QT_QPA_PLATFORM=offscreen ./bench/bench_rapporti 20

catture: build
	@ninja -C $(BUILD) perix_cattura
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ./perix_cattura catture && echo "Catture in $(BUILD)/catture"

install: build
	@cmake --install $(BUILD)

clean:
	@rm -rf $(BUILD)
