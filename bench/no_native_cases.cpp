#include "bench/bench_case.h"

void addNativeOnlyCases(std::vector<BenchCase>&, const BenchSignal&) {}
