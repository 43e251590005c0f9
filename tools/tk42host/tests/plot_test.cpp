// The plot, drawn by rsvg-convert as any viewer would: the picture has its
// size, and the curves sit where the render's figures put them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "tools/tk42host/loudness_meter.h"
#include "tools/tk42host/plot_svg.h"
#include "tools/tk42host/tests/test_files.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 48000;
constexpr double kSeconds = 6;

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    // The row, within [top, bottom), of the pixel in column x nearest to the
    // colour; -1 when nothing there is close to it.
    int rowOf(int x, int top, int bottom, unsigned colour) const {
        int best = -1, bestDistance = 60 * 60;
        for (int y = top; y < bottom; ++y) {
            const unsigned char* p = &rgb[3 * (y * width + x)];
            const int dr = p[0] - static_cast<int>(colour >> 16);
            const int dg = p[1] - static_cast<int>((colour >> 8) & 0xff);
            const int db = p[2] - static_cast<int>(colour & 0xff);
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) best = y, bestDistance = d;
        }
        return best;
    }
};

Picture draw(const std::string& svg, const std::string& png) {
    const std::string command = std::string(TK42_RSVG_CONVERT) + " " + svg + " -o " + png;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    Picture p;
    int channels = 0;
    unsigned char* pixels = stbi_load(png.c_str(), &p.width, &p.height, &channels, 3);
    if (pixels) {
        p.rgb.assign(pixels, pixels + 3 * p.width * p.height);
        stbi_image_free(pixels);
    }
    return p;
}

int timeX(double t) {
    return static_cast<int>(std::lround(plot::kLeft + t / kSeconds * (plot::kRight - plot::kLeft)));
}

int levelY(double db) {
    return static_cast<int>(std::lround(
        plot::kLevelTop + (plot::kLevelMaxDb - db) / (plot::kLevelMaxDb - plot::kLevelMinDb) *
                              (plot::kLevelBottom - plot::kLevelTop)));
}

}  // namespace

TEST(Plot, CurvesSitWhereTheRenderPutsThem) {
    TempDir dir;
    // A 40 Hz stereo sine, 3 s at -20 dBFS, then 3 s at -3 dBFS into a
    // -12 dBFS ceiling: the second half is limited by 9 dB. At 40 Hz the
    // K-weighting takes about 6 dB, so the loudness curve runs well below
    // the peaks.
    WavData in;
    in.format = {static_cast<uint32_t>(kRate), 2, SampleFormat::Float32, false};
    const size_t frames = static_cast<size_t>(kSeconds * kRate);
    for (size_t i = 0; i < frames; ++i) {
        const double a = i < frames / 2 ? 0.1 : std::pow(10.0, -3.0 / 20);
        const double x = a * std::sin(2 * kPi * 40 * static_cast<double>(i) / kRate);
        in.samples.push_back(x);
        in.samples.push_back(x);
    }
    writeWav(dir.file("in.wav"), in);
    const HostRun run =
        runHost({"render", TK42_TEST_MODULE, dir.file("in.wav"), dir.file("out.wav"), "--quiet",
                 "--ceiling-db", "-12", "--plot", dir.file("plot.svg")});
    ASSERT_EQ(run.code, 0) << run.err;
    const Picture p = draw(dir.file("plot.svg"), dir.file("plot.png"));
    ASSERT_EQ(p.width, plot::kWidth);
    ASSERT_EQ(p.height, plot::kHeight);

    const int top = plot::kLevelTop + 1, bottom = plot::kLevelBottom;
    // Output peak (left channel's colour): -20 dBFS, then the ceiling.
    EXPECT_NEAR(p.rowOf(timeX(1.5), top, bottom, 0xe6550d), levelY(-20), 2);
    EXPECT_NEAR(p.rowOf(timeX(4.0), top, bottom, 0xe6550d), levelY(-12), 2);
    // Input peak: -3 dBFS in the second half.
    EXPECT_NEAR(p.rowOf(timeX(4.5), top, bottom, 0x6baed6), levelY(-3), 2);
    // Input RMS: 3 dB under the input peak (in the first half the output
    // covers it).
    EXPECT_NEAR(p.rowOf(timeX(4.5), top, bottom, 0x08519c), levelY(-6), 2);

    // Short-term loudness, as the meter reads the written output, at 5.5 s
    // (window 25 of the curve, which starts at 3 s).
    const WavData out = readWav(dir.file("out.wav"));
    std::vector<double> l(out.frames()), r(out.frames());
    for (size_t i = 0; i < out.frames(); ++i)
        l[i] = out.samples[2 * i], r[i] = out.samples[2 * i + 1];
    LoudnessMeter meter(kRate, 2);
    meter.add(l.data(), r.data(), l.size());
    const double loudness = meter.shortTermCurve().at(25);
    EXPECT_LT(loudness, -16.0);
    EXPECT_NEAR(p.rowOf(timeX(5.5), top, bottom, 0x238b45), levelY(loudness), 2);

    // Gain reduction: none in the first half; about 9 dB of a 12 dB scale after.
    const int rTop = plot::kReductionTop + 1, rBottom = plot::kReductionBottom;
    EXPECT_EQ(p.rowOf(timeX(1.5), rTop, rBottom - 2, 0xcb181d), -1);
    const int lowest = [&] {
        int y = -1;
        for (int row = rTop; row < rBottom; ++row) {
            const unsigned char* px = &p.rgb[3 * (row * p.width + timeX(4.5))];
            if (px[0] > 180 && px[1] < 90 && px[2] < 90) y = row;
        }
        return y;
    }();
    const double expected =
        plot::kReductionTop + 9.0 / 12.0 * (plot::kReductionBottom - plot::kReductionTop);
    EXPECT_NEAR(lowest, expected, 4);
}
