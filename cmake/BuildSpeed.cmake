# How the build stays fast as the library grows: unity batches, shared precompiled headers and
# test programs registered with ctest as a few shards each. Included once from CMakeLists.txt;
# add_layer and add_layer_tests call the two hooks at the end, so a new layer gets all of it.

# Unity batches: most of a unit's time goes to the headers and to the inline and template code
# they bring, which a batch compiles once instead of once a file.
option(CMAKE_UNITY_BUILD "Compile each target's sources in batches" ON)
set(UNITY_BATCH_LIBRARY 8 CACHE STRING "Sources in a unity batch of a library")
set(UNITY_BATCH_TESTS 16 CACHE STRING "Sources in a unity batch of a test program")
option(PRECOMPILED_HEADERS "Precompile the headers every unit includes" ON)

# Test shards: one process runs many tests (under ASan starting a process costs more than most
# tests), and a few shards a program keep every core busy under ctest -j.
set(TEST_FILES_PER_SHARD 8 CACHE STRING "Test sources a ctest shard covers")
option(TEST_EACH_CASE "Register every test case with ctest (one process a case: slow)" OFF)

# Files whose file-local names (anonymous namespace) clash with a neighbour's in a batch; they
# compile on their own. A new clash shows as "redefinition of '{anonymous}::X'": rename the
# helper when that is a small change, else add the file here.
set(unity_build_alone
    platform/rtl/DateTimeParse.cpp      # UpperAscii
    platform/rtl/Reader.cpp             # kMaxDepth
    platform/rtl/Resources.cpp          # Registry
    platform/rtl/SysUtils.cpp           # IsBlank
    platform/rtl/VariantOps.cpp         # IsText, TextOf
    platform/db/DataSetEditing.cpp      # IsEditState
    platform/vcl/ImgList.cpp            # Get16, Get32
    grid/editors/DBDateTimeEditEh.cpp   # TFlagGuard
    grid/editors/DBEditEh.cpp           # IsMemoField
    tests/platform/gdi/FrameControlTest.cpp    # S
    tests/platform/gdi/SystemBitmapsTest.cpp)
list(TRANSFORM unity_build_alone PREPEND ${CMAKE_SOURCE_DIR}/)
set_source_files_properties(${unity_build_alone} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)

# Libraries whose files share many generic file-local names (State, Paint, Redraw, StyleOf):
# their files compile one by one. They are among the cheap ones to compile.
set(unity_build_off_libraries win)

# Line tables and function names are enough for backtraces and sanitizer reports; the full
# variable and type information adds a quarter to an optimised build's compile time, and in the
# sanitizer build (Debug) it made the test and fuzz programs 16 GB on disk, more than a CI
# machine may have. FULL_DEBUG_INFO=ON brings it back for a debugger session.
option(FULL_DEBUG_INFO "Full debug information in RelWithDebInfo and Debug builds" OFF)
if(NOT FULL_DEBUG_INFO)
  add_compile_options($<$<CONFIG:RelWithDebInfo,Debug>:-g1>)
endif()

# GCC takes the sources of a batch for headers and warns about their file-local types.
if(CMAKE_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Wno-subobject-linkage)
endif()

# Precompiled headers come in two tiers, so that no unit sees headers of a layer above its own:
# the standard library for whatever stands on rtl alone (the platform layers below vcl name
# their own types freely), and the class model and the vcl headers on top for vcl and the layers
# on it. Each tier is precompiled once for the libraries and once for the test programs (with
# gtest), by a holder target that the others reuse; a holder carries its users' flags.
set(pch_rtl_headers
    <algorithm> <any> <cstdint> <functional> <map> <memory> <optional> <string> <string_view>
    <vector>)
set(pch_vcl_headers
    ${pch_rtl_headers} "${CMAKE_SOURCE_DIR}/platform/rtl/Object.h"
    "${CMAKE_SOURCE_DIR}/platform/rtl/Classes.h" "${CMAKE_SOURCE_DIR}/platform/rtl/Variant.h"
    "${CMAKE_SOURCE_DIR}/platform/vcl/Controls.h" "${CMAKE_SOURCE_DIR}/platform/vcl/Forms.h"
    "${CMAKE_SOURCE_DIR}/platform/vcl/Graphics.h" "${CMAKE_SOURCE_DIR}/platform/vcl/StdCtrls.h")
