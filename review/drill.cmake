include(GNUInstallDirs)
add_library(review_drill STATIC session.cpp answer.cpp review_window.cpp)
# dictionary gives the phonetic font and the sound output the recordings play through.
target_link_libraries(review_drill PUBLIC review_fsrs review_store review_cards dictionary Qt6::Widgets)

add_executable(chenxing-review main.cpp)
target_link_libraries(chenxing-review PRIVATE review_drill)
install(TARGETS chenxing-review RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
