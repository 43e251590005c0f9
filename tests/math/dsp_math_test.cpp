// The limiter's own exp and log10 against MPFR's correctly rounded results:
// at most one unit in the last place on millions of arguments spread over
// what the limiter gives them, and exact on the special values.
#include "engine/dsp_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "tests/math/correctly_rounded.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMinSubnormal = 0x1p-1074;

// Signed distance in units in the last place between two finite doubles.
int64_t ulpsBetween(double a, double b) {
    auto ordered = [](double x) {
        int64_t i;
        std::memcpy(&i, &x, sizeof i);
        return i < 0 ? std::numeric_limits<int64_t>::min() - i : i;
    };
    return ordered(a) - ordered(b);
}

struct Rng {
    uint64_t s;
    uint64_t next() {
        uint64_t z = (s += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }
    double uniform(double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(next() >> 11) * 0x1p-53;
    }
    // Spread evenly over the exponents: 10^u for u uniform in [lo, hi].
    double logUniform(double lo, double hi) { return std::pow(10.0, uniform(lo, hi)); }
};

struct Sweep {
    int64_t worst = 0;
    double worstArg = 0;
    long count = 0;
};

void check(Sweep& sweep, double x, double ours, double exact) {
    ++sweep.count;
    if (std::isnan(exact)) {
        EXPECT_TRUE(std::isnan(ours)) << "argument " << x;
        return;
    }
    if (std::isinf(exact) || std::isinf(ours)) {
        EXPECT_EQ(ours, exact) << "argument " << x;
        return;
    }
    const int64_t d = std::llabs(ulpsBetween(ours, exact));
    if (d > sweep.worst) {
        sweep.worst = d;
        sweep.worstArg = x;
    }
}

void sweepRange(Sweep& sweep, long n, const std::function<double()>& argument,
                double (*ours)(double), const std::function<double(double)>& exact) {
    for (long i = 0; i < n; ++i) {
        const double x = argument();
        check(sweep, x, ours(x), exact(x));
    }
}

std::string worstOf(const Sweep& s) {
    char text[96];
    std::snprintf(text, sizeof text, "%ld arguments, worst %lld ulp at %.17g", s.count,
                  static_cast<long long>(s.worst), s.worstArg);
    return text;
}

}  // namespace

TEST(DspMath, ExpWithinOneUlpOverTheLimitersArguments) {
    CorrectlyRounded cr;
    Rng rng{1};
    Sweep sweep;
    auto exact = [&](double x) { return cr.exp(x); };
    // The clip stage's gain: e^(-dB L) for any reduction a finite input can cause.
    sweepRange(
        sweep, 3500000, [&] { return rng.uniform(-746.0, 0.0); }, dsp::exp, exact);
    // Input gain and ceiling (+-24 dB).
    sweepRange(
        sweep, 2000000, [&] { return rng.uniform(-2.8, 2.8); }, dsp::exp, exact);
    // Smoothing coefficients: small negative arguments at every sample rate.
    sweepRange(
        sweep, 2000000, [&] { return -rng.logUniform(-12.0, 3.0); }, dsp::exp, exact);
    // Small reductions in the clip stage's release tail.
    sweepRange(
        sweep, 1000000, [&] { return -rng.logUniform(-30.0, -12.0); }, dsp::exp, exact);
    // The rest of the positive range, for completeness.
    sweepRange(
        sweep, 500000, [&] { return rng.uniform(0.0, 710.0); }, dsp::exp, exact);
    // Where the result turns subnormal, and where it overflows.
    sweepRange(
        sweep, 500000, [&] { return rng.uniform(-746.0, -708.0); }, dsp::exp, exact);
    sweepRange(
        sweep, 500000, [&] { return rng.uniform(709.0, 710.0); }, dsp::exp, exact);
    for (double x : {0.0,
                     -0.0,
                     kMinSubnormal,
                     -kMinSubnormal,
                     0x1p-1022,
                     1e-300,
                     -1e-300,
                     1.0,
                     -1.0,
                     0.5,
                     -0.5,
                     -708.3964185322641,
                     -708.39641853226420,
                     -709.0895657128241,
                     -744.44007192138122,
                     -745.13321910194110,
                     -745.1332191019412,
                     -745.13321910194122,
                     -746.0,
                     -1000.0,
                     -1e300,
                     709.78271289338397,
                     709.782712893384,
                     710.0,
                     1e300}) {
        check(sweep, x, dsp::exp(x), cr.exp(x));
    }
    EXPECT_LE(sweep.worst, 1) << worstOf(sweep);
    std::printf("exp: %s\n", worstOf(sweep).c_str());
}

