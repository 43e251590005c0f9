// exp and log10 over arrays, in loops the compiler vectorises. Every element
// gets exactly the bits dsp::exp and dsp::log10 give it one at a time.
#pragma once

namespace dsp {

// y[i] = exp(x[i]) for i < n; y may be x. The widest form the processor runs.
void expOf(const double* x, double* y, int n);
// y[i] = log10(x[i]) for i < n; y may be x.
void log10Of(const double* x, double* y, int n);

// The forms, for tests that compare them. Call avx2 only where hasAvx2().
enum class VectorWidth { sse2, avx2 };
bool hasAvx2();
void expOf(const double* x, double* y, int n, VectorWidth width);
void log10Of(const double* x, double* y, int n, VectorWidth width);

}  // namespace dsp
