// The limiter's processing state and the settings one block runs with. Plain
// data, so that the fast kernel and the reference kernel can be run side by
// side on identical copies.
#pragma once

constexpr int kLookAhead = 5;
// Keeps log10 away from 0 and the envelopes away from denormals on silence.
constexpr double kTiny = 1e-25;

struct LimiterState {
    double delayL[kLookAhead] = {};  // gained input; element 0 newest, element 4 oldest
    double delayR[kLookAhead] = {};
    double limitEnv = 0;       // peak envelope of the limit stage, linear
    double limitGain = 1.0;    // gain of the limit stage, linear
    double clipEnvDb = kTiny;  // clip-stage reduction in dB, plus kTiny
};

struct LimiterCoefficients {
    double limitAttack = 0;   // update factor: envelope rising, gain falling
    double limitRelease = 0;  // update factor for the opposite directions
    double clipAttack = 0;    // retention factor while the reduction grows
    double clipRelease = 0;   // retention factor while it shrinks
};

// Values read once per block.
struct BlockSettings {
    double gainLin = 1.0;
    double threshDb = 0.0;
    double threshLin = 1.0;
    bool limitMode = true;
    bool meterShowsLimit = true;
};

// The meter reading the kernels update while a meter is attached.
struct MeterReading {
    bool active = false;
    double valueDb = kTiny;
    double fallCoef = 0;
};

BlockSettings blockSettings(float gain, float thresh, float mode, float show);
LimiterCoefficients limiterCoefficients(double sampleRate, float atkH, float relH, float release,
                                        float mode);
