# Meshing: grid points, triangulation, model texts, checks and exports over a synthetic barrel vault.
add_executable(bench_meshing_grille ${CMAKE_CURRENT_LIST_DIR}/meshing_grille.cpp)
target_link_libraries(bench_meshing_grille PRIVATE tessarc_meshing tessarc_export tessarc_warnings)
