# Shared target settings: warnings as errors on our own code, static Windows runtimes.

function(melvora_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow)
endfunction()

# Windows executables carry libgcc/libstdc++/winpthread inside, so only system DLLs are needed.
function(melvora_windows_executable target)
    if(WIN32)
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    endif()
endfunction()

# Adds every immediate subfolder of the current source folder that has a CMakeLists.txt,
# so a new subsystem folder joins the build without editing the parent.
function(melvora_add_subfolders)
    file(GLOB _children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
         ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT _children)
    foreach(_child IN LISTS _children)
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_child}
           AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
            add_subdirectory(${_child})
        endif()
    endforeach()
endfunction()
