// Several forms of each loop: SSE2, which every x86-64 processor has, and
// AVX2 (and, for log10, AVX-512), chosen at load time where the processor
// has them. All perform the operations of dsp::exp and dsp::log10 in the same
// order, each lane as the scalar code does it (no fused multiply-add: no form
// enables FMA, and contraction is off), so every form gives the same bits.
//
// exp is written with intrinsics, because its table look-up keeps the
// compiler from vectorising it; log10 is plain C++ that the compiler
// vectorises (this file is compiled with -fno-trapping-math, which lets it
// turn the selects into blends; it changes no value).
#include "effect/dsp_math_arrays.h"

#include <immintrin.h>

#include "effect/dsp_math.h"

namespace dsp {

namespace {

using namespace detail;

// The constants of dsp::exp, broadcast.
void expSse2(const double* x, double* y, int n) {
    const __m128d lowest = _mm_set1_pd(-746.0), highest = _mm_set1_pd(710.0);
    const __m128d shifter = _mm_set1_pd(kShifter), invLn2 = _mm_set1_pd(kInvLn2Times64);
    const __m128d ln2Hi = _mm_set1_pd(kLn2By64Hi), ln2Lo = _mm_set1_pd(kLn2By64Lo);
    const __m128i low6 = _mm_set1_epi64x(63), bias = _mm_set1_epi64x(1023);
    int i = 0;
    for (; i + 2 <= n; i += 2) {
        // max(lowest, v) is "v < lowest ? lowest : v", NaN included; min likewise.
        __m128d xc = _mm_max_pd(lowest, _mm_loadu_pd(x + i));
        xc = _mm_min_pd(highest, xc);
        const __m128d shiftedK = _mm_add_pd(_mm_mul_pd(xc, invLn2), shifter);
        const __m128d k = _mm_sub_pd(shiftedK, shifter);
        const __m128d r = _mm_sub_pd(_mm_sub_pd(xc, _mm_mul_pd(k, ln2Hi)), _mm_mul_pd(k, ln2Lo));
        __m128d p = _mm_set1_pd(kExpPoly[0]);
        for (int c = 1; c < kExpPolyTerms; ++c) {
            p = _mm_add_pd(_mm_mul_pd(p, r), _mm_set1_pd(kExpPoly[c]));
        }
        const __m128d q = _mm_add_pd(r, _mm_mul_pd(p, _mm_mul_pd(r, r)));
        const __m128i bits = _mm_castpd_si128(shiftedK);
        const __m128i j = _mm_and_si128(bits, low6);
        const int64_t j0 = _mm_cvtsi128_si64(j);
        const int64_t j1 = _mm_cvtsi128_si64(_mm_unpackhi_epi64(j, j));
        const __m128d tHi = _mm_set_pd(kExp2Hi[j1], kExp2Hi[j0]);
        const __m128d tLo = _mm_set_pd(kExp2Lo[j1], kExp2Lo[j0]);
        const __m128d v = _mm_add_pd(tHi, _mm_add_pd(tLo, _mm_mul_pd(tHi, q)));
        const __m128i m = _mm_srli_epi64(bits, 6);
        const __m128i mHalf = _mm_srli_epi64(bits, 7);
        const __m128d s1 = _mm_castsi128_pd(_mm_slli_epi64(_mm_add_epi64(mHalf, bias), 52));
        const __m128d s2 =
            _mm_castsi128_pd(_mm_slli_epi64(_mm_add_epi64(_mm_sub_epi64(m, mHalf), bias), 52));
        _mm_storeu_pd(y + i, _mm_mul_pd(_mm_mul_pd(v, s1), s2));
    }
    for (; i < n; ++i) y[i] = dsp::exp(x[i]);
}

__attribute__((target("avx2"))) void expAvx2(const double* x, double* y, int n) {
    const __m256d lowest = _mm256_set1_pd(-746.0), highest = _mm256_set1_pd(710.0);
    const __m256d shifter = _mm256_set1_pd(kShifter), invLn2 = _mm256_set1_pd(kInvLn2Times64);
    const __m256d ln2Hi = _mm256_set1_pd(kLn2By64Hi), ln2Lo = _mm256_set1_pd(kLn2By64Lo);
    const __m256i low6 = _mm256_set1_epi64x(63), bias = _mm256_set1_epi64x(1023);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m256d xc = _mm256_max_pd(lowest, _mm256_loadu_pd(x + i));
        xc = _mm256_min_pd(highest, xc);
        const __m256d shiftedK = _mm256_add_pd(_mm256_mul_pd(xc, invLn2), shifter);
        const __m256d k = _mm256_sub_pd(shiftedK, shifter);
        const __m256d r =
            _mm256_sub_pd(_mm256_sub_pd(xc, _mm256_mul_pd(k, ln2Hi)), _mm256_mul_pd(k, ln2Lo));
        __m256d p = _mm256_set1_pd(kExpPoly[0]);
        for (int c = 1; c < kExpPolyTerms; ++c) {
            p = _mm256_add_pd(_mm256_mul_pd(p, r), _mm256_set1_pd(kExpPoly[c]));
        }
        const __m256d q = _mm256_add_pd(r, _mm256_mul_pd(p, _mm256_mul_pd(r, r)));
        const __m256i bits = _mm256_castpd_si256(shiftedK);
        const __m256i j = _mm256_and_si256(bits, low6);
        const __m256d tHi = _mm256_i64gather_pd(kExp2Hi, j, 8);
        const __m256d tLo = _mm256_i64gather_pd(kExp2Lo, j, 8);
        const __m256d v = _mm256_add_pd(tHi, _mm256_add_pd(tLo, _mm256_mul_pd(tHi, q)));
        const __m256i m = _mm256_srli_epi64(bits, 6);
        const __m256i mHalf = _mm256_srli_epi64(bits, 7);
        const __m256d s1 =
            _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_add_epi64(mHalf, bias), 52));
        const __m256d s2 = _mm256_castsi256_pd(
            _mm256_slli_epi64(_mm256_add_epi64(_mm256_sub_epi64(m, mHalf), bias), 52));
        _mm256_storeu_pd(y + i, _mm256_mul_pd(_mm256_mul_pd(v, s1), s2));
    }
    for (; i < n; ++i) y[i] = dsp::exp(x[i]);
}

