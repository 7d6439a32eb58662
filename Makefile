# Perix: `make run` starts the program, `make test` runs every test. Both install
# what is missing (Debian packages), configure and build by themselves.
BUILD ?= build
JOBS ?= 2

.PHONY: run test build configura schermo deps bench install deb clean catture

# The Debian packages of the targets asked for (scripts/install-deps says why each one):
# building and running the program always; the tests' tools for test and asan, the clang
# toolchain for fuzz, the package tools for deb.
PROFILI = programma $(if $(filter test asan,$(MAKECMDGOALS)),prove) \
  $(if $(filter fuzz,$(MAKECMDGOALS)),fuzz) $(if $(filter deb,$(MAKECMDGOALS)),pacchetto)

deps:
	@./scripts/install-deps $(PROFILI)

configura: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

# The program and every test program.
build: configura
	@ninja -C $(BUILD) -j$(JOBS)

# Said before anything is installed or built: without a display there is nothing to start.
schermo:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "Nessuno schermo grafico (DISPLAY/WAYLAND_DISPLAY non impostati): avviare Perix da una sessione desktop, oppure provare con 'xvfb-run make run'."; \
	  exit 1; \
	fi

run: schermo configura
	@ninja -C $(BUILD) -j$(JOBS) perix
	@cd $(BUILD) && ./perix

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest -j$(JOBS) --output-on-failure

# bench/prepara installs LibreOffice Writer and Calc, the yardsticks of bench_lotto and bench_omi; Perix never needs them.
# The offscreen platform's remarks on windows it cannot raise are no figures: kept quiet.
bench: build
	@./bench/prepara
	@ninja -C $(BUILD) -j$(JOBS) perix_bench bench_rapporti bench_costi bench_disaggregati bench_guida bench_lotto bench_fogli bench_omi
	@cd $(BUILD) && export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='default.warning=false' && ./bench/perix_bench && ./bench/bench_rapporti 20 \
	  && ./bench/bench_costi && ./bench/bench_disaggregati && ./bench/bench_guida 10 && ./bench/bench_lotto && ./bench/bench_fogli && ./bench/bench_omi

catture: build
	@ninja -C $(BUILD) perix_cattura
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ./perix_cattura catture && echo "Catture in $(BUILD)/catture"

# The program, its data, the desktop entry, icon, AppStream metadata and MIME types, under
# PREFIX (default /usr/local) and DESTDIR, as usual.
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) $(if $(PREFIX),--prefix "$(PREFIX)")
	@# Installed for real (no DESTDIR): the desktop learns the new file types and entry at once.
	@if [ -z "$(DESTDIR)" ]; then \
	  p="$(PREFIX)"; [ -n "$$p" ] || p=$$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' $(BUILD)/CMakeCache.txt); \
	  if command -v update-mime-database >/dev/null; then update-mime-database "$$p/share/mime"; fi; \
	  if command -v update-desktop-database >/dev/null; then update-desktop-database -q "$$p/share/applications"; fi; \
	fi

# The Debian package of that install (CPack, in $(BUILD)/pacchetto), then lintian's view of it.
deb: build
	@cd $(BUILD) && cpack --config CPackConfig.cmake -G DEB
	@lintian --display-info $(BUILD)/pacchetto/perix_*.deb

clean:
	@rm -rf $(BUILD)

# Sanitizer and fuzz builds, each in its own folder beside the normal one.
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_RSS_MB ?= 2048
ASAN_FLAGS = -O1 -g1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined

.PHONY: asan fuzz

# Every test under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer, with the
# environment of `make test` (ctest gives each program the Italian locale).
asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=None "-DCMAKE_CXX_FLAGS=$(ASAN_FLAGS)" \
	  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined" >/dev/null
	@ninja -C $(ASAN_BUILD) -j$(JOBS)
	@cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/asan/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest -j$(JOBS) --output-on-failure

# The libFuzzer targets of tests/fuzz (clang), each run for FUZZ_SECONDS.
fuzz: deps
	@cmake -S tests/fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@ninja -C $(FUZZ_BUILD) -j$(JOBS)
	@FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_RSS_MB=$(FUZZ_RSS_MB) tests/fuzz/esegui $(FUZZ_BUILD)
