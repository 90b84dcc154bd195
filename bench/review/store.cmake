chenxing_bench(bench_store SOURCES bench_store.cpp filled_store.cpp LIBS review_store)
