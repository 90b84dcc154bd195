add_library(review_store STATIC store.cpp)
target_link_libraries(review_store PUBLIC Qt6::Sql Qt6::Core)
