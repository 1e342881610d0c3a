# GoogleTest is built from Debian's sources with the project's own compiler and
# flags, so the same library serves the cross build, the sanitizers and the host.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

set(SETUP_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)

if(WIN32)
    # One display and one persistent wineserver per prefix for the whole test run.
    add_test(NAME wine-session-start COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-session start)
    add_test(NAME wine-session-stop COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-session stop)
    set_tests_properties(wine-session-start PROPERTIES FIXTURES_SETUP wine
                         ENVIRONMENT "SETUP_WINE_ROOT=${SETUP_WINE_ROOT}")
    set_tests_properties(wine-session-stop PROPERTIES FIXTURES_CLEANUP wine
                         ENVIRONMENT "SETUP_WINE_ROOT=${SETUP_WINE_ROOT}")
endif()

# add_wine_test(<name> SOURCES ... [LIBRARIES ...] [PREFIX win32|win64] [VERSION win7]
#               [ARGS ...])
# One test program is one ctest entry: Wine starts once for all of its cases.
# Programs that share a prefix share its registry, spooler and named objects, so
# they run one after another; the two prefixes run side by side.
function(add_wine_test name)
    cmake_parse_arguments(T "" "PREFIX;VERSION;TARGET" "SOURCES;LIBRARIES;ARGS" ${ARGN})
    if(NOT T_PREFIX)
        set(T_PREFIX win64)
    endif()
    if(NOT T_TARGET)
        set(T_TARGET ${name})
        add_executable(${name} ${T_SOURCES})
        target_link_libraries(${name} PRIVATE ${T_LIBRARIES} GTest::gtest GTest::gmock)
    endif()
    add_test(NAME ${name} COMMAND ${T_TARGET} ${T_ARGS})
    set(env "SETUP_WINE_ROOT=${SETUP_WINE_ROOT}" "SETUP_WINE_PREFIX=${T_PREFIX}")
    if(T_VERSION)
        list(APPEND env "SETUP_WINE_VERSION=${T_VERSION}")
    endif()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${env}"
        FIXTURES_REQUIRED wine
        RESOURCE_LOCK wine-${T_PREFIX}
        TIMEOUT 300)
endfunction()
