# Shared build helpers.

# zel_warnings(target): our own code builds with warnings on.
function(zel_warnings target)
  target_compile_options(${target} PRIVATE ${ZEL_WARNINGS})
endfunction()

# zel_add_gtest(name SOURCES ... [LIBS ...] [WINDOWS])
# One GoogleTest program, registered with CTest (run through Wine by the toolchain's emulator).
# WINDOWS marks a program that opens windows; it is labelled so, and runs under the virtual display.
function(zel_add_gtest name)
  cmake_parse_arguments(ARG "WINDOWS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  zel_warnings(${name})
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 ENVIRONMENT "ZEL_TEST_DATA=Z:${CMAKE_CURRENT_SOURCE_DIR}/tests")
  set(locks "")
  # Windows of programs that run at the same time take the focus from one another (the desktop is
  # one for the whole Wine prefix), so programs with windows take turns.
  if(ARG_WINDOWS)
    set_tests_properties(${name} PROPERTIES LABELS windows)
    list(APPEND locks zel_desktop)
  endif()
  # The engine's programs share the product's registry key and the engine's system-wide named
  # semaphores inside one Wine prefix, so they take turns too.
  if(name MATCHES "^engine")
    list(APPEND locks zel_engine_state)
  endif()
  if(locks)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
  endif()
endfunction()
