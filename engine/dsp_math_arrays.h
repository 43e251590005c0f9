// exp and log10 over arrays, in loops the compiler vectorises. Every element
// gets exactly the bits dsp::exp and dsp::log10 give it one at a time.
#pragma once

namespace dsp {

// y[i] = exp(x[i]) for i < n; y may be x. The widest form the processor runs.
void expOf(const double* x, double* y, int n);
// y[i] = log10(x[i]) for i < n; y may be x.
void log10Of(const double* x, double* y, int n);
// The same for arguments known to be normal positive finite numbers.
void log10NormalOf(const double* x, double* y, int n);
// y[i] = -(20 log10(x[i])), a gain's reduction in dB, for i < n; y may be x.
// Fastest for gains between -3 dB and +3 dB.
void reductionDbOf(const double* x, double* y, int n);

// The forms, for tests that compare them. A form wider than widestForm()
// must not be called.
enum class VectorWidth { sse2, avx2, avx512 };
VectorWidth widestForm();
void expOf(const double* x, double* y, int n, VectorWidth width);
void log10Of(const double* x, double* y, int n, VectorWidth width);
void log10NormalOf(const double* x, double* y, int n, VectorWidth width);
void reductionDbOf(const double* x, double* y, int n, VectorWidth width);

}  // namespace dsp
