# The statistics' figures and the export, without widgets.
add_library(review_stats STATIC stats.cpp export.cpp)
target_link_libraries(review_stats PUBLIC review_fsrs review_store review_cards Qt6::Core)
add_library(review_drill STATIC session.cpp answer.cpp review_window.cpp stats_view.cpp card_label.cpp single_instance.cpp word_list.cpp)
# dictionary gives the phonetic font and the sound output the recordings play through.
target_link_libraries(review_drill PUBLIC review_fsrs review_store review_cards review_stats dictionary Qt6::Widgets)

# The statistics page with its charts: a module the program loads when the page is opened, since
# Qt Charts and the OpenGL libraries it brings would add a third to the start-up's memory. It
# takes the window's and the store's code from the program, which exports it.
add_library(review_stats_page STATIC stats_page.cpp)
target_link_libraries(review_stats_page PUBLIC review_drill Qt6::Charts)
add_library(chenxing-review-stats MODULE stats_module.cpp)
target_link_libraries(chenxing-review-stats PRIVATE Qt6::Charts Qt6::Widgets)
target_sources(chenxing-review-stats PRIVATE stats_page.cpp)
set_target_properties(chenxing-review-stats PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CHENXING_MODULE_DIR})
install(TARGETS chenxing-review-stats LIBRARY DESTINATION lib/chenxing)

add_executable(chenxing-review main.cpp)
target_link_libraries(chenxing-review PRIVATE review_drill)
# Whole libraries, so that everything the module uses is there to export.
target_link_options(chenxing-review PRIVATE -Wl,--whole-archive $<TARGET_FILE:review_stats> -Wl,--no-whole-archive)
set_target_properties(chenxing-review PROPERTIES ENABLE_EXPORTS ON)
add_dependencies(chenxing-review chenxing-review-stats chenxing-media)
install(TARGETS chenxing-review RUNTIME DESTINATION bin)

# The window icon drawn at build time, as raw pixels that need no decoder.
chenxing_draw_pictures(TARGET chenxing-review SVG_DIR ${CMAKE_CURRENT_SOURCE_DIR}/icons SIZES 16 32 48 NAMES chenxing-review)
