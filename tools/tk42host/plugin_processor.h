// The plug-in as the block pump's processor.
#pragma once

#include "tools/plughost/plugin_instance.h"
#include "tools/tk42host/block_pump.h"

class PluginProcessor : public BlockProcessor {
  public:
    explicit PluginProcessor(const PluginInstance& fx) : fx(fx) {}
    void process(float** in, float** out, int32_t frames) override { fx.process(in, out, frames); }
    void process(double** in, double** out, int32_t frames) override {
        fx.process(in, out, frames);
    }

  private:
    const PluginInstance& fx;
};
