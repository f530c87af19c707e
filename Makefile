# Zentravo: top-level commands. `make run` and `make test` work on a fresh Debian 12 machine.
SHELL := /bin/bash
BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
TSAN_DIR  ?= build-tsan
JOBS      ?= $(shell nproc)

# Every Debian package the build, the tests and the benchmarks need.
DEB_PACKAGES := \
	build-essential cmake ninja-build pkg-config git clang libclang-rt-14-dev \
	qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6opengl6-dev libgl-dev qt6-image-formats-plugins \
	libavformat-dev libavcodec-dev libavutil-dev libswscale-dev ffmpeg libimagequant-dev libwebp-dev \
	libmagickcore-6.q16-dev libtiff-dev libxcb1-dev \
	libgtest-dev libgmock-dev googletest libbenchmark-dev \
	fonts-dejavu-core fonts-liberation \
	python3 python3-pil imagemagick gifsicle giflib-tools libgif-dev xvfb xdotool libopenjp2-tools \
	libtiff-tools appstream desktop-file-utils shared-mime-info dpkg-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build test run package asan tsan fuzz fuzz-gif fuzz-pictures fuzz-journal \
	fuzz-library bench-export clean

deps:
	@missing=$$(for p in $(DEB_PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing: $$missing"; \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	else echo "All build and test packages are installed."; fi

# CI (CI=true) builds with warnings as errors.
CMAKE_FLAGS := $(if $(filter true,$(CI)),-DZENTRAVO_WERROR=ON)

build: deps
	cmake --preset default $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

asan: deps
	cmake --preset asan $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)

# ThreadSanitizer over the tests where the UI thread and the stage worker share the document:
# only those two test programs are built under it.
TSAN_TESTS := zentravo_stage_tests zentravo_document_tests
tsan: deps
	cmake --preset tsan $(CMAKE_FLAGS)
	cmake --build $(TSAN_DIR) -j $(JOBS) --target $(TSAN_TESTS)

test: build asan tsan
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS) -L core
	for t in $(TSAN_TESTS); do \
		QT_QPA_PLATFORM=offscreen TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" \
			./$(TSAN_DIR)/bin/$$t --gtest_brief=1 || exit 1; \
	done

# The Debian package of everything `cmake --install` installs, built by CPack from the built
# tree: $(BUILD_DIR)/zentravo_<version>_<architecture>.deb.
package: build
	cd $(BUILD_DIR) && cpack -G DEB
	@ls -1 $(BUILD_DIR)/zentravo_*.deb

# The application on the first sample project. Without a display it says so and exports that
# sample headless instead, so the command still does the main job.
run: build
	@if [ -n "$${DISPLAY}$${WAYLAND_DISPLAY}" ]; then \
		./$(BUILD_DIR)/bin/zentravo $(BUILD_DIR)/bin/template/template_1.vrn; \
	else \
		echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): exporting the first sample to $(BUILD_DIR)/sample_1.gif instead."; \
		./$(BUILD_DIR)/bin/zentravo-cli export $(BUILD_DIR)/bin/template/template_1.vrn \
			$(BUILD_DIR)/sample_1.gif; \
	fi

# The project loader under libFuzzer and AddressSanitizer for FUZZ_SECONDS (default 600).
FUZZ_SECONDS ?= 600
fuzz: deps
	cmake --preset fuzz
	cmake --build build-fuzz -j $(JOBS)
	python3 fuzz/make_seeds.py build-fuzz/corpus
	./build-fuzz/bin/zentravo_fuzz_project_loader -max_total_time=$(FUZZ_SECONDS) \
		-max_len=16384 -rss_limit_mb=2048 build-fuzz/corpus

# The GIF decoder under libFuzzer + ASan for FUZZ_SECONDS, seeded with the shared GIF test data.
fuzz-gif: deps
	cmake --preset fuzz
	cmake --build build-fuzz --target gif_decode_fuzz -j $(JOBS)
	mkdir -p build-fuzz/corpus-gif
	find ../shared/testdata/gif -name '*.gif' -exec cp -n {} build-fuzz/corpus-gif/ \;
	build-fuzz/bin/gif_decode_fuzz build-fuzz/corpus-gif -max_len=65536 -rss_limit_mb=2048 \
		-max_total_time=$(FUZZ_SECONDS) -print_final_stats=1

# The picture loaders under libFuzzer and AddressSanitizer for FUZZ_SECONDS, seeded with small
# pictures of every format made by ImageMagick.
fuzz-pictures: deps
	cmake --preset fuzz
	cmake --build build-fuzz --target zentravo_fuzz_pictures -j $(JOBS)
	/usr/bin/python3 fuzz/make_picture_seeds.py build-fuzz/corpus-pictures
	./build-fuzz/bin/zentravo_fuzz_pictures -max_total_time=$(FUZZ_SECONDS) -max_len=65536 \
		-rss_limit_mb=2048 -timeout=30 build-fuzz/corpus-pictures

# The canvas journal's record reader under libFuzzer and AddressSanitizer for FUZZ_SECONDS, seeded
# with small journals.
fuzz-journal: deps
	cmake --preset fuzz
	cmake --build build-fuzz --target zentravo_fuzz_journal -j $(JOBS)
	/usr/bin/python3 fuzz/make_journal_seeds.py build-fuzz/corpus-journal
	./build-fuzz/bin/zentravo_fuzz_journal -max_total_time=$(FUZZ_SECONDS) -max_len=65536 \
		-rss_limit_mb=2048 build-fuzz/corpus-journal

# The symbol file and library index readers under libFuzzer and AddressSanitizer for
# FUZZ_SECONDS, seeded with small symbol files and indexes.
fuzz-library: deps
	cmake --preset fuzz
	cmake --build build-fuzz --target zentravo_fuzz_symbol_files -j $(JOBS)
	/usr/bin/python3 fuzz/make_symbol_seeds.py build-fuzz/corpus-library
	./build-fuzz/bin/zentravo_fuzz_symbol_files -max_total_time=$(FUZZ_SECONDS) -max_len=65536 \
		-rss_limit_mb=2048 -timeout=30 build-fuzz/corpus-library

# The classic and best GIF exports against ffmpeg (one palette, a palette per frame) on the
# largest sample: time, PSNR and size in one table. Debian 12 has no gifski package, so the
# table has no gifski row.
bench-export: build
	./$(BUILD_DIR)/bin/zentravo_export_bench
	./$(BUILD_DIR)/bin/zentravo_busy_gif_bench

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) build-fuzz
