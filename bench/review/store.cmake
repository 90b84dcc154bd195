chenxing_bench(bench_store SOURCES bench_store.cpp LIBS review_store)
