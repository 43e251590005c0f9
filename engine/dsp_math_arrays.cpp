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
#include "engine/dsp_math_arrays.h"

#include <immintrin.h>

#include <algorithm>
#include <cstddef>

#include "engine/dsp_math.h"

namespace dsp {

namespace {

using namespace detail;

// dsp::exp two lanes at a time; the table look-up is two scalar loads a vector.
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
enum class Log10Kind { general, normal };

template <Log10Kind kKind>
inline double log10Of(double x) {
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

// -(20 log10(x)), the gain reduction in dB of a gain x, over stretches of
// up to 128. Gains move slowly: over a stretch they mostly stay within one
// binade (an interval (2^e sqrt(2)/2, 2^e sqrt(2)]), and then e need not be
// found lane by lane; near one, e is 0 and drops out. Otherwise each group of
// eight near one still gets the cheaper loop.
constexpr int kGroup = 8;  // the widest form's lanes
constexpr int kStretch = 128;
constexpr double kGreatest = 0x1.fffffffffffffp+1023;
constexpr double kBelowLeastNormal = 0x1.fffffffffffffp-1023;

inline double twoTo(int k) {
    return fromBits(static_cast<uint64_t>(k + 1023) << 52);
}

// The binade of x, for x with 2^-e and the binade's ends normal and finite.
inline bool binadeOf(double x, int& e) {
    if (!(x >= 0x1p-1021 && x <= 0x1p1022)) return false;
    constexpr uint64_t kFraction = 0x000fffffffffffffu;
    const uint64_t b = bitsOf(x);
    e = static_cast<int>((b >> 52) & 0x7ffu) - 1023;
    if ((b & kFraction) > (bitsOf(kSqrt2) & kFraction)) ++e;
    return true;
}

// The binade of a stretch's first element as an interval (low, high], and
// its e; an empty interval where that element has no binade of its own.
struct Binade {
    int e = 0;
    double low = 1, high = 0;
};
inline Binade binadeOfFirst(const double* x) {
    Binade b;
    if (binadeOf(x[0], b.e)) {
        b.low = kLog10NearOneFrom * twoTo(b.e);
        b.high = kSqrt2 * twoTo(b.e);
    }
    return b;
}

inline double reductionDb(double log10OfX) {
    return -(20.0 * log10OfX);
}

// The loops, inlined into each form, where they are vectorised for it. Each
// gives every element the bits of -(20 dsp::log10(x)).
// A stretch that lies in one binade.
__attribute__((always_inline)) inline void reductionDbInBinade(const double* x, double* y, int full,
                                                               int binade) {
    if (binade == 0) {
        for (int i = 0; i < full; ++i) y[i] = reductionDb(dsp::log10NearOne(x[i]));
    } else {
        const double e = binade, scale = twoTo(-binade);  // x scale is exact
        for (int i = 0; i < full; ++i) y[i] = reductionDb(detail::log10Of(e, x[i] * scale));
    }
}

// Any other stretch, group by group.
__attribute__((always_inline)) inline void reductionDbByGroup(const double* x, double* y, int full,
                                                              const bool* near, bool normal) {
    for (int g = 0; g < full; g += kGroup) {
        if (near[g / kGroup]) {
            for (int i = g; i < g + kGroup; ++i) y[i] = reductionDb(dsp::log10NearOne(x[i]));
        } else if (normal) {
            for (int i = g; i < g + kGroup; ++i) y[i] = reductionDb(dsp::log10Normal(x[i]));
        } else {
            for (int i = g; i < g + kGroup; ++i) y[i] = reductionDb(dsp::log10(x[i]));
        }
    }
}

// The conversion with a form's tests: Form::allWithin(x, full, low, high)
// tells whether all of x[0..full) lie in (low, high], Form::nearGroups which
// groups lie in (sqrt(2)/2, sqrt(2)], the binade of one. Each form calls it
// from a function of its own target, where the loops are vectorised for it.
template <typename Form>
__attribute__((always_inline)) inline void reductionDbWith(const double* x, double* y, int n) {
    const int full = n - n % kGroup;
    for (int start = 0; start < full; start += kStretch) {
        const double* xs = x + start;
        const int len = std::min(kStretch, full - start);
        const Binade b = binadeOfFirst(xs);
        if (Form::allWithin(xs, len, b.low, b.high)) {
            reductionDbInBinade(xs, y + start, len, b.e);
        } else {
            bool near[kStretch / kGroup];
            Form::nearGroups(xs, len, near);
            const bool normal = Form::allWithin(xs, len, kBelowLeastNormal, kGreatest);
            reductionDbByGroup(xs, y + start, len, near, normal);
        }
    }
    // The elements after the last whole group, one at a time.
    for (int i = full; i < n; ++i) y[i] = reductionDb(dsp::log10(x[i]));
}

// The forms' tests. The comparisons are ordered, so a NaN lies in no
// interval.
struct Sse2 {
    static __m128d within(__m128d v, __m128d low, __m128d high) {
        return _mm_and_pd(_mm_cmpgt_pd(v, low), _mm_cmple_pd(v, high));
    }
    static bool allWithin(const double* x, int full, double lo, double hi) {
        const __m128d low = _mm_set1_pd(lo), high = _mm_set1_pd(hi);
        __m128d all = _mm_castsi128_pd(_mm_set1_epi64x(-1));
        for (int i = 0; i < full; i += 2)
            all = _mm_and_pd(all, within(_mm_loadu_pd(x + i), low, high));
        return _mm_movemask_pd(all) == 3;
    }
    static void nearGroups(const double* x, int full, bool* near) {
        const __m128d from = _mm_set1_pd(kLog10NearOneFrom), to = _mm_set1_pd(kSqrt2);
        for (int g = 0; g < full; g += kGroup) {
            __m128d all = _mm_castsi128_pd(_mm_set1_epi64x(-1));
            for (int i = g; i < g + kGroup; i += 2)
                all = _mm_and_pd(all, within(_mm_loadu_pd(x + i), from, to));
            near[g / kGroup] = _mm_movemask_pd(all) == 3;
        }
    }
};

struct Avx2 {
    __attribute__((target("avx2"))) static __m256d within(__m256d v, __m256d low, __m256d high) {
        return _mm256_and_pd(_mm256_cmp_pd(v, low, _CMP_GT_OQ), _mm256_cmp_pd(v, high, _CMP_LE_OQ));
    }
    __attribute__((target("avx2"))) static bool allWithin(const double* x, int full, double lo,
                                                          double hi) {
        const __m256d low = _mm256_set1_pd(lo), high = _mm256_set1_pd(hi);
        __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
        for (int i = 0; i < full; i += 4)
            all = _mm256_and_pd(all, within(_mm256_loadu_pd(x + i), low, high));
        return _mm256_movemask_pd(all) == 15;
    }
    __attribute__((target("avx2"))) static void nearGroups(const double* x, int full, bool* near) {
        const __m256d from = _mm256_set1_pd(kLog10NearOneFrom), to = _mm256_set1_pd(kSqrt2);
        for (int g = 0; g < full; g += kGroup) {
            __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
            for (int i = g; i < g + kGroup; i += 4)
                all = _mm256_and_pd(all, within(_mm256_loadu_pd(x + i), from, to));
            near[g / kGroup] = _mm256_movemask_pd(all) == 15;
        }
    }
};

struct Avx512 {
    __attribute__((target("avx512f,avx512dq"))) static __mmask8 within(__m512d v, __m512d low,
                                                                       __m512d high) {
        return _mm512_cmp_pd_mask(v, low, _CMP_GT_OQ) & _mm512_cmp_pd_mask(v, high, _CMP_LE_OQ);
    }
    __attribute__((target("avx512f,avx512dq"))) static bool allWithin(const double* x, int full,
                                                                      double lo, double hi) {
        const __m512d low = _mm512_set1_pd(lo), high = _mm512_set1_pd(hi);
        __mmask8 all = 0xff;
        for (int i = 0; i < full; i += 8) all &= within(_mm512_loadu_pd(x + i), low, high);
        return all == 0xff;
    }
    __attribute__((target("avx512f,avx512dq"))) static void nearGroups(const double* x, int full,
                                                                       bool* near) {
        const __m512d from = _mm512_set1_pd(kLog10NearOneFrom), to = _mm512_set1_pd(kSqrt2);
        for (int g = 0; g < full; g += kGroup) {
            near[g / kGroup] = within(_mm512_loadu_pd(x + g), from, to) == 0xff;
        }
    }
};

void reductionDbSse2(const double* x, double* y, int n) {
    reductionDbWith<Sse2>(x, y, n);
}
__attribute__((target("avx2"))) void reductionDbAvx2(const double* x, double* y, int n) {
    reductionDbWith<Avx2>(x, y, n);
}
__attribute__((target("avx512f,avx512dq"))) void reductionDbAvx512(const double* x, double* y,
                                                                   int n) {
    reductionDbWith<Avx512>(x, y, n);
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

void reductionDbOf(const double* x, double* y, int n, VectorWidth width) {
    if (width == VectorWidth::avx512) {
        reductionDbAvx512(x, y, n);
    } else if (width == VectorWidth::avx2) {
        reductionDbAvx2(x, y, n);
    } else {
        reductionDbSse2(x, y, n);
    }
}

void expOf(const double* x, double* y, int n) {
    expOf(x, y, n, kWidest);
}

void reductionDbOf(const double* x, double* y, int n) {
    reductionDbOf(x, y, n, kWidest);
}

void log10Of(const double* x, double* y, int n) {
    log10Of(x, y, n, kWidest);
}

void log10NormalOf(const double* x, double* y, int n) {
    log10NormalOf(x, y, n, kWidest);
}

}  // namespace dsp
