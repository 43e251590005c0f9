// The limiter's own exp and log10. They use only IEEE-754 double additions,
// multiplications, divisions, comparisons and bit moves, in a fixed order, so
// every build (glibc, mingw-w64, any compiler that keeps -ffp-contract=off)
// gives the same bits for the same argument, whatever its C runtime does.
// Both stay within one unit in the last place of the correctly rounded result.
//
// They are branch-free and inline, so that a loop over an array of arguments
// vectorises: the SSE2 and scalar forms perform the same operations.
#pragma once

#include <cstdint>
#include <cstring>

namespace dsp {

namespace detail {

inline uint64_t bitsOf(double x) {
    uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}
inline double fromBits(uint64_t b) {
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

// Adding this rounds a double below 2^51 in magnitude to an integer and
// leaves that integer in the low bits of the sum's representation.
constexpr double kShifter = 0x1.8p52;
constexpr uint64_t kShifterBits = 0x4338000000000000u;
// x = k ln2/64 + r: ln2/64 split so that k * kLn2By64Hi is exact for |k| < 2^17.
constexpr double kInvLn2Times64 = 0x1.71547652b82fep+6;
constexpr double kLn2By64Hi = 0x1.62e42fefap-7;
constexpr double kLn2By64Lo = 0x1.cf79abc9e3b3ap-46;

// 2^(j/64) for j = 0..63: the correctly rounded double, and the correctly
// rounded remainder.
// clang-format off
alignas(64) inline constexpr double kExp2Hi[64] = {
    0x1p+0, 0x1.02c9a3e778061p+0, 0x1.059b0d3158574p+0, 0x1.0874518759bc8p+0,
    0x1.0b5586cf9890fp+0, 0x1.0e3ec32d3d1a2p+0, 0x1.11301d0125b51p+0, 0x1.1429aaea92dep+0,
    0x1.172b83c7d517bp+0, 0x1.1a35beb6fcb75p+0, 0x1.1d4873168b9aap+0, 0x1.2063b88628cd6p+0,
    0x1.2387a6e756238p+0, 0x1.26b4565e27cddp+0, 0x1.29e9df51fdee1p+0, 0x1.2d285a6e4030bp+0,
    0x1.306fe0a31b715p+0, 0x1.33c08b26416ffp+0, 0x1.371a7373aa9cbp+0, 0x1.3a7db34e59ff7p+0,
    0x1.3dea64c123422p+0, 0x1.4160a21f72e2ap+0, 0x1.44e086061892dp+0, 0x1.486a2b5c13cdp+0,
    0x1.4bfdad5362a27p+0, 0x1.4f9b2769d2ca7p+0, 0x1.5342b569d4f82p+0, 0x1.56f4736b527dap+0,
    0x1.5ab07dd485429p+0, 0x1.5e76f15ad2148p+0, 0x1.6247eb03a5585p+0, 0x1.6623882552225p+0,
    0x1.6a09e667f3bcdp+0, 0x1.6dfb23c651a2fp+0, 0x1.71f75e8ec5f74p+0, 0x1.75feb564267c9p+0,
    0x1.7a11473eb0187p+0, 0x1.7e2f336cf4e62p+0, 0x1.82589994cce13p+0, 0x1.868d99b4492edp+0,
    0x1.8ace5422aa0dbp+0, 0x1.8f1ae99157736p+0, 0x1.93737b0cdc5e5p+0, 0x1.97d829fde4e5p+0,
    0x1.9c49182a3f09p+0, 0x1.a0c667b5de565p+0, 0x1.a5503b23e255dp+0, 0x1.a9e6b5579fdbfp+0,
    0x1.ae89f995ad3adp+0, 0x1.b33a2b84f15fbp+0, 0x1.b7f76f2fb5e47p+0, 0x1.bcc1e904bc1d2p+0,
    0x1.c199bdd85529cp+0, 0x1.c67f12e57d14bp+0, 0x1.cb720dcef9069p+0, 0x1.d072d4a07897cp+0,
    0x1.d5818dcfba487p+0, 0x1.da9e603db3285p+0, 0x1.dfc97337b9b5fp+0, 0x1.e502ee78b3ff6p+0,
    0x1.ea4afa2a490dap+0, 0x1.efa1bee615a27p+0, 0x1.f50765b6e454p+0, 0x1.fa7c1819e90d8p+0,
};
alignas(64) inline constexpr double kExp2Lo[64] = {
    0x0p+0, -0x1.19083535b085dp-56, 0x1.d73e2a475b465p-55, 0x1.186be4bb284ffp-57,
    0x1.8a62e4adc610bp-54, 0x1.03a1727c57b53p-59, -0x1.6c51039449b3ap-54, -0x1.32fbf9af1369ep-54,
    -0x1.19041b9d78a76p-55, 0x1.e5b4c7b4968e4p-55, 0x1.e016e00a2643cp-54, 0x1.dc775814a8495p-55,
    0x1.9b07eb6c70573p-54, 0x1.2bd339940e9d9p-55, 0x1.612e8afad1255p-55, 0x1.0024754db41d5p-54,
    0x1.6f46ad23182e4p-55, 0x1.32721843659a6p-54, -0x1.63aeabf42eae2p-54, -0x1.5e436d661f5e3p-56,
    0x1.ada0911f09ebcp-55, -0x1.ef3691c309278p-58, 0x1.89b7a04ef80dp-59, 0x1.3c1a3b69062fp-56,
    0x1.d4397afec42e2p-56, -0x1.4b309d25957e3p-54, -0x1.07abe1db13cadp-55, 0x1.9bb2c011d93adp-54,
    0x1.6324c054647adp-54, 0x1.ba6f93080e65ep-54, -0x1.383c17e40b497p-54, -0x1.bb60987591c34p-54,
    -0x1.bdd3413b26456p-54, -0x1.bbe3a683c88abp-57, -0x1.16e4786887a99p-55, -0x1.0245957316dd3p-54,
    -0x1.41577ee04992fp-55, 0x1.05d02ba15797ep-56, -0x1.d4c1dd41532d8p-54, -0x1.fc6f89bd4f6bap-54,
    0x1.6e9f156864b27p-54, 0x1.5cc13a2e3976cp-55, -0x1.75fc781b57ebcp-57, -0x1.d185b7c1b85d1p-54,
    0x1.c7c46b071f2bep-56, -0x1.359495d1cd533p-54, -0x1.d2f6edb8d41e1p-54, 0x1.0fac90ef7fd31p-54,
    0x1.7a1cd345dcc81p-54, -0x1.2805e3084d708p-57, -0x1.5584f7e54ac3bp-56, 0x1.23dd07a2d9e84p-55,
    0x1.11065895048ddp-55, 0x1.2884dff483cadp-54, 0x1.503cbd1e949dbp-56, -0x1.cbc3743797a9cp-54,
    0x1.2ed02d75b3707p-55, 0x1.c2300696db532p-54, -0x1.1a5cd4f184b5cp-54, 0x1.39e8980a9cc8fp-55,
    -0x1.e9c23179c2893p-54, 0x1.dc7f486a4b6bp-54, 0x1.9d3e12dd8a18bp-54, 0x1.74853f3a5931ep-55,
};
// clang-format on

// e^r - 1 = r + r^2 p(r) for |r| <= ln2/128: p is the Taylor series to r^6
// (exact to 2^-64 here), highest coefficient first.
constexpr int kExpPolyTerms = 5;
constexpr double kExpPoly[kExpPolyTerms] = {0x1.6c16c16c16c17p-10, 0x1.1111111111111p-7,
                                            0x1.5555555555555p-5, 0x1.5555555555555p-3, 0x1p-1};

// 2^m for an integer m in [-1022, 1023] held in a shifted sum's bits.
inline double powerOfTwo(uint64_t biasedBits) {
    return fromBits((biasedBits + 1023u) << 52);
}

}  // namespace detail

// e^x. Below -746 the result is 0, above 710 it is +infinity; NaN stays NaN.
inline double exp(double x) {
    using namespace detail;
    double xc = x < -746.0 ? -746.0 : x;
    xc = xc > 710.0 ? 710.0 : xc;
    // k = round(x 64 / ln2) = 64 m + j, with |r| <= ln2/128 (a little more
    // when the product rounds).
    const double shiftedK = xc * kInvLn2Times64 + kShifter;
    const double k = shiftedK - kShifter;
    const double r = (xc - k * kLn2By64Hi) - k * kLn2By64Lo;
    double p = kExpPoly[0];
    for (int c = 1; c < kExpPolyTerms; ++c) p = p * r + kExpPoly[c];
    const double q = r + p * (r * r);
    // The bits of the shifted sum are kShifterBits + k; k's low six bits
    // pick the table entry, the rest is the power of two m.
    const uint64_t bits = bitsOf(shiftedK);
    const uint64_t j = bits & 63u;
    // 2^(j/64) e^r, rounded once at the end.
    const double y = kExp2Hi[j] + (kExp2Lo[j] + kExp2Hi[j] * q);
    // 2^m in two factors, so that neither overflows nor underflows on its
    // own; only the last product can round (into the subnormal range).
    // With the offset B = kShifterBits, (B + k) >> 6 = B/64 + m and
    // (B + k) >> 7 = B/128 + floor(m/2); B/128 has no bits below bit 44.
    const uint64_t m = bits >> 6;
    const uint64_t mHalf = bits >> 7;
    return (y * powerOfTwo(mHalf)) * powerOfTwo(m - mHalf);
}

namespace detail {

constexpr double kLog10Of2Hi = 0x1.34413509f8p-2;  // e * this is exact
constexpr double kLog10Of2Lo = -0x1.80433b83b532ap-44;
constexpr double kInvLn10Hi = 0x1.bcb7b152p-2;  // times a 21-bit hi: exact
constexpr double kInvLn10Lo = 0x1.b9438ca9aadd5p-36;
constexpr double kSqrt2 = 0x1.6a09e667f3bcdp+0;

// The parts of log10(1 + f) for f = m - 1, m in [sqrt(2)/2, sqrt(2)):
// ln(1 + f) = f - f^2/2 + s (f^2/2 + R(s^2)) with s = f / (2 + f), split into
// hi, which keeps 21 bits so that its products with the hi constants are
// exact, and lo, where all rounding happens.
struct LogParts {
    double hi, lo;
};
inline LogParts logOnePlus(double f) {
    const double s = f / (2.0 + f);
    const double z = s * s;
    const double w = z * z;
    const double t1 =
        w * (0x1.999999997fa04p-2 + w * (0x1.c71c51d8e78afp-3 + w * 0x1.39a09d078c69fp-3));
    const double t2 =
        z * (0x1.5555555555593p-1 +
             w * (0x1.2492494229359p-2 + w * (0x1.7466496cb03dep-3 + w * 0x1.2f112df3e5244p-3)));
    const double R = t2 + t1;
    const double halfSquare = 0.5 * f * f;
    const double hi = fromBits(bitsOf(f - halfSquare) & 0xffffffff00000000u);
    const double lo = ((f - hi) - halfSquare) + s * (halfSquare + R);
    return {hi, lo};
}

// log10(2^e m) for an integer e and m in (sqrt(2)/2, sqrt(2)].
inline double log10Of(double e, double m) {
    const LogParts p = logOnePlus(m - 1.0);  // m - 1 is exact
    const double eHi = e * kLog10Of2Hi;
    const double valHi = p.hi * kInvLn10Hi;
    double valLo = e * kLog10Of2Lo + (p.lo + p.hi) * kInvLn10Lo + p.lo * kInvLn10Hi;
    const double sum = eHi + valHi;
    valLo = valLo + ((eHi - sum) + valHi);
    return valLo + sum;
}

// log10 of a positive finite x, scaled by 2^54 first when subnormal says so.
template <bool kMaybeSubnormal>
inline double log10Positive(double x) {
    const bool subnormal = kMaybeSubnormal && x < 0x1p-1022;
    const double xs = subnormal ? x * 0x1p54 : x;
    const uint64_t b = bitsOf(xs);
    // x = 2^e m with m in [sqrt(2)/2, sqrt(2)).
    double e = fromBits(0x4330000000000000u | ((b >> 52) & 0x7ffu)) - (0x1p52 + 1023.0);
    e = subnormal ? e - 54.0 : e;
    double m = fromBits((b & 0x000fffffffffffffu) | 0x3ff0000000000000u);
    const bool high = m > kSqrt2;
    m = high ? m * 0.5 : m;
    e = high ? e + 1.0 : e;
    return log10Of(e, m);
}

// log10Positive for x in (sqrt(2)/2, sqrt(2)], where m = x and e = +0: the terms
// in e vanish exactly. (e kLog10Of2Lo is -0 and adds nothing; eHi is +0, so
// sum is valHi and the correction (eHi - sum) + valHi is +0; valLo + sum
// then equals the general sum, valHi being nonzero but for x = 1, where
// everything is +0.)
inline double log10NearOne(double x) {
    const LogParts p = logOnePlus(x - 1.0);
    const double valLo = (p.lo + p.hi) * kInvLn10Lo + p.lo * kInvLn10Hi;
    return valLo + p.hi * kInvLn10Hi;
}

}  // namespace detail

// log10(x). log10(0) is -infinity, log10(+infinity) is +infinity, a negative
// or NaN argument gives NaN.
inline double log10(double x) {
    double y = detail::log10Positive<true>(x);
    // The special arguments.
    y = x == 0.0 ? -detail::fromBits(0x7ff0000000000000u) : y;
    y = x < 0.0 ? detail::fromBits(0x7ff8000000000000u) : y;
    y = x == detail::fromBits(0x7ff0000000000000u) ? x : y;
    return x != x ? x : y;
}

// log10(x) for x known to be a normal positive finite number (at least
// 2^-1022): the same bits as log10(x), without the work its other arguments
// need.
inline double log10Normal(double x) {
    return detail::log10Positive<false>(x);
}

// log10(x) for x known to lie in (sqrt(2)/2, sqrt(2)]: the same bits as log10(x),
// with a third less work. A limit gain of less than 3 dB is such an x.
inline double log10NearOne(double x) {
    return detail::log10NearOne(x);
}

// The lower end (excluded) of log10NearOne's range.
constexpr double kLog10NearOneFrom = 0x1.6a09e667f3bcdp-1;

}  // namespace dsp
