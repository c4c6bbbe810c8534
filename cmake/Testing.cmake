# Test and benchmark registration shared by tests/ and bench/.
# Every test runs with a pinned locale and the offscreen Qt platform, so results never depend
# on the developer's shell.
include(GoogleTest)
find_package(GTest REQUIRED)

set(TESSARO_TEST_ENV "LC_ALL=C.UTF-8;LANG=C.UTF-8;QT_QPA_PLATFORM=offscreen;TZ=UTC")

# tessaro_add_gtest(NAME SOURCES ... LIBS ... [LABELS ...]): a GoogleTest executable, one CTest
# entry per case, each carrying LABELS (for example `crash`, which the sanitizer lane leaves out).
function(tessaro_add_gtest name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} test_main GTest::gtest GTest::gmock)
    target_compile_definitions(${name} PRIVATE TESSARO_APP_DIR="${TESSARO_APP_DIR}"
                               TESSARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    # The environment is pinned by the test main (tests/support/GTestMain.cpp): a list-valued
    # ENVIRONMENT does not survive gtest_discover_tests' argument handling.
    set(properties TIMEOUT 120)
    if(T_LABELS)
        list(APPEND properties LABELS "${T_LABELS}")
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES
                         PROPERTIES ${properties})
endfunction()

# tessaro_add_qtest(NAME SOURCES ... LIBS ...): a Qt Test executable (widgets, event loops).
function(tessaro_add_qtest name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
    target_compile_definitions(${name} PRIVATE TESSARO_APP_DIR="${TESSARO_APP_DIR}"
                               TESSARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${TESSARO_TEST_ENV}" TIMEOUT 300)
endfunction()

# tessaro_add_benchmark(NAME SOURCES ... LIBS ...): built with the tree, run by hand
# (never part of CTest: timings on shared machines are not test verdicts).
function(tessaro_add_benchmark name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS})
    target_compile_definitions(${name} PRIVATE TESSARO_APP_DIR="${TESSARO_APP_DIR}"
                               TESSARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()
