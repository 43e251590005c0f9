// A module whose entry point refuses every host.
struct AEffect;
using Callback = long long (*)(AEffect*, int, int, long long, void*, float);

extern "C" AEffect* VSTPluginMain(Callback) {
    return nullptr;
}
