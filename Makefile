# The two commands of the README:
#   make run    builds what is missing and starts the program under Wine
#   make test   runs every test (native, native under ASan/UBSan, Windows under Wine)
.PHONY: run test deps host-tools native win32 asan fuzz test-native test-win32 test-asan e2e clean

JOBS ?= 2

deps:
	@tools/deps.sh

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j$(JOBS)

# The cross build lays its tree out with programs of the native build.
host-tools: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j$(JOBS) --target penpics_tool rgnpics_tool pack_tool

win32: host-tools
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32 -j$(JOBS)

asan: deps
	@cmake --preset native-asan >/dev/null
	@cmake --build --preset native-asan -j$(JOBS)

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j$(JOBS)

run: win32
	@tools/run.sh

test-native: native
	ctest --preset native

test-asan: asan
	ctest --preset native-asan

test-win32: win32
	ctest --preset win32

e2e: win32
	ctest --preset win32 -L e2e

# Whole-program sessions drive a real pointer under Wine: one that fails is run once more.
test: native win32
	ctest --preset native
	ctest --preset win32 --repeat until-pass:2

clean:
	rm -rf build/native build/native-asan build/fuzz build/win32
