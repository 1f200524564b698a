# One helper per kind of target, so every library, executable and test is declared the same way.

set(VARNHOLT_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Woverloaded-virtual -Wold-style-cast)
# GCC 12 reports std::string concatenation as an overlapping memcpy at -O3 (GCC bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND VARNHOLT_WARNINGS -Wno-restrict)
endif()
if(VARNHOLT_WERROR)
  list(APPEND VARNHOLT_WARNINGS -Werror)
endif()

set(VARNHOLT_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

# Applies our warnings and the optional sanitizers to a target built from our own sources.
function(varnholt_target_defaults target)
  target_compile_options(${target} PRIVATE ${VARNHOLT_WARNINGS})
  if(VARNHOLT_SANITIZE)
    target_compile_options(${target} PRIVATE ${VARNHOLT_SANITIZER_FLAGS})
    target_link_options(${target} PRIVATE ${VARNHOLT_SANITIZER_FLAGS})
  endif()
  if(NOT VARNHOLT_SANITIZE AND NOT VARNHOLT_FUZZ)
    # Hardened as Debian builds its own packages: a guard on stacks with buffers, checked string and memory functions
    # where the sizes are known (needs optimization), and the relocations read-only before the program starts. The
    # sanitizers and fuzzers bring their own checks.
    target_compile_options(${target} PRIVATE -fstack-protector-strong
                           $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE>
                           $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
    target_link_options(${target} PRIVATE LINKER:-z,relro LINKER:-z,now)
  endif()
  if(VARNHOLT_FUZZ)
    # Coverage for the fuzzers reaches into the libraries they exercise.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
    # Executables built from instrumented libraries need the sanitizer runtimes too.
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
  endif()
endfunction()

# varnholt_add_library(name SOURCES ... [DEPENDS ...] [PUBLIC_DEPENDS ...])
function(varnholt_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PUBLIC_DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPENDS} PRIVATE ${ARG_DEPENDS})
  varnholt_target_defaults(${name})
  if(VARNHOLT_SANITIZE)
    target_link_options(${name} INTERFACE ${VARNHOLT_SANITIZER_FLAGS})
  endif()
endfunction()

# varnholt_add_executable(name SOURCES ... DEPENDS ...)
function(varnholt_add_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  varnholt_target_defaults(${name})
endfunction()

# varnholt_add_test(name SOURCES ... DEPENDS ...): one GoogleTest executable, registered with ctest.
function(varnholt_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  varnholt_target_defaults(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    # gtest_discover_tests splits a list here into property names, so only one variable can be passed this way;
    # tests find their data through compile definitions instead.
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# varnholt_add_window_test(name SOURCES ... DEPENDS ...): a GoogleTest executable that runs real windows; its main
# creates the QApplication (offscreen under ctest) before the tests run.
function(varnholt_add_window_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/window_test_main.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} Qt6::Widgets GTest::gtest)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  varnholt_target_defaults(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# varnholt_add_fuzzer(name SOURCES ... DEPENDS ...): a libFuzzer target (VARNHOLT_FUZZ builds only).
function(varnholt_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
