# Run by CPack once it has made the zip, before it copies it to dist/
# (CPACK_POST_BUILD_SCRIPTS): makes the zip the same, byte for byte, wherever
# and whenever the same commit is packaged. As CPack writes it, the zip holds
# the entries in the order the staging folder lists them, each with its
# file's time (the build's), access and change times, and owner.
# strip-nondeterminism, Debian's tool for this, sorts the entries by name,
# gives every one the same time (written in UTC, whatever TZ says),
# permissions 0755 or 0644 by the owner's execute bit, and uid and gid 0.
# That time is SOURCE_DATE_EPOCH where it is set, else the time of the last
# commit where the source tree is a git clone, else a fixed date.

set(fixed_date 1704067200) # 2024-01-01 00:00:00 UTC

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
  set(from "SOURCE_DATE_EPOCH")
elseif(EXISTS ${CPACK_QL_SOURCE_DIR}/.git)
  # A clone whose time cannot be read must not fall back to the fixed date
  # quietly: that zip would differ from everybody else's.
  execute_process(COMMAND git log -1 --format=%ct
                  WORKING_DIRECTORY ${CPACK_QL_SOURCE_DIR}
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  set(from "the last commit's time")
else()
  set(epoch ${fixed_date})
  set(from "no git clone: a fixed date")
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "normalize-zip: no time for the zip (\"${epoch}\")")
endif()

find_program(strip_nondeterminism strip-nondeterminism REQUIRED)
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND ${strip_nondeterminism} --type zip --timestamp ${epoch} ${zip}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
message(STATUS "normalize-zip: entries sorted, all at time ${epoch} (${from})")
