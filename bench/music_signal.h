// A realistic test signal for the benchmarks: a drum pattern built from real
// recordings (Debian's hydrogen-data), with bass and a sustained tone, at
// 48 kHz. Falls back to a generated signal when the recordings are missing.
#pragma once

#include <string>
#include <vector>

struct BenchSignal {
    std::vector<float> left, right;
    std::string source;  // what it was built from
};

BenchSignal musicSignal(double seconds);
BenchSignal generatedSignal(double seconds);
