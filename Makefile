# The two set-up commands of the README, plus the benchmarks.
#   make demo   builds both plug-in DLLs and the Linux tools, then renders the built-in demo
#   make test   runs every test: sanitized unit tests, DLL table checks, Wine end-to-end tests,
#               then prints the size of the tests against the code (scripts/test-ratio)
#   make bench  runs the benchmarks on the optimised native build

JOBS ?= $(shell nproc)
CTEST_FLAGS = --output-on-failure -j $(JOBS) --timeout 600

.PHONY: demo test bench bootstrap native win clean

bootstrap:
	@scripts/bootstrap

win: bootstrap
	@cmake --preset win-x86 >/dev/null && cmake --build --preset win-x86 -j $(JOBS)
	@cmake --preset win-x64 >/dev/null && cmake --build --preset win-x64 -j $(JOBS)

native: bootstrap
	@cmake --preset native >/dev/null && cmake --build --preset native -j $(JOBS)

demo: win native
	@scripts/run-demo

test: win
	@cmake --preset native-asan >/dev/null && cmake --build --preset native-asan -j $(JOBS)
	@cmake --preset native-tsan >/dev/null && cmake --build --preset native-tsan -j $(JOBS) --target tsan_checks
	@cd build/native-tsan && TSAN_OPTIONS=suppressions=$(CURDIR)/tests/tsan.supp ctest $(CTEST_FLAGS) -L threads
	@cd build/native-asan && ctest $(CTEST_FLAGS)
	@scripts/test-ratio  # prints only: the aim is tests/code <= 0.40

bench: native
	@scripts/run-benchmarks build/native

clean:
	rm -rf build out