TEST(DspMath, ExpIsExactOnTheSpecialValues) {
    EXPECT_EQ(dsp::exp(0.0), 1.0);
    EXPECT_EQ(dsp::exp(-0.0), 1.0);
    EXPECT_EQ(dsp::exp(-kInf), 0.0);
    EXPECT_FALSE(std::signbit(dsp::exp(-kInf)));
    EXPECT_EQ(dsp::exp(kInf), kInf);
    EXPECT_TRUE(std::isnan(dsp::exp(std::nan(""))));
    EXPECT_EQ(dsp::exp(-800.0), 0.0);
    EXPECT_EQ(dsp::exp(800.0), kInf);
}

TEST(DspMath, Log10WithinOneUlpOverPeakLevels) {
    CorrectlyRounded cr;
    Rng rng{2};
    Sweep sweep;
    auto exact = [&](double x) { return cr.log10(x); };
    // Peaks: from the 1e-25 offset to the largest finite gained sample.
    sweepRange(
        sweep, 3000000, [&] { return rng.logUniform(-25.0, 308.25); }, dsp::log10, exact);
    // Every binade near each boundary of the mantissa split.
    sweepRange(
        sweep, 2000000,
        [&] {
            const double m = rng.uniform(0.70, 0.72) * (rng.next() & 1 ? 2.0 : 1.0);
            return std::ldexp(m, static_cast<int>(rng.next() % 2098) - 1074);
        },
        dsp::log10, exact);
    for (double x : {kMinSubnormal, 2 * kMinSubnormal, 0x1p-1022, 0x1.fffffffffffffp-1023, 1e-25,
                     1e-25 + 1e-41, std::numeric_limits<double>::max()}) {
        check(sweep, x, dsp::log10(x), cr.log10(x));
    }
    // Powers of ten, whose logarithms are integers.
    for (int n = -25; n <= 308; ++n) {
        const double exact = std::strtod(("1e" + std::to_string(n)).c_str(), nullptr);
        check(sweep, exact, dsp::log10(exact), cr.log10(exact));
    }
    EXPECT_LE(sweep.worst, 1) << worstOf(sweep);
    std::printf("log10: %s\n", worstOf(sweep).c_str());
}

TEST(DspMath, Log10WithinOneUlpNearUnityAndOverTheGainsRange) {
    CorrectlyRounded cr;
    Rng rng{3};
    Sweep sweep;
    auto exact = [&](double x) { return cr.log10(x); };
    // Peaks around the ceiling, and the limit stage's gain just below 1.
    sweepRange(
        sweep, 2000000, [&] { return rng.uniform(0.05, 2.0); }, dsp::log10, exact);
    sweepRange(
        sweep, 1500000, [&] { return 1.0 - rng.logUniform(-16.0, -1.0); }, dsp::log10, exact);
    sweepRange(
        sweep, 500000, [&] { return 1.0 + rng.logUniform(-15.5, -1.0); }, dsp::log10, exact);
    // The limit stage's gain over its whole range, down to subnormals.
    sweepRange(
        sweep, 1000000, [&] { return rng.logUniform(-323.0, 0.0); }, dsp::log10, exact);
    for (double x : {0.5, 1.0, 0x1.fffffffffffffp-1, 0x1.0000000000001p0, 2.0, 1.4142135623730951,
                     1.4142135623730949, 0.7071067811865476}) {
        check(sweep, x, dsp::log10(x), cr.log10(x));
    }
    EXPECT_LE(sweep.worst, 1) << worstOf(sweep);
    std::printf("log10: %s\n", worstOf(sweep).c_str());
}

TEST(DspMath, Log10IsExactOnTheSpecialValues) {
    EXPECT_EQ(dsp::log10(1.0), 0.0);
    EXPECT_FALSE(std::signbit(dsp::log10(1.0)));
    EXPECT_EQ(dsp::log10(0.0), -kInf);
    EXPECT_EQ(dsp::log10(-0.0), -kInf);
    EXPECT_EQ(dsp::log10(kInf), kInf);
    EXPECT_TRUE(std::isnan(dsp::log10(-1.0)));
    EXPECT_TRUE(std::isnan(dsp::log10(-kMinSubnormal)));
    EXPECT_TRUE(std::isnan(dsp::log10(-kInf)));
    EXPECT_TRUE(std::isnan(dsp::log10(std::nan(""))));
}
