// A module whose entry point returns something that is not an effect record.
struct AEffect;
using Callback = long long (*)(AEffect*, int, int, long long, void*, float);

namespace {
char notARecord[192] = "not an effect record";
}

extern "C" AEffect* VSTPluginMain(Callback) {
    return reinterpret_cast<AEffect*>(notARecord);
}
