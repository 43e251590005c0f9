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
// ln 2 split so that k * kLn2Hi is exact for |k| < 2^11.
constexpr double kLn2Hi = 0x1.62e42fefa38p-1;
constexpr double kLn2Lo = 0x1.ef35793c7673p-45;
constexpr double kInvLn2 = 0x1.71547652b82fep+0;

// 2^k for an integer k in [-1022, 1023] held in the low bits of a shifted sum.
inline double powerOfTwo(double shifted) {
    return fromBits((bitsOf(shifted) + 1023u) << 52);
}

}  // namespace detail

// e^x. Below -746 the result is 0, above 710 it is +infinity; NaN stays NaN.
inline double exp(double x) {
    using namespace detail;
    double xc = x < -746.0 ? -746.0 : x;
    xc = xc > 710.0 ? 710.0 : xc;
    // x = k ln2 + r with |r| <= ln2/2 (slightly more when the product rounds).
    const double shiftedK = xc * kInvLn2 + kShifter;
    const double k = shiftedK - kShifter;
    const double rHi = xc - k * kLn2Hi;  // exact
    const double rLo = k * kLn2Lo;
    const double r = rHi - rLo;
    const double rTail = (rHi - r) - rLo;  // what r lost to rounding
    // e^r = 1 + r + r^2 p(r); the Taylor series to r^14 is exact to 2^-62 here.
    double p = 0x1.93974a8c07c9dp-37;
    p = p * r + 0x1.6124613a86d09p-33;
    p = p * r + 0x1.1eed8eff8d898p-29;
    p = p * r + 0x1.ae64567f544e4p-26;
    p = p * r + 0x1.27e4fb7789f5cp-22;
    p = p * r + 0x1.71de3a556c734p-19;
    p = p * r + 0x1.a01a01a01a01ap-16;
    p = p * r + 0x1.a01a01a01a01ap-13;
    p = p * r + 0x1.6c16c16c16c17p-10;
    p = p * r + 0x1.1111111111111p-7;
    p = p * r + 0x1.5555555555555p-5;
    p = p * r + 0x1.5555555555555p-3;
    p = p * r + 0x1p-1;
    p = p * (r * r);
    // 1 + r as an exact sum of two doubles, so that only the last addition
    // rounds at the result's precision.
    const double one = 1.0 + r;
    const double oneTail = (1.0 - one) + r;
    const double y = one + (oneTail + (p + rTail));
    // 2^k in two factors, so that neither overflows nor underflows on its
    // own; only the last product can round (into the subnormal range).
    const double half = k * 0.5 + kShifter;
    const double rest = (k - (half - kShifter)) + kShifter;
    return (y * powerOfTwo(half)) * powerOfTwo(rest);
}

// log10(x). log10(0) is -infinity, log10(+infinity) is +infinity, a negative
// or NaN argument gives NaN.
inline double log10(double x) {
    using namespace detail;
    constexpr double kLog10Of2Hi = 0x1.34413509f8p-2;  // e * this is exact
    constexpr double kLog10Of2Lo = -0x1.80433b83b532ap-44;
    constexpr double kInvLn10Hi = 0x1.bcb7b152p-2;  // times a 21-bit hi: exact
    constexpr double kInvLn10Lo = 0x1.b9438ca9aadd5p-36;
    constexpr double kSqrt2 = 0x1.6a09e667f3bcdp+0;
    // Subnormals are scaled into the normal range first.
    const bool subnormal = x < 0x1p-1022;
    const double xs = subnormal ? x * 0x1p54 : x;
    const uint64_t b = bitsOf(xs);
    // x = 2^e m with m in [sqrt(2)/2, sqrt(2)).
    double e = fromBits(0x4330000000000000u | ((b >> 52) & 0x7ffu)) - (0x1p52 + 1023.0);
    e = subnormal ? e - 54.0 : e;
    double m = fromBits((b & 0x000fffffffffffffu) | 0x3ff0000000000000u);
    const bool high = m > kSqrt2;
    m = high ? m * 0.5 : m;
    e = high ? e + 1.0 : e;
    // ln(1 + f) = f - f^2/2 + s (f^2/2 + R(s^2)) with s = f / (2 + f).
    const double f = m - 1.0;  // exact
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
    // The leading part keeps 21 bits, so that its products with the hi
    // constants are exact and all rounding happens in the small terms.
    const double hi = fromBits(bitsOf(f - halfSquare) & 0xffffffff00000000u);
    const double lo = ((f - hi) - halfSquare) + s * (halfSquare + R);
    const double eHi = e * kLog10Of2Hi;
    const double valHi = hi * kInvLn10Hi;
    double valLo = e * kLog10Of2Lo + (lo + hi) * kInvLn10Lo + lo * kInvLn10Hi;
    const double sum = eHi + valHi;
    valLo = valLo + ((eHi - sum) + valHi);
    double y = valLo + sum;
    // The special arguments.
    y = x == 0.0 ? -fromBits(0x7ff0000000000000u) : y;
    y = x < 0.0 ? fromBits(0x7ff8000000000000u) : y;
    y = x == fromBits(0x7ff0000000000000u) ? x : y;
    return x != x ? x : y;
}

}  // namespace dsp
