# The statistics' figures and the export, without widgets.
add_library(review_stats STATIC stats.cpp export.cpp)
target_link_libraries(review_stats PUBLIC review_fsrs review_store review_cards Qt6::Core)
add_library(review_drill STATIC session.cpp answer.cpp review_window.cpp stats_page.cpp)
# dictionary gives the phonetic font and the sound output the recordings play through.
target_link_libraries(review_drill PUBLIC review_fsrs review_store review_cards review_stats dictionary Qt6::Widgets Qt6::Charts)

add_executable(chenxing-review main.cpp)
target_link_libraries(chenxing-review PRIVATE review_drill)
install(TARGETS chenxing-review RUNTIME DESTINATION bin)

# The window icon drawn at build time, as raw pixels that need no decoder.
set(review_picture_dir ${CMAKE_CURRENT_BINARY_DIR}/pictures)
set(review_pictures)
foreach(size 16 32 48)
  list(APPEND review_pictures ${review_picture_dir}/${size}x${size}/apps/chenxing-review.argb)
endforeach()
add_custom_command(
  OUTPUT ${review_pictures}
  COMMAND chenxing-render-icons --raw ${CMAKE_CURRENT_SOURCE_DIR}/icons/chenxing-review.svg ${review_picture_dir} 16 32 48
  DEPENDS chenxing-render-icons icons/chenxing-review.svg
  COMMENT "Drawing the review program's icon"
  VERBATIM)
qt_add_resources(chenxing-review review_pictures
  PREFIX /pictures
  BASE ${review_picture_dir}
  OPTIONS --no-compress
  FILES ${review_pictures})
