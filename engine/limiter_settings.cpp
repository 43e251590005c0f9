#include "engine/dsp_math.h"
#include "engine/limiter_state.h"
#include "engine/parameters.h"

BlockSettings blockSettings(float gain, float thresh, float mode, float show) {
    BlockSettings s;
    s.gainLin = dsp::exp(gainDb(gain) * kDbToLinear);
    s.threshDb = ceilingDb(thresh);
    s.threshLin = dsp::exp(s.threshDb * kDbToLinear);
    s.limitMode = isLimitMode(mode);
    s.meterShowsLimit = s.limitMode && !showsClipStage(show);
    return s;
}

LimiterCoefficients limiterCoefficients(double sampleRate, float atkH, float relH, float release,
                                        float mode) {
    const double sr = sampleRate;
    LimiterCoefficients c;
    // A 0.001 ms time constant: the clip stage follows a rise within one sample.
    c.clipAttack = dsp::exp(-1000.0 / (sr * 0.001));
    c.clipRelease = dsp::exp(-1000.0 / (sr * clipReleaseMs(release, isLimitMode(mode))));
    // The limit stage's times are 10 %-to-90 % rise times, hence the 2.2.
    const double k = (1.0 / sr) * -2.2;
    c.limitAttack = 1.0 - dsp::exp(k / (limitAttackMs(atkH) * 0.001));
    c.limitRelease = 1.0 - dsp::exp(k / (limitReleaseMs(relH) * 0.001));
    return c;
}
