# Read by cpack before it builds the package. Without dpkg-shlibdeps, cpack
# would build a package that declares no library dependencies at all, and
# that installs but does not start.
if(CPACK_GENERATOR STREQUAL "DEB")
    find_program(MORVEL2_DPKG_SHLIBDEPS dpkg-shlibdeps)
    find_program(MORVEL2_FILE file)
    if(NOT MORVEL2_DPKG_SHLIBDEPS OR NOT MORVEL2_FILE)
        message(FATAL_ERROR "dpkg-shlibdeps and file are needed to read the program's library "
                            "dependencies: sudo apt-get install dpkg-dev file")
    endif()
endif()
