# The build tree assembles the application directory: the executable and every data file it
# reads lie together in ${TESSARO_APP_DIR}, so the program runs from the build tree as it runs
# from an unpacked folder. Installed, the data goes to share/tessaro (see docs/architecture.md).
set(TESSARO_APP_DIR ${PROJECT_BINARY_DIR}/bin)
file(MAKE_DIRECTORY ${TESSARO_APP_DIR})
include(GNUInstallDirs)
set(TESSARO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/tessaro)

add_custom_target(appdir ALL)

# tessaro_app_files(DEST <subdir or .> FILES <files...>): copy source files into the application
# directory (at build time, when they change) and install them beside the data.
function(tessaro_app_files)
    cmake_parse_arguments(A "" "DEST" "FILES" ${ARGN})
    if(NOT A_DEST)
        set(A_DEST .)
    endif()
    foreach(f ${A_FILES})
        get_filename_component(abs ${f} ABSOLUTE)
        get_filename_component(name ${f} NAME)
        set(out ${TESSARO_APP_DIR}/${A_DEST}/${name})
        add_custom_command(OUTPUT ${out}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSARO_APP_DIR}/${A_DEST}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${abs} ${out}
            DEPENDS ${abs} VERBATIM)
        list(APPEND outs ${out})
        install(FILES ${abs} DESTINATION ${TESSARO_INSTALL_DATADIR}/${A_DEST})
    endforeach()
    string(MAKE_C_IDENTIFIER "appfiles_${A_DEST}_${A_FILES}" tgt)
    string(SUBSTRING ${tgt} 0 60 tgt)
    string(MD5 h "${A_FILES}")
    add_custom_target(${tgt}_${h} ALL DEPENDS ${outs})
    add_dependencies(appdir ${tgt}_${h})
endfunction()
