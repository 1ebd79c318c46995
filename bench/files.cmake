# Opening scans: the XYZ text reader against a bare from_chars loop, the whole open of an XYZ file and
# of the project file saved from it. Run: tessarc-bench-fichiers SCAN.xyz (see files_ouverture.cpp).
add_executable(tessarc-bench-fichiers ${CMAKE_CURRENT_LIST_DIR}/files_ouverture.cpp)
target_link_libraries(tessarc-bench-fichiers PRIVATE tessarc_files tessarc_warnings)
