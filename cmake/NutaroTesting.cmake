# Test helpers shared by every folder.
#
#   nutaro_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
#
# builds one GoogleTest binary and registers it as one CTest entry. Tests see
# NUTARO_FIXTURES_DIR (the shared fixture folder; tests skip with a message
# when it is absent) and NUTARO_SOURCE_DIR. Label "robustness" marks the
# damaged-input tests that the test script also runs under AddressSanitizer;
# label "gui" marks window tests (run with the offscreen Qt platform).

if(NUTARO_BUILD_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
endif()

function(nutaro_add_test)
  if(NOT NUTARO_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${T_NAME} PRIVATE
    NUTARO_FIXTURES_DIR="${NUTARO_FIXTURES_DIR}"
    NUTARO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    NUTARO_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;NUTARO_NODE_MODULES=${CMAKE_SOURCE_DIR}/testing/js/node_modules"
    TIMEOUT 600)
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