set(pch_test_headers <gtest/gtest.h>)
file(WRITE ${CMAKE_BINARY_DIR}/pch_holder.cpp "// The precompiled headers' holder targets compile this.\n")

# Sets `out` to TRUE when `target` is `layer` or stands on it.
function(build_speed_stands_on target layer out)
  set(result FALSE)
  if(target STREQUAL layer)
    set(result TRUE)
  elseif(TARGET ${target})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(deps ${target} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(deps ${target} LINK_LIBRARIES)
    endif()
    foreach(dep IN LISTS deps)
      if(TARGET ${dep})
        build_speed_stands_on(${dep} ${layer} found)
        if(found)
          set(result TRUE)
          break()
        endif()
      endif()
    endforeach()
  endif()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# Makes `target` reuse the precompiled headers of its tier; `kind` is "lib" or "tests".
function(build_speed_pch target kind)
  if(NOT PRECOMPILED_HEADERS)
    return()
  endif()
  build_speed_stands_on(${target} vcl on_vcl)
  build_speed_stands_on(${target} rtl on_rtl)
  if(on_vcl)
    set(tier vcl)
  elseif(on_rtl)
    set(tier rtl)
  else()
    return()
  endif()
  set(holder pch_${tier}_${kind})
  if(NOT TARGET ${holder})
    add_library(${holder} OBJECT ${CMAKE_BINARY_DIR}/pch_holder.cpp)
    # The tier's usage requirements without linking it: the tier's library reuses the holder.
    target_compile_definitions(${holder} PRIVATE $<TARGET_PROPERTY:${tier},INTERFACE_COMPILE_DEFINITIONS>)
    target_compile_options(${holder} PRIVATE $<TARGET_PROPERTY:${tier},INTERFACE_COMPILE_OPTIONS>)
    target_include_directories(${holder} PRIVATE $<TARGET_PROPERTY:${tier},INTERFACE_INCLUDE_DIRECTORIES>)
    set(headers ${pch_${tier}_headers})
    if(kind STREQUAL "tests")
      target_link_libraries(${holder} PRIVATE GTest::gtest)
      target_compile_definitions(${holder} PRIVATE TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
      list(APPEND headers ${pch_test_headers})
    endif()
    target_precompile_headers(${holder} PRIVATE ${headers})
  endif()
  target_precompile_headers(${target} REUSE_FROM ${holder})
endfunction()

# Called by add_layer for a library with sources, once it links what it stands on.
function(build_speed_library target)
  set_target_properties(${target} PROPERTIES UNITY_BUILD_BATCH_SIZE ${UNITY_BATCH_LIBRARY})
  if(target IN_LIST unity_build_off_libraries)
    set_target_properties(${target} PROPERTIES UNITY_BUILD OFF)
  endif()
  build_speed_pch(${target} lib)
endfunction()

# Called by add_layer_tests for a test program: batches, precompiled headers, and the
# registration with ctest. A program of n sources runs as ceil(n / TEST_FILES_PER_SHARD) ctest
# tests named <program>.<i>of<n> (just <program> when one), each a gtest shard of the program.
# Programs that start their own X server run one at a time: two servers coming up and going
# down side by side have left a program started on one of them without a display.
set(test_programs_with_an_x_server host_tests demo_tests)

function(build_speed_tests target)
  set_target_properties(${target} PROPERTIES UNITY_BUILD_BATCH_SIZE ${UNITY_BATCH_TESTS})
  build_speed_pch(${target} tests)
  set(lock "")
  if(target IN_LIST test_programs_with_an_x_server)
    set(lock RESOURCE_LOCK x_server)
  endif()
  if(TEST_EACH_CASE)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ${lock})
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  list(LENGTH sources count)
  math(EXPR shards "(${count} + ${TEST_FILES_PER_SHARD} - 1) / ${TEST_FILES_PER_SHARD}")
  if(shards LESS_EQUAL 1)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "GTEST_BRIEF=1" LABELS ${target} ${lock})
    return()
  endif()
  math(EXPR last "${shards} - 1")
  foreach(index RANGE ${last})
    math(EXPR number "${index} + 1")
    set(name ${target}.${number}of${shards})
    add_test(NAME ${name} COMMAND ${target})
    set_tests_properties(
      ${name} PROPERTIES ENVIRONMENT "GTEST_TOTAL_SHARDS=${shards};GTEST_SHARD_INDEX=${index};GTEST_BRIEF=1"
                         LABELS ${target} ${lock})
  endforeach()
endfunction()
