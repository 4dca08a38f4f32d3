# Build helpers shared by every subsystem. Portable code goes into dk_portable (built natively
# and for Windows); Windows code into dk_win (both DLL builds), dk_metabase (full build only) or
# dk_nometabase (the build without the metabase client).

find_package(Python3 REQUIRED COMPONENTS Interpreter)

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(DK_WARNINGS -Wall -Wextra -Wpedantic -Werror -Wno-missing-field-initializers)
endif()

if(WIN32)
  # Windows XP SP2 / Server 2003 API level; ANSI forms of the API.
  add_compile_definitions(_WIN32_WINNT=0x0502 WINVER=0x0502 NOMINMAX WIN32_LEAN_AND_MEAN)
  # Everything static: the DLL and the test programs need nothing but Windows system DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  set(DK_WIN_ROOT "Z:${CMAKE_SOURCE_DIR}")
  set(DK_WIN_BUILD "Z:${CMAKE_BINARY_DIR}")
  set(DK_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${CMAKE_SOURCE_DIR}/tests/wine/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()

if(DEPLOYKIT_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(DEPLOYKIT_FUZZ)
  # Coverage for the fuzzers in the portable library they exercise.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The export index and everything generated from it.
set(DK_EXPORT_INDEX ${CMAKE_SOURCE_DIR}/src/frame/exports.tsv)
set(DK_GEN_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${DK_GEN_DIR}/include)
set(DK_GENERATED
    ${DK_GEN_DIR}/deploykit-i686.def ${DK_GEN_DIR}/deploykit-x86_64.def
    ${DK_GEN_DIR}/include/deploykit.h ${DK_GEN_DIR}/dkcall_table.inc ${DK_GEN_DIR}/exports.txt)
add_custom_command(
  OUTPUT ${DK_GENERATED}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/gen_exports.py ${DK_EXPORT_INDEX}
          --def-i686 ${DK_GEN_DIR}/deploykit-i686.def --def-x86_64 ${DK_GEN_DIR}/deploykit-x86_64.def
          --header ${DK_GEN_DIR}/include/deploykit.h --dkcall ${DK_GEN_DIR}/dkcall_table.inc
          --names ${DK_GEN_DIR}/exports.txt
  DEPENDS ${DK_EXPORT_INDEX} ${CMAKE_SOURCE_DIR}/tools/gen_exports.py
  COMMENT "Generating the export table")
add_custom_target(dk_generated DEPENDS ${DK_GENERATED})
add_library(dk_exports_header INTERFACE)
target_include_directories(dk_exports_header INTERFACE ${DK_GEN_DIR}/include)
add_dependencies(dk_exports_header dk_generated)

# Portable code: no Windows dependency.
add_library(dk_portable STATIC)
target_include_directories(dk_portable PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(dk_portable PRIVATE ${DK_WARNINGS})

if(WIN32)
  add_library(dk_win OBJECT)
  target_include_directories(dk_win PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(dk_win PUBLIC DEPLOYKIT_BUILDING)
  target_compile_options(dk_win PRIVATE ${DK_WARNINGS})
  target_link_libraries(dk_win PUBLIC dk_exports_header dk_portable advapi32 ws2_32 ole32 oleaut32 uuid shlwapi)
  add_library(dk_metabase OBJECT)
  target_compile_options(dk_metabase PRIVATE ${DK_WARNINGS})
  target_link_libraries(dk_metabase PUBLIC dk_win activeds adsiid)
  add_library(dk_nometabase OBJECT)
  target_compile_options(dk_nometabase PRIVATE ${DK_WARNINGS})
  target_link_libraries(dk_nometabase PUBLIC dk_win)
  # Internals for test programs that call them directly.
  add_library(dk_internals INTERFACE)
  target_link_libraries(dk_internals INTERFACE dk_win dk_metabase dk_portable)
  target_sources(dk_internals INTERFACE $<TARGET_OBJECTS:dk_win> $<TARGET_OBJECTS:dk_metabase>)
  add_library(dk_internals_nometabase INTERFACE)
  target_link_libraries(dk_internals_nometabase INTERFACE dk_win dk_nometabase dk_portable)
  target_sources(dk_internals_nometabase INTERFACE $<TARGET_OBJECTS:dk_win> $<TARGET_OBJECTS:dk_nometabase>)
endif()

function(dk_portable_sources)
  list(TRANSFORM ARGN PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  target_sources(dk_portable PRIVATE ${ARGN})
endfunction()

function(dk_windows_sources)
  if(WIN32)
    list(TRANSFORM ARGN PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    target_sources(dk_win PRIVATE ${ARGN})
  endif()
endfunction()

function(dk_metabase_sources)
  if(WIN32)
    list(TRANSFORM ARGN PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    target_sources(dk_metabase PRIVATE ${ARGN})
  endif()
endfunction()

function(dk_nometabase_sources)
  if(WIN32)
    list(TRANSFORM ARGN PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    target_sources(dk_nometabase PRIVATE ${ARGN})
  endif()
endfunction()

# Native unit test of portable code (GoogleTest), with optional extra libraries
# (OpenSSL::Crypto, ZLIB::ZLIB as reference oracles).
function(dk_native_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR NOT DEPLOYKIT_TESTS)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_compile_options(${T_NAME} PRIVATE ${DK_WARNINGS})
  target_link_libraries(${T_NAME} PRIVATE dk_portable GTest::gtest_main GTest::gmock ${T_LIBS})
  gtest_discover_tests(${T_NAME} TEST_PREFIX "${T_NAME}." DISCOVERY_MODE PRE_TEST)
endfunction()

# Windows test program run under wine64. It may load the DLLs by path (dk_test_support) and link
# the internals (LIBS dk_internals). LOCKS names shared state it touches (log files, registry keys,
# windir, a stand-in's state); FIXTURES adds further ctest fixtures it needs.
function(dk_wine_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LOCKS;FIXTURES;DEPENDS" ${ARGN})
  if(NOT WIN32 OR NOT DEPLOYKIT_TESTS)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_compile_options(${T_NAME} PRIVATE ${DK_WARNINGS})
  target_link_libraries(${T_NAME} PRIVATE dk_test_support gtest_main gmock ${T_LIBS})
  add_dependencies(${T_NAME} deploykit_all ${T_DEPENDS})
  gtest_discover_tests(${T_NAME} TEST_PREFIX "${T_NAME}." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  # Fixtures and locks are list-valued properties, which gtest_discover_tests's PROPERTIES would
  # spread into separate words; a script read after the discovered tests sets them whole.
  set(props_file ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_properties.cmake)
  set(fixtures wine ${T_FIXTURES})
  set(lines "foreach(t IN LISTS ${T_NAME}_TESTS)\n")
  string(APPEND lines "  set_tests_properties(\"\${t}\" PROPERTIES FIXTURES_REQUIRED \"${fixtures}\")\n")
  if(T_LOCKS)
    string(APPEND lines "  set_tests_properties(\"\${t}\" PROPERTIES RESOURCE_LOCK \"${T_LOCKS}\")\n")
  endif()
  string(APPEND lines "endforeach()\n")
  file(WRITE ${props_file} "${lines}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${props_file})
endfunction()

# Stand-ins for platform components that Wine lacks: Windows programs and DLLs in bin/standins.
function(dk_standin)
  cmake_parse_arguments(S "DLL" "NAME;OUTPUT_NAME;DEF;OUTPUT_DIR" "SOURCES;LIBS" ${ARGN})
  if(NOT WIN32 OR NOT DEPLOYKIT_TESTS)
    return()
  endif()
  if(S_DLL)
    add_library(${S_NAME} SHARED ${S_SOURCES})
    set_target_properties(${S_NAME} PROPERTIES PREFIX "")
    if(S_DEF)
      target_sources(${S_NAME} PRIVATE ${S_DEF})
    endif()
  else()
    add_executable(${S_NAME} ${S_SOURCES})
  endif()
  if(NOT S_OUTPUT_DIR)
    set(S_OUTPUT_DIR ${CMAKE_BINARY_DIR}/bin/standins)
  endif()
  set_target_properties(${S_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${S_OUTPUT_DIR}
                                             LIBRARY_OUTPUT_DIRECTORY ${S_OUTPUT_DIR})
  if(S_OUTPUT_NAME)
    set_target_properties(${S_NAME} PROPERTIES OUTPUT_NAME ${S_OUTPUT_NAME})
  endif()
  target_compile_options(${S_NAME} PRIVATE ${DK_WARNINGS})
  target_include_directories(${S_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${S_NAME} PRIVATE ${S_LIBS})
  add_dependencies(deploykit_all ${S_NAME})
endfunction()

# Google Benchmark program of the portable code (bench preset).
function(dk_native_benchmark)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR NOT DEPLOYKIT_BENCH)
    return()
  endif()
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE dk_portable benchmark::benchmark ${B_LIBS})
endfunction()

# libFuzzer target (fuzz preset), with a short smoke run as a test.
function(dk_fuzzer)
  cmake_parse_arguments(F "" "NAME;SMOKE_SECONDS" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR NOT DEPLOYKIT_FUZZ)
    return()
  endif()
  if(NOT F_SMOKE_SECONDS)
    set(F_SMOKE_SECONDS 10)
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${F_NAME} PRIVATE dk_portable ${F_LIBS})
  add_test(NAME fuzz.${F_NAME} COMMAND ${F_NAME} -max_total_time=${F_SMOKE_SECONDS} -rss_limit_mb=2048)
endfunction()
