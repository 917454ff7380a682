# Build helpers shared by the three programs, their stand-ins and tests.

# At file scope: the module keeps the path of its discovery script in a
# variable that gtest_discover_tests needs later.
if(NOT WIN32)
  include(GoogleTest)
endif()

set(QL_SANITIZE "" CACHE STRING "Sanitizers for the native build (address,undefined or thread)")

# Warnings are errors in both toolchains; applied per target so that
# third-party code (GoogleTest) keeps its own settings.
# GCC 12 reports false -Wrestrict overlaps inside std::string concatenation
# at -O2 (GCC bug 105329), so that one check is off.
function(ql_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion -Wno-restrict -Werror)
endfunction()

function(ql_sanitize target)
  if(QL_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=${QL_SANITIZE} -fno-omit-frame-pointer
                                             -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=${QL_SANITIZE})
  endif()
endfunction()

function(ql_setup_gtest)
  if(WIN32)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
endfunction()

# The platform-free logic of a program, kept in its core/ folder: built in
# both toolchains.
function(ql_logic_library name)
  add_library(${name} STATIC ${ARGN})
  ql_warnings(${name})
  ql_sanitize(${name})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/core)
endfunction()

# A GoogleTest program of the logic. Natively every test case becomes a CTest
# test; in the cross build the whole program runs once under Wine. Tests of
# code with threads carry LABELS threads: the ThreadSanitizer run takes those.
function(ql_unit_test name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  ql_warnings(${name})
  ql_sanitize(${name})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(WIN32)
    target_link_options(${name} PRIVATE -static)
    ql_add_wine_test(${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 DISCOVERY_MODE PRE_TEST)
    # The labels are set by a CTest script of their own, run after the
    # discovered tests are known: passed through gtest_discover_tests, every
    # label after the first would arrive as a property name.
    set(labels_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
    file(WRITE ${labels_file}
         "if(${name}_TESTS)\n"
         "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"unit;${arg_LABELS}\")\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels_file})
  endif()
endfunction()

# A Win32 GoogleTest program (integration or end-to-end test) that runs
# under Wine, inside the Wine session fixture. The cases that CODE_PAGE_932
# names (a GoogleTest filter) run once more in a Japanese locale, in which
# Wine gives the program and those it starts the double-byte ANSI code page
# 932; elsewhere they skip themselves.
function(ql_wine_test name)
  cmake_parse_arguments(arg "" "TIMEOUT;CODE_PAGE_932" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  ql_warnings(${name})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest_main)
  target_link_options(${name} PRIVATE -static)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(arg_DEPENDS)
    add_dependencies(${name} ${arg_DEPENDS})
  endif()
  ql_add_wine_test(${name} ${arg_TIMEOUT})
  if(arg_CODE_PAGE_932)
    add_test(NAME ${name}.cp932 COMMAND ${name} --gtest_filter=${arg_CODE_PAGE_932})
    set_tests_properties(${name}.cp932 PROPERTIES
      FIXTURES_REQUIRED wine TIMEOUT 120 RESOURCE_LOCK wine-desktop
      ENVIRONMENT "LANG=ja_JP.UTF-8;LC_ALL=ja_JP.UTF-8;QL_ANSI_CODE_PAGE=932")
  endif()
endfunction()

function(ql_add_wine_test name)
  set(timeout 120)
  if(ARGC GREATER 1)
    set(timeout ${ARGV1})
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${timeout}
                                          RESOURCE_LOCK wine-desktop)
endfunction()

# The same commit gives the same shipped programs, byte for byte, wherever
# and whenever it is built (`make check-reproducible`). The linker writes no
# build time into the PE header (its time stamp stays 0, and with it the
# header checksum stays put; ql_program keeps objcopy from adding one), and
# whatever path the compiler writes down (debug information, __FILE__) names
# the source and build folders by fixed names, so that the kept
# <program>.exe.debug files, and the checksum of them in each program's debug
# link, do not depend on where the tree lies. (The release build has no -g
# and the programs no __FILE__, so no path of ours reaches them now; the
# maps keep it so when either comes.) The build folder is mapped last: GCC
# takes the last map that matches, so this more specific one wins for a
# build folder inside the tree, and with the presets' layout the fixed names
# keep the tree's own shape (/quillon-tools/build/win32/...).
# Both cross builds take it; the native builds need not.
function(ql_reproducible_binaries)
  ql_wine_arch(arch)
  add_compile_options(
    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=/quillon-tools>
    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=/quillon-tools/build/${arch}>)
  add_link_options(-Wl,--no-insert-timestamp)
endfunction()

# A program of the suite: a 32-bit GUI executable in bin/, shipped by `make dist`.
# The program is stripped as it is shipped; its debug information (mostly
# the static runtime's) stays beside it in bin/<program>.exe.debug, linked to it
# by name and checksum, for reading a crash later.
function(ql_program name)
  add_executable(${name} WIN32 ${ARGN})
  ql_warnings(${name})
  target_link_options(${name} PRIVATE -static)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  # objcopy writes the time of day into the PE header of each file it makes,
  # whatever the input holds, and has no option against it; only
  # SOURCE_DATE_EPOCH sets that time. 0, as the linker leaves it.
  set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${objcopy} --only-keep-debug $<TARGET_FILE_NAME:${name}>
            $<TARGET_FILE_NAME:${name}>.debug
    COMMAND ${objcopy} --strip-all --add-gnu-debuglink=$<TARGET_FILE_NAME:${name}>.debug
            $<TARGET_FILE_NAME:${name}>
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    VERBATIM)
  install(TARGETS ${name} RUNTIME DESTINATION .)
endfunction()

# A stand-in for one of the product's own programs or libraries: test and
# demo material under standin/, never shipped.
function(ql_standin_executable name subdir)
  add_executable(${name} ${ARGN})
  ql_warnings(${name})
  target_link_options(${name} PRIVATE -static)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                           ${CMAKE_BINARY_DIR}/standin/${subdir})
endfunction()

# A stand-in for one of the product's libraries: a DLL named `output`.dll
# under standin/`subdir`, exporting what its .def file (among the sources)
# maps. Test and demo material, never shipped.
function(ql_standin_library name subdir output)
  add_library(${name} SHARED ${ARGN})
  ql_warnings(${name})
  target_link_options(${name} PRIVATE -static)
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${output}
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standin/${subdir}
                        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/import)
