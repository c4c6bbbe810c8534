# tessaro_add_subdirs(): add every direct sub-folder that has a CMakeLists.txt, in name order.
# Used by the collecting folders (data/, tools/, bench/, tests/*), whose children are independent.
function(tessaro_add_subdirs)
    file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT children)
    foreach(dir ${children})
        if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()
