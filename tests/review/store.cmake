# The killed-mid-session test kills this writer while it records answers.
add_executable(store_writer store_writer.cpp)
target_link_libraries(store_writer PRIVATE review_store)
chenxing_test(test_store SOURCES test_store.cpp LIBS review_store)
target_compile_definitions(test_store PRIVATE STORE_WRITER="$<TARGET_FILE:store_writer>")
add_dependencies(test_store store_writer)
