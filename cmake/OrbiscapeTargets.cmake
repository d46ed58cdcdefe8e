# Helpers shared by every folder's CMakeLists.txt.
#
# Portable code (no Windows headers) is built into both configurations; code in *_win.cpp
# files is added only to the Windows configuration.

# orbiscape_library(NAME SOURCES ... [WIN_SOURCES ...] [NATIVE_SOURCES ...] [LIBRARIES ...] [WIN_LIBRARIES ...])
function(orbiscape_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;WIN_SOURCES;NATIVE_SOURCES;LIBRARIES;WIN_LIBRARIES;NATIVE_LIBRARIES" ${ARGN})
    set(sources ${ARG_SOURCES})
    set(libraries ${ARG_LIBRARIES})
    if(WIN32)
        list(APPEND sources ${ARG_WIN_SOURCES})
        list(APPEND libraries ${ARG_WIN_LIBRARIES})
    else()
        list(APPEND sources ${ARG_NATIVE_SOURCES})
        list(APPEND libraries ${ARG_NATIVE_LIBRARIES})
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${libraries})
endfunction()

# orbiscape_test(NAME SOURCES ... LIBRARIES ... [WINDOWS_ONLY | NATIVE_ONLY])
# One ctest entry per executable: under Wine every process start costs time, so the cases of
# an executable are run in one go. Portable tests carry the label "portable", Windows-only
# ones "windows", native-only ones "native".
function(orbiscape_test name)
    cmake_parse_arguments(ARG "WINDOWS_ONLY;NATIVE_ONLY" "" "SOURCES;LIBRARIES" ${ARGN})
    if((ARG_WINDOWS_ONLY AND NOT WIN32) OR (ARG_NATIVE_ONLY AND WIN32))
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gmock GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    if(ARG_WINDOWS_ONLY)
        set_tests_properties(${name} PROPERTIES LABELS windows)
    elseif(ARG_NATIVE_ONLY)
        set_tests_properties(${name} PROPERTIES LABELS native)
    else()
        set_tests_properties(${name} PROPERTIES LABELS portable)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT 600
        ENVIRONMENT "ORBISCAPE_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
