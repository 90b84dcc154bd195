chenxing_test(test_stats SOURCES test_stats.cpp LIBS review_drill)