// Which of the log10 functions a loop applies.
enum class Log10Kind { general, normal, nearOne };

template <Log10Kind kKind>
inline double log10Of(double x) {
    if (kKind == Log10Kind::nearOne) return dsp::log10NearOne(x);
    return kKind == Log10Kind::normal ? dsp::log10Normal(x) : dsp::log10(x);
}

template <Log10Kind kKind>
inline void log10Loop(const double* x, double* y, int n) {
    for (int i = 0; i < n; ++i) y[i] = log10Of<kKind>(x[i]);
}
template <Log10Kind kKind>
void log10Sse2(const double* x, double* y, int n) {
    log10Loop<kKind>(x, y, n);
}
template <Log10Kind kKind>
__attribute__((target("avx2"))) void log10Avx2(const double* x, double* y, int n) {
    log10Loop<kKind>(x, y, n);
}
// Mask registers make log10's selects cheap: twice the AVX2 form's speed.
template <Log10Kind kKind>
__attribute__((target("avx512f,avx512dq"))) void log10Avx512(const double* x, double* y, int n) {
    log10Loop<kKind>(x, y, n);
}

template <Log10Kind kKind>
void log10Forms(const double* x, double* y, int n, VectorWidth width) {
    if (width == VectorWidth::avx512) {
        log10Avx512<kKind>(x, y, n);
    } else if (width == VectorWidth::avx2) {
        log10Avx2<kKind>(x, y, n);
    } else {
        log10Sse2<kKind>(x, y, n);
    }
}

VectorWidth detectWidth() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq")) {
        return VectorWidth::avx512;
    }
    return __builtin_cpu_supports("avx2") ? VectorWidth::avx2 : VectorWidth::sse2;
}

// Decided once when the module loads, so that the audio thread never waits
// on the initialisation of a local static.
const VectorWidth kWidest = detectWidth();

}  // namespace

VectorWidth widestForm() {
    return kWidest;
}

void expOf(const double* x, double* y, int n, VectorWidth width) {
    // exp has no AVX-512 form: its AVX2 form is fast enough.
    if (width != VectorWidth::sse2) {
        expAvx2(x, y, n);
    } else {
        expSse2(x, y, n);
    }
}

void log10Of(const double* x, double* y, int n, VectorWidth width) {
    log10Forms<Log10Kind::general>(x, y, n, width);
}

void log10NormalOf(const double* x, double* y, int n, VectorWidth width) {
    log10Forms<Log10Kind::normal>(x, y, n, width);
}

void log10NearOneOf(const double* x, double* y, int n, VectorWidth width) {
    log10Forms<Log10Kind::nearOne>(x, y, n, width);
}

void expOf(const double* x, double* y, int n) {
    expOf(x, y, n, kWidest);
}

void log10Of(const double* x, double* y, int n) {
    log10Of(x, y, n, kWidest);
}

void log10NormalOf(const double* x, double* y, int n) {
    log10NormalOf(x, y, n, kWidest);
}

void log10NearOneOf(const double* x, double* y, int n) {
    log10NearOneOf(x, y, n, kWidest);
}

}  // namespace dsp
