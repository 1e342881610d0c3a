# Two commands for a newcomer: `make run` and `make test`. Both install what is
# missing first (tools/bootstrap.sh, idempotent).
JOBS ?= $(shell nproc)
NATIVE_PRESETS := native native-tsan fuzz

.PHONY: all bootstrap windows native run test test-windows test-native bench clean

all: windows

bootstrap:
	@tools/bootstrap.sh

windows: bootstrap
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)
	cmake --build --preset windows --target dist

native: bootstrap
	@for p in $(NATIVE_PRESETS); do \
	  cmake --preset $$p >/dev/null && cmake --build --preset $$p -j $(JOBS) || exit 1; \
	done

# Starts Setup.exe from dist/ in the private 32-bit prefix, where Wine's spooler can
# complete an installation.
run: windows
	tools/run-setup

test-windows: windows
	ctest --preset windows -j $(JOBS)

test-native: native
	@for p in $(NATIVE_PRESETS); do ctest --preset $$p -j $(JOBS) || exit 1; done

test: bootstrap
	$(MAKE) --no-print-directory test-native
	$(MAKE) --no-print-directory test-windows

bench: bootstrap
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target network_dialogs_bench
	tools/run-benchmarks

clean:
	rm -rf build dist
