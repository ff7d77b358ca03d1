# The compiler's runtime DLLs a mingw-w64 program needs beside it, taken
# from the compiler that built it: MORVEL2_MINGW_RUNTIME_DLLS (their paths)
# and MORVEL2_MINGW_RUNTIME_DIRS (their folders).
set(MORVEL2_MINGW_RUNTIME_DLLS)
set(MORVEL2_MINGW_RUNTIME_DIRS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
    endif()
    get_filename_component(found "${found}" REALPATH)
    get_filename_component(folder "${found}" DIRECTORY)
    list(APPEND MORVEL2_MINGW_RUNTIME_DLLS "${found}")
    list(APPEND MORVEL2_MINGW_RUNTIME_DIRS "${folder}")
endforeach()
list(REMOVE_DUPLICATES MORVEL2_MINGW_RUNTIME_DIRS)
