// The array forms of exp and log10 (SSE2, and AVX2 and AVX-512 where the
// processor has them) must give exactly the scalar functions' bits, lane by lane, whatever
// the length and alignment of the array.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/dsp_math.h"
#include "engine/dsp_math_arrays.h"

namespace {

std::vector<double> arguments(double lo, double hi, bool logScale) {
    std::vector<double> x;
    uint64_t s = 7;
    for (int i = 0; i < 200000; ++i) {
        s = s * 6364136223846793005u + 1442695040888963407u;
        const double u = static_cast<double>(s >> 11) * 0x1p-53;
        x.push_back(logScale ? std::pow(10.0, lo + (hi - lo) * u) : lo + (hi - lo) * u);
    }
    const double inf = std::numeric_limits<double>::infinity();
    for (double v :
         {0.0, -0.0, inf, -inf, std::nan(""), 0x1p-1074, -0x1p-1074, 1.0, -746.0, -745.5, -708.5,
          709.9, 710.0, 1e300, -1e300, -0x1p-54, -0x1.fffffffffffffp-55, -1e-20}) {
        x.push_back(v);
    }
    return x;
}

// Every form this processor can run.
std::vector<dsp::VectorWidth> widths() {
    std::vector<dsp::VectorWidth> w;
    for (auto v : {dsp::VectorWidth::sse2, dsp::VectorWidth::avx2, dsp::VectorWidth::avx512}) {
        if (static_cast<int>(v) <= static_cast<int>(dsp::widestForm())) w.push_back(v);
    }
    if (w.size() < 3) std::printf("only %zu of the 3 vector forms run here\n", w.size());
    return w;
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

template <typename Array>
void expectSameAsScalar(const std::vector<double>& x, double (*scalar)(double), Array array,
                        dsp::VectorWidth width) {
    // Odd lengths and offsets exercise the scalar tails and unaligned loads.
    for (size_t offset : {0u, 1u, 3u}) {
        const int n = static_cast<int>(x.size() - offset);
        std::vector<double> y(x.size());
        array(x.data() + offset, y.data(), n, width);
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(sameBits(y[i], scalar(x[offset + i])))
                << "argument " << x[offset + i] << " width " << static_cast<int>(width);
        }
    }
}

}  // namespace

TEST(VectorForms, ExpArraysMatchTheScalarBits) {
    auto array = [](const double* x, double* y, int n, dsp::VectorWidth w) {
        dsp::expOf(x, y, n, w);
    };
    for (const auto& x : {arguments(-750, 712, false), arguments(-1e-3, 0, false)}) {
        for (dsp::VectorWidth w : widths()) expectSameAsScalar(x, dsp::exp, array, w);
    }
}

TEST(VectorForms, Log10ArraysMatchTheScalarBits) {
    auto array = [](const double* x, double* y, int n, dsp::VectorWidth w) {
        dsp::log10Of(x, y, n, w);
    };
    for (const auto& x : {arguments(-323, 308, true), arguments(0.5, 2, false)}) {
        for (dsp::VectorWidth w : widths()) expectSameAsScalar(x, dsp::log10, array, w);
    }
}

TEST(VectorForms, Log10OfNormalArgumentsMatchesTheGeneralFunction) {
    auto array = [](const double* x, double* y, int n, dsp::VectorWidth w) {
        dsp::log10NormalOf(x, y, n, w);
    };
    for (const auto& x : {arguments(-307.5, 308, true), arguments(0.5, 2, false)}) {
        std::vector<double> normal;
        for (double v : x) {
            if (v >= 0x1p-1022 && v <= 1.7976931348623157e308) normal.push_back(v);
        }
        for (dsp::VectorWidth w : widths()) expectSameAsScalar(normal, dsp::log10, array, w);
    }
}

// Gains as the limiter's meter sees them: slow walks that stay in one binade
// (2^e sqrt(2)/2, 2^e sqrt(2)] for a while, cross into the next, sit on a
// binade's ends, and now and then hold a value no binade has.
std::vector<double> gainWalks() {
    const double from = dsp::kLog10NearOneFrom, sqrt2 = 2 * dsp::kLog10NearOneFrom;
    std::vector<double> x;
    uint64_t s = 11;
    auto uniform = [&s] {
        s = s * 6364136223846793005u + 1442695040888963407u;
        return static_cast<double>(s >> 11) * 0x1p-53;
    };
    // Walks at and around one, and deep in the range and at its ends.
    for (double start : {1.0, 0.9, 0.5, 0.3, 1.3, 1e-3, 1e-300, 0x1p-1020, 1e300, 0x1p1021}) {
        double g = start;
        for (int i = 0; i < 3000; ++i) {
            g *= std::exp((uniform() - 0.5) * (i % 700 < 350 ? 0.004 : 0.05));
            x.push_back(g);
        }
    }
    // Each end of a binade, and its neighbours, as a whole stretch and mixed.
    for (int e : {-1022, -1021, -1020, -3, -1, 0, 1, 1021, 1022}) {
        for (double edge : {std::ldexp(from, e), std::ldexp(sqrt2, e)}) {
            for (double v : {std::nextafter(edge, 0.0), edge, std::nextafter(edge, 2 * edge)}) {
                for (int i = 0; i < 136; ++i) x.push_back(i % 5 == 0 ? v : std::ldexp(0.9, e));
                for (int i = 0; i < 128; ++i) x.push_back(v);
            }
        }
    }
    // Values outside every binade, alone among gains near one.
    const double inf = std::numeric_limits<double>::infinity();
    for (double odd : {0.0, -0.0, -0.5, 0x1p-1074, 0x1p-1022, inf, -inf, std::nan(""), 1.5, 0.25}) {
        for (int i = 0; i < 128; ++i) x.push_back(i == 77 ? odd : 0.95);
    }
    return x;
}

double reductionDb(double x) {
    return -(20.0 * dsp::log10(x));
}

TEST(VectorForms, ReductionDbMatchesTheScalarBits) {
    auto array = [](const double* x, double* y, int n, dsp::VectorWidth w) {
        dsp::reductionDbOf(x, y, n, w);
    };
    const std::vector<double> walks = gainWalks();
    for (dsp::VectorWidth w : widths()) expectSameAsScalar(walks, reductionDb, array, w);
    // Every length up to two stretches and a bit, in place as the kernel
    // calls it.
    for (dsp::VectorWidth w : widths()) {
        for (int n = 0; n <= 300; ++n) {
            std::vector<double> y(walks.begin() + 2900, walks.begin() + 2900 + n);
            dsp::reductionDbOf(y.data(), y.data(), n, w);
            for (int i = 0; i < n; ++i) {
                ASSERT_TRUE(sameBits(y[i], reductionDb(walks[2900 + i]))) << n << " " << i;
            }
        }
    }
}

TEST(VectorForms, ExpOfTinyArgumentsIsExactlyOne) {
    // The fast kernel skips exp where its argument is above -2^-54.
    for (double x : {-0.0, 0.0, -1e-300, -0x1p-60, -0x1.fffffffffffffp-55}) {
        EXPECT_EQ(dsp::exp(x), 1.0) << x;
    }
}
