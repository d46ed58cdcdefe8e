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

# orbiscape_test(NAME SOURCES ... LIBRARIES ... [WINDOWS_ONLY | NATIVE_ONLY] [SHARDS N])
# One ctest entry per executable: under Wine every process start costs time, so the cases of
# an executable are run in one go. An executable whose cases mostly wait (on a slow mirror, say)
# is split into N entries, each running every Nth case, so that they wait side by side.
# Portable tests carry the label "portable", Windows-only ones "windows", native-only ones
# "native".
function(orbiscape_test name)
    cmake_parse_arguments(ARG "WINDOWS_ONLY;NATIVE_ONLY" "SHARDS" "SOURCES;LIBRARIES" ${ARGN})
    if((ARG_WINDOWS_ONLY AND NOT WIN32) OR (ARG_NATIVE_ONLY AND WIN32))
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gmock GTest::gtest_main)
    if(NOT ARG_SHARDS)
        set(ARG_SHARDS 1)
    endif()
    set(label portable)
    if(ARG_WINDOWS_ONLY)
        set(label windows)
    elseif(ARG_NATIVE_ONLY)
        set(label native)
    endif()
    math(EXPR last_shard "${ARG_SHARDS} - 1")
    foreach(shard RANGE ${last_shard})
        set(test ${name})
        if(ARG_SHARDS GREATER 1)
            set(test ${name}_${shard})
        endif()
        if(WIN32)
            orbiscape_windows_test(${test} WINE_SESSION COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
        else()
            add_test(NAME ${test} COMMAND ${name})
        endif()
        set_tests_properties(${test} PROPERTIES LABELS ${label} TIMEOUT 600)
        set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "ORBISCAPE_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
            "GTEST_TOTAL_SHARDS=${ARG_SHARDS}" "GTEST_SHARD_INDEX=${shard}")
    endforeach()
endfunction()

set(ORBISCAPE_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)

# orbiscape_windows_test(NAME [WINE_SESSION] COMMAND ...)
# A test of the Windows build, run by tools/isolated-wine-test.sh so that it can run beside any
# other: with WINE_SESSION in a Wine session of its own, else (an end-to-end scenario) left to start
# its own. Each Wine prefix is a copy of the one that the wine_template test boots once per run.
function(orbiscape_windows_test name)
    cmake_parse_arguments(ARG "WINE_SESSION" "" "COMMAND" ${ARGN})
    set(session)
    if(ARG_WINE_SESSION)
        set(session --wine-session)
    endif()
    add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/tools/isolated-wine-test.sh ${session} ${ARG_COMMAND})
    set_tests_properties(${name} PROPERTIES
        LABELS windows
        FIXTURES_REQUIRED wine_template
        ENVIRONMENT "ORBISCAPE_WINE_TEMPLATE=${ORBISCAPE_WINE_TEMPLATE}/prefix")
endfunction()
