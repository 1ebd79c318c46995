# Warnings for our own code only (Qt and system headers are included as system headers).
add_library(tessarc_warnings INTERFACE)
target_compile_options(tessarc_warnings INTERFACE -Wall -Wextra -Wpedantic
    $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
if(TESSARC_WERROR)
    target_compile_options(tessarc_warnings INTERFACE -Werror)
endif()

# Adds every subfolder of the current folder that has a CMakeLists.txt, in the order given.
function(tessarc_add_subdirectories)
    foreach(dir IN LISTS ARGN)
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()

# tessarc_add_test(NAME name SOURCES ... LIBS ... [DISPLAY])
# One GoogleTest program per call, its cases registered with CTest. DISPLAY marks tests that need an
# X display (they run under xvfb-run in test.sh).
function(tessarc_add_test)
    cmake_parse_arguments(T "DISPLAY" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main tessarc_warnings)
    target_compile_definitions(${T_NAME} PRIVATE
        TESSARC_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        TESSARC_SHARED_DATA="${PROJECT_SOURCE_DIR}/../shared/data")
    set(labels core)
    if(T_DISPLAY)
        set(labels display)
    endif()
    gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${labels}")
endfunction()
