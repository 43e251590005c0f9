#include <cstdio>

#include "bench/bench_case.h"

void addPeerCases(std::vector<BenchCase>&, const BenchSignal&) {
    std::printf("# x42-dpl not timed: this build has no lilv (liblilv-dev)\n");
}
