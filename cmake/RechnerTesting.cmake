# GoogleTest from Debian's source package, built with the same compiler and flags as the code it
# tests (one path for g++, the sanitizer build and mingw), and a helper to declare a test program.
set(RECHNER_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${RECHNER_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL
                 SYSTEM)
include(GoogleTest)

# RechnerAddUnitTest(<name> SOURCES <files...> LIBRARIES <targets...>)
# One GoogleTest program per library. On Linux every case becomes its own CTest test; a
# cross-compiled program runs whole under the emulator, since discovering its cases would mean
# starting Wine once more per build.
function(RechnerAddUnitTest name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES")
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} GTest::gtest_main rechner_warnings)
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${name} COMMAND ${name})
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
