# dist/ is what a user unpacks: Setup.exe with the driver package, the virtual COM
# port INFs and the status monitor beside it.
set(SETUP_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)
add_custom_target(dist
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${SETUP_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SETUP_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_BINARY_DIR}/package-stage ${SETUP_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Setup> ${SETUP_DIST_DIR}/Setup.exe
    # What a user gets carries no debugging information.
    COMMAND ${CMAKE_STRIP} ${SETUP_DIST_DIR}/Setup.exe
    DEPENDS Setup sample_package
    COMMENT "Assembling dist/")
