# The fuzz build (scripts/fuzz, build-fuzz/): clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer. Every library of the tree is instrumented for coverage
# (fuzzer-no-link); only the fuzz targets in fuzz/ link libFuzzer's driver. An undefined
# behaviour report aborts like a failed check, so the fuzzer keeps the input.
option(TESSARO_FUZZ "Build the fuzz targets in fuzz/ (needs clang)" OFF)

if(TESSARO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TESSARO_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
    # The fuzz build configures without the test suite (BUILD_TESTING=OFF) but registers each
    # target's corpus run in CTest.
    enable_testing()
endif()
