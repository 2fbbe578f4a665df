# Build helpers shared by every folder.
#
#   corvane_flags            interface target: warnings and, when
#                            CORVANE_SANITIZE is on, the sanitizers. Every target
#                            links it except the vessel module, which is always
#                            built optimised for size without sanitizers.
#   corvane_library(NAME ...) static library corvane_NAME from the *.cpp files of
#                            the calling folder; extra arguments are the
#                            libraries it uses (PUBLIC).
#   corvane_test(NAME ...)   test executable test_NAME from the *.cpp files of
#                            the calling folder, linked with GoogleTest and the
#                            given libraries; each test case becomes a CTest test.
#   corvane_gl_test(NAME ...) the same for tests that need a GL context: they are
#                            listed and run under a virtual X server of their own
#                            (scripts/with-display); not built for Windows.
#   corvane_host_tool(NAME SOURCES...) a build-time tool; a cross build takes the
#                            one built for this machine in CORVANE_HOST_TOOLS.

add_library(corvane_flags INTERFACE)
target_compile_options(corvane_flags INTERFACE -Wall -Wextra -Wno-unused-parameter)
target_include_directories(corvane_flags INTERFACE ${CMAKE_CURRENT_LIST_DIR}/../src)
if(WIN32)
  target_compile_definitions(corvane_flags INTERFACE NOMINMAX WIN32_LEAN_AND_MEAN SDL_MAIN_HANDLED)
endif()
if(CORVANE_SANITIZE AND NOT WIN32)
  target_compile_options(corvane_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(corvane_flags INTERFACE -fsanitize=address,undefined)
endif()

function(corvane_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)  # a folder whose units are still headers only
    set(sources ${CMAKE_CURRENT_BINARY_DIR}/empty_unit.cpp)
    file(WRITE ${sources} "")
  endif()
  add_library(corvane_${name} STATIC ${sources})
  target_link_libraries(corvane_${name} PUBLIC corvane_flags ${ARGN})
endfunction()

function(corvane_host_tool name)
  if(CMAKE_CROSSCOMPILING)
    # the host build folder mirrors the source tree
    file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    add_executable(${name} IMPORTED GLOBAL)
    set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${CORVANE_HOST_TOOLS}/${folder}/${name})
  else()
    add_executable(${name} ${ARGN})
  endif()
endfunction()

function(corvane_gl_test name)
  if(WIN32)
    return()
  endif()
  find_package(SDL2 REQUIRED)
  set(CORVANE_TEST_RUNNER ${CMAKE_SOURCE_DIR}/scripts/with-display)
  corvane_test(${name} SDL2::SDL2 ${ARGN})
endfunction()

function(corvane_test name)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  # *_win32_test.cpp cases are the Windows build's own; the POSIX-only ones
  # (fork, pipes, modes, rlimits) are listed in tests/CMakeLists.txt.
  if(WIN32)
    foreach(source IN LISTS CORVANE_POSIX_ONLY_TESTS)
      list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${source})
    endforeach()
  else()
    list(FILTER sources EXCLUDE REGEX "_win32_test\\.cpp$")
  endif()
  if(NOT sources)  # no test written yet for this folder
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE corvane_flags GTest::gtest_main GTest::gmock ${ARGN})
  target_include_directories(test_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)  # common/ helpers
  target_compile_definitions(test_${name} PRIVATE
    CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    CORVANE_BINARY_DIR="${CMAKE_BINARY_DIR}"
    CORVANE_DEMO_ROOT="${CORVANE_DEMO_ROOT}")
  set(leaks 1)
  if(CORVANE_TEST_RUNNER)
    # the runner starts each test's own virtual X server; the X and GL client
    # libraries keep allocations to the end, as in the GUI tests
    set_target_properties(test_${name} PROPERTIES CROSSCOMPILING_EMULATOR "${CORVANE_TEST_RUNNER}")
    set(leaks 0)
  endif()
  # Listing the tests starts the program (and, through the runner, a virtual X
  # server): on a loaded machine that can take far longer than the default 5 s.
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=${leaks}:abort_on_error=0;UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
endfunction()
