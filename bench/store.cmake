add_executable(bench_arbre ${CMAKE_CURRENT_LIST_DIR}/store_arbre.cpp ${CMAKE_CURRENT_LIST_DIR}/memoire.h)
target_link_libraries(bench_arbre PRIVATE tessarc_store tessarc_util tessarc_warnings)
target_include_directories(bench_arbre PRIVATE ${CMAKE_CURRENT_LIST_DIR})
