add_library(review_fsrs STATIC fsrs.cpp)
