# The 3D view: points buffer, replay, bare draw and picking over a large displayed level.
# Run under X11: xvfb-run -a build/bench/bench_view_rendu [--cubes N]
if(TARGET tessarc_view)
    find_package(Qt6 REQUIRED COMPONENTS Test)
    add_executable(bench_view_rendu ${CMAKE_CURRENT_LIST_DIR}/view_rendu.cpp)
    target_link_libraries(bench_view_rendu PRIVATE tessarc_view Qt6::Test tessarc_warnings)
endif()
