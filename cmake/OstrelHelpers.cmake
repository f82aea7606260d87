# Helpers that keep every layer's CMakeLists.txt a plain list of files.

# Warnings for our own code; third-party headers stay quiet because they are found as system headers.
set(OSTREL_WARNINGS -Wall -Wextra)
# Keep the code portable to Qt 6: everything Qt 5.15 deprecates is an error to use.
set(OSTREL_DEFINITIONS QT_DISABLE_DEPRECATED_BEFORE=0x050F00 QT_NO_FOREACH)

if(OSTREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# Fuzzing: all our code carries libFuzzer's coverage instrumentation; the harnesses link its driver.
if(OSTREL_BUILD_FUZZERS)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

function(_ostrel_apply_common target)
  target_compile_options(${target} PRIVATE ${OSTREL_WARNINGS})
  target_compile_definitions(${target} PUBLIC ${OSTREL_DEFINITIONS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# ostrel_add_layer(<layer> [DEPENDS <layer>...] [LIBRARIES <target>...] [SOURCES <file>...])
# Declares the static library ostrel_<layer>. A layer without sources yet compiles one empty unit,
# so that its target exists and the layers above can already link it.
function(ostrel_add_layer layer)
  cmake_parse_arguments(ARG "" "" "DEPENDS;LIBRARIES;SOURCES" ${ARGN})
  set(sources ${ARG_SOURCES})
  if(NOT sources)
    set(empty ${CMAKE_CURRENT_BINARY_DIR}/ostrel_${layer}_empty.cpp)
    file(WRITE ${empty} "// The ${layer} layer has no sources yet.\n")
    set(sources ${empty})
  endif()
  add_library(ostrel_${layer} STATIC ${sources})
  _ostrel_apply_common(ostrel_${layer})
  foreach(dep IN LISTS ARG_DEPENDS)
    target_link_libraries(ostrel_${layer} PUBLIC ostrel_${dep})
  endforeach()
  target_link_libraries(ostrel_${layer} PUBLIC ${ARG_LIBRARIES})
endfunction()

# ostrel_add_tests(<layer> SOURCES <file>... [LIBRARIES <target>...] [LABELS <label>...] [QT] [GL])
# One GoogleTest executable per layer, <layer>_tests, each case registered with CTest.
# QT: the executable gets a main that creates a QApplication on the offscreen platform.
# GL: the cases need a real display (run under xvfb-run) and carry the label gl; so does every case that
# makes an OpenGL widget, such as the main window's canvas.
# A case that calls GTEST_SKIP (the shared data folder is missing, say) is reported by CTest as skipped.
function(ostrel_add_tests layer)
  cmake_parse_arguments(ARG "QT;GL" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  set(target ${layer}_tests)
  add_executable(${target} ${ARG_SOURCES})
  _ostrel_apply_common(${target})
  target_link_libraries(${target} PRIVATE ostrel_${layer} ostrel_test_support ${ARG_LIBRARIES} GTest::gmock)
  if(ARG_QT OR ARG_GL)
    target_link_libraries(${target} PRIVATE ostrel_test_main_qt)
  else()
    target_link_libraries(${target} PRIVATE GTest::gtest_main)
  endif()
  set(labels ${layer} ${ARG_LABELS})
  set(environment "OSTREL_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(ARG_GL)
    # On the virtual display's X server: Qt 6's offscreen platform cannot host an OpenGL widget.
    list(APPEND labels gl)
    list(APPEND environment "QT_QPA_PLATFORM=xcb")
  else()
    list(APPEND environment "QT_QPA_PLATFORM=offscreen")
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES TIMEOUT 300 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
  # A list handed over in PROPERTIES arrives cut at its first separator: the labels and the environment
  # are set on the discovered cases by a script that CTest runs after the discovery.
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_properties.cmake)
  file(WRITE ${script} "if(${target}_TESTS)\n  set_tests_properties(\${${target}_TESTS} PROPERTIES "
                       "LABELS \"${labels}\" ENVIRONMENT \"${environment}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# ostrel_add_benchmark(<name> SOURCES <file>... LIBRARIES <target>...)
function(ostrel_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  _ostrel_apply_common(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} benchmark::benchmark)
endfunction()
