chenxing_test(test_drill SOURCES test_drill.cpp LIBS review_drill)
