# One place for the compiler policy of every target in the tree.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

find_program(TESSARO_CCACHE ccache)
if(TESSARO_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    set(CMAKE_C_COMPILER_LAUNCHER ${TESSARO_CCACHE})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${TESSARO_CCACHE})
endif()

option(TESSARO_WERROR "Treat warnings as errors" OFF)
option(TESSARO_SANITIZE "Sanitizers to build with (address;undefined or thread)" "")

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow)
if(TESSARO_WERROR)
    add_compile_options(-Werror)
endif()
add_link_options(-Wl,--no-undefined)

# Qt's safety nets: no silent conversions from char* to QString, no narrowing in connect().
add_compile_definitions(QT_NO_CAST_FROM_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
                        QT_NO_KEYWORDS)

if(TESSARO_SANITIZE)
    string(REPLACE ";" "," _san "${TESSARO_SANITIZE}")
    add_compile_options(-fsanitize=${_san} -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${_san})
endif()
