# Thin front end over the CMake presets. Every target first installs what
# the machine lacks (scripts/bootstrap, idempotent).

.PHONY: all bootstrap build build-win64 test test-native test-sanitize test-tsan test-win32 \
        test-win64 demo dist check-reproducible clean

all: build

# The suite's version, as CMakeLists.txt's project() gives it.
version := $(shell sed -n 's/^project.QuillonTools VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

bootstrap:
	@scripts/bootstrap

# The suite's programs in build/win32/bin/, stand-ins in build/win32/standin/.
build: bootstrap
	cmake --preset win32
	cmake --build --preset win32

# The same, 64-bit, in build/win64/: for Wine where 32-bit programs cannot run.
build-win64: bootstrap
	cmake --preset win64
	cmake --build --preset win64

# Every test: native unit tests, the same under ASan+UBSan and TSan, then
# the Win32 integration and end-to-end tests under Wine: on the 32-bit build
# where this machine can run 32-bit programs (scripts/host-arch), and on the
# 64-bit build everywhere, so that neither path rots unseen. Where the
# 32-bit build cannot run, its shipped programs are still built and their
# PE headers checked.
test: bootstrap
	cmake --workflow --preset native
	cmake --workflow --preset sanitize
	cmake --workflow --preset tsan
	@arch=$$(scripts/host-arch) && if [ "$$arch" = win32 ]; then \
	  cmake --workflow --preset win32; \
	else \
	  cmake --preset win32 && \
	  cmake --build --preset win32 --target Levelsmith Buildcensus associator && \
	  ctest --preset win32 -R '^programs\.pe_flags$$' && \
	  echo "this machine cannot run 32-bit programs: the Wine tests ran on the 64-bit build only"; \
	fi
	cmake --workflow --preset win64

test-native test-sanitize test-tsan test-win32 test-win64: bootstrap
	cmake --workflow --preset $(@:test-%=%)

# Runs the suite on its sample installation under Wine (build/demo/): the
# 32-bit programs where this machine can run them, else the 64-bit build.
demo: bootstrap
	@scripts/demo

# build/win32/dist/QuillonTools-1.0.0-win32.zip: the three 32-bit programs,
# stripped. Only cross-builds, so it works on any host. Builds those three
# programs and no test program. The same commit and toolchain give the same
# zip, byte for byte, wherever and whenever it is built (check-reproducible);
# beside it, QuillonTools-1.0.0-win32.buildinfo.txt names that commit and
# toolchain (scripts/build-info).
dist: bootstrap
	cmake --preset win32
	cmake --build --preset win32 --target Levelsmith Buildcensus associator
	cd build/win32 && cpack
	scripts/build-info build/win32/dist/QuillonTools-$(version)-win32.zip

# Builds the release twice from scratch, in two copies of this tree under
# build/reproducible/, and compares the programs, their debug files, the
# zip and its build information byte for byte. Two builds: not part of
# `make test`.
check-reproducible: bootstrap
	@scripts/check-reproducible

clean:
	rm -rf build
