# Two entry points: `make run` starts the designer, `make test` runs every test.
# Both install what is missing on a fresh Debian 12 machine first.

BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test deps build bench package asan fuzz clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "Kein Bildschirm gefunden: starte unter xvfb-run."; \
	  xvfb-run -a ./$(BUILD)/faltarillon; \
	else ./$(BUILD)/faltarillon; fi

test: deps
	bash scripts/run-tests.sh

# The Debian package faltarillon_<version>_amd64.deb in the build folder.
package: build
	cmake --build $(BUILD) --target package

bench: build
	for b in $(BUILD)/bench_*; do $$b; done
	bash bench/sheet_vs_rsvg.sh $(BUILD)
	bash bench/pdf_vs_rsvg.sh $(BUILD)

clean:
	rm -rf $(BUILD) build-asan build-fuzz