endfunction()

# The Wine session of a test run: a private prefix of the build's word size
# and a virtual display that the first test starts and the last one stops.
function(ql_setup_wine_session)
  set(state ${CMAKE_BINARY_DIR}/wine)
  ql_wine_arch(arch)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run ${state} PARENT_SCOPE)
  add_test(NAME wine.session.start
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-session start ${state} ${arch})
  set_tests_properties(wine.session.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  add_test(NAME wine.session.stop COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-session stop ${state})
  set_tests_properties(wine.session.stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
endfunction()

# win32 or win64: the word size of the cross build.
function(ql_wine_arch variable)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(${variable} win64 PARENT_SCOPE)
  else()
    set(${variable} win32 PARENT_SCOPE)
  endif()
endfunction()

# `make dist`: a zip of the three programs. Only the 32-bit build ships.
function(ql_setup_packaging)
  if(NOT WIN32 OR NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    return()
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME QuillonTools)
  set(CPACK_PACKAGE_FILE_NAME QuillonTools-${PROJECT_VERSION}-win32)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/dist)
  # The same commit gives the same zip: see cmake/normalize-zip.cmake.
  set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/normalize-zip.cmake)
  set(CPACK_QL_SOURCE_DIR ${PROJECT_SOURCE_DIR})
  # The package needs the three programs only, which `make dist` builds;
  # without this CPack would first build every test program too.
  set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON PARENT_SCOPE)
  include(CPack)
endfunction()
