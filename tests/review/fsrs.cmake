chenxing_test(test_fsrs SOURCES test_fsrs.cpp LIBS review_fsrs)
target_compile_definitions(test_fsrs PRIVATE FSRS_VECTORS="${CMAKE_CURRENT_SOURCE_DIR}/data/fsrs_vectors.txt"
                          FSRS_SHORT_TERM_VECTORS="${CMAKE_CURRENT_SOURCE_DIR}/data/fsrs_short_term_vectors.txt")
