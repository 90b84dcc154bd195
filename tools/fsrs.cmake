# Prints what the review scheduler makes of one card's answers.
add_executable(chenxing-fsrs fsrs_cli.cpp)
target_link_libraries(chenxing-fsrs PRIVATE review_fsrs)
