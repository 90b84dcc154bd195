chenxing_bench(bench_fsrs_sim SOURCES bench_fsrs_sim.cpp LIBS review_fsrs)
