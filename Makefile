# The two set-up commands of the README, plus the benchmarks.
#   make demo   builds both plug-in DLLs and the Linux tools, then renders the built-in demo
#   make test   runs every test: sanitized unit tests, DLL table checks, Wine end-to-end tests,
#               the release files of make dist, the WebAssembly build's tests under Node and
#               the web page's test in Chromium; then prints the size of the tests against the
#               code (scripts/test-ratio)
#   make bench  runs the benchmarks on the optimised native build
#   make dist   builds the release files into dist/: the Windows setup program, a zip of both
#               DLLs and the Debian package of vevirur
#   make web    builds the web page (the engine in WebAssembly) into build/web/
#   make web-serve  serves build/web/ on http://127.0.0.1:$(WEB_PORT)/

JOBS ?= $(shell nproc)
WEB_PORT ?= 8080
# puppeteer-core drives the system Chromium; it must never fetch a browser of its own.
export PUPPETEER_SKIP_DOWNLOAD = 1
CTEST_FLAGS = --output-on-failure -j $(JOBS) --timeout 600

.PHONY: demo test bench bootstrap native win dist web web-serve wasm clean

bootstrap:
	@scripts/bootstrap

win: bootstrap
	@cmake --preset win-x86 >/dev/null && cmake --build --preset win-x86 -j $(JOBS)
	@cmake --preset win-x64 >/dev/null && cmake --build --preset win-x64 -j $(JOBS)

native: bootstrap
	@cmake --preset native >/dev/null && cmake --build --preset native -j $(JOBS)

# The wasm tree: the page plus the effect tests built to WebAssembly.
wasm: bootstrap
	@cmake --preset wasm >/dev/null && cmake --build --preset wasm -j $(JOBS)

web: bootstrap
	@cmake --preset wasm >/dev/null && cmake --build --preset wasm -j $(JOBS) --target web_page
	@echo "web page: build/web/ (make web-serve, then open http://127.0.0.1:$(WEB_PORT)/)"

web-serve: web
	@scripts/serve-web --port $(WEB_PORT)

# The browser test's npm packages, from the committed lock file.
tests/web/node_modules/.package-lock.json: tests/web/package.json tests/web/package-lock.json
	@cd tests/web && npm ci --no-audit --no-fund --loglevel=error
	@touch $@

demo: win native
	@scripts/run-demo

test: win dist wasm tests/web/node_modules/.package-lock.json
	@cmake --preset native-asan >/dev/null && cmake --build --preset native-asan -j $(JOBS)
	@cmake --preset native-tsan >/dev/null && cmake --build --preset native-tsan -j $(JOBS) --target tsan_checks
	@cd build/native-tsan && TSAN_OPTIONS=suppressions=$(CURDIR)/tests/tsan.supp ctest $(CTEST_FLAGS) -L threads
	@cd build/native-asan && ctest $(CTEST_FLAGS)
	@cd build/wasm && ctest $(CTEST_FLAGS)
	@scripts/test-ratio  # prints only: the aim is tests/code <= 0.40

dist: bootstrap
	@cmake --preset win-x86 >/dev/null && cmake --build --preset win-x86 -j $(JOBS) --target vis_vevirur2
	@cmake --preset win-x64 >/dev/null && cmake --build --preset win-x64 -j $(JOBS) --target vis_vevirur2
	@cmake --preset native >/dev/null && cmake --build --preset native -j $(JOBS) --target vevirur
	@packaging/make-dist build/native build/win-x86 build/win-x64 dist

bench: native
	@scripts/run-benchmarks build/native

clean:
	rm -rf build out dist
