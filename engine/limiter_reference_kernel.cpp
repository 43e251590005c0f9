#include "engine/dsp_math.h"
#include "engine/limiter_kernel.h"
#include "engine/limiter_reference_algorithm.h"

namespace {

struct ProjectMath {
    static double exp(double x) { return dsp::exp(x); }
    static double log10(double x) { return dsp::log10(x); }
};

}  // namespace

template <typename T>
void processReference(LimiterState& st, const LimiterCoefficients& c, const BlockSettings& b,
                      MeterReading& meter, T** inputs, T** outputs, int32_t sampleFrames) {
    processReferenceWith<ProjectMath>(st, c, b, meter, inputs, outputs, sampleFrames);
}

template void processReference<float>(LimiterState&, const LimiterCoefficients&,
                                      const BlockSettings&, MeterReading&, float**, float**,
                                      int32_t);
template void processReference<double>(LimiterState&, const LimiterCoefficients&,
                                       const BlockSettings&, MeterReading&, double**, double**,
                                       int32_t);
