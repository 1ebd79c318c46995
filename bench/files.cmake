# Opening scans: the XYZ text reader against a bare from_chars loop, the whole open of an XYZ file, of
# the project file saved from it and of the same points as LAS, PLY, PTS and PTX. Run:
# tessarc-bench-fichiers SCAN.xyz (see files_ouverture.cpp).
add_executable(tessarc-bench-fichiers ${CMAKE_CURRENT_LIST_DIR}/files_ouverture.cpp)
target_link_libraries(tessarc-bench-fichiers PRIVATE tessarc_files tessarc_warnings)
# The writers of the other formats' files are the tests' (header-only, so no test needs building).
target_include_directories(tessarc-bench-fichiers PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
# Opening an E57 scan written by the tests' writer against the project file of the same points. Run:
# tessarc-bench-e57 SCAN.xyz (see files_e57.cpp).
add_executable(tessarc-bench-e57 ${CMAKE_CURRENT_LIST_DIR}/files_e57.cpp)
target_link_libraries(tessarc-bench-e57 PRIVATE tessarc_files tessarc_warnings)
target_include_directories(tessarc-bench-e57 PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
