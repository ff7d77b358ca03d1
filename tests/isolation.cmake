# Run before the tests (cmake -P): gives each test a fresh, empty home folder
# and XDG folders of its own under ISOLATION_ROOT, so that no setting, font
# cache or file of the machine's, nor one left by an earlier run, reaches a
# test, and nothing a test writes lands in the machine's folders.
# The machine's own setting is read whatever the environment says (a pupil
# must not escape it): on a machine that has one, the tests that run the
# program would follow it. Said rather than met as strange failures.
if(EXISTS /etc/xdg/morvel2/morvel2.conf)
    message(FATAL_ERROR "/etc/xdg/morvel2/morvel2.conf exists: the program would follow this machine's class "
                        "setting in the tests. Run the tests on a machine without one.")
endif()
file(REMOVE_RECURSE ${ISOLATION_ROOT})
foreach(test ${ISOLATED_TESTS})
    foreach(folder home config config-dirs data cache runtime)
        file(MAKE_DIRECTORY ${ISOLATION_ROOT}/${test}/${folder})
    endforeach()
endforeach()
# Private, as the XDG runtime folder must be; the others are opened to all
# so that a step run as another account (nobody) may enter them.
file(CHMOD_RECURSE ${ISOLATION_ROOT} DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
foreach(test ${ISOLATED_TESTS})
    file(CHMOD ${ISOLATION_ROOT}/${test}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endforeach()
