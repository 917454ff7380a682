# Thin front end over the CMake presets. Every target first installs what
# the machine lacks (scripts/bootstrap, idempotent).

.PHONY: all bootstrap build test test-native test-sanitize test-tsan test-win32 demo dist clean

all: build

bootstrap:
	@scripts/bootstrap

# The suite's programs in build/win32/bin/, stand-ins in build/win32/standin/.
build: bootstrap
	cmake --preset win32
	cmake --build --preset win32

# Every test: native unit tests, the same under ASan+UBSan and TSan, and the
# Win32 integration and end-to-end tests under Wine.
test: bootstrap
	cmake --workflow --preset native
	cmake --workflow --preset sanitize
	cmake --workflow --preset tsan
	cmake --workflow --preset win32

test-native test-sanitize test-tsan test-win32: bootstrap
	cmake --workflow --preset $(@:test-%=%)

# Runs the suite on its sample installation under Wine (build/demo/).
demo: build
	scripts/demo

# A zip of build/win32/bin/ in build/win32/dist/.
dist: build
	cd build/win32 && cpack

clean:
	rm -rf build
