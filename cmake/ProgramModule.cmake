# tessaro_add_program_module(<target> SOURCES <src...> LIBS <lib...> MAP <version script>):
# one of the program's loadable modules (framework/os/SFProgramModule.h), lib<target>.so. It
# exports only what the version script keeps (its entry), lies in the application directory of
# the build tree and in lib/tessaro of an installed tree.
function(tessaro_add_program_module target)
    cmake_parse_arguments(A "" "MAP" "SOURCES;LIBS" ${ARGN})
    add_library(${target} MODULE ${A_SOURCES})
    target_link_libraries(${target} PRIVATE ${A_LIBS})
    set_target_properties(${target} PROPERTIES
        CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
        LIBRARY_OUTPUT_DIRECTORY ${TESSARO_APP_DIR}
        LINK_DEPENDS ${A_MAP})
    target_link_options(${target} PRIVATE -Wl,--version-script=${A_MAP})
    # Under clang's sanitizers their runtime lies in the executable only: the module's
    # references to it are left to be resolved from there when it is loaded.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND (TESSARO_SANITIZE OR TESSARO_FUZZ))
        target_link_options(${target} PRIVATE -Wl,-z,undefs)
    endif()
    add_dependencies(appdir ${target})
    install(TARGETS ${target} LIBRARY DESTINATION lib/tessaro)
endfunction()
