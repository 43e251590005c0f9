#include "pixel_reader.h"
#include "toolkit/platform/software/software_script.h"

namespace tk42test {

void preparePlatform() {}

Pixels readPixels(TKGUI::COffscreenContext* context) {
    using namespace TKGUI::software;
    Pixels out;
    TKGUI::platform::Image* image = context->getImage();
    out.width = imageWidth(image);
    out.height = imageHeight(image);
    out.rgb.resize(size_t(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x)
            out.rgb[size_t(y) * out.width + x] = pixelAt(image, x, y) & 0xFFFFFF;
    }
    return out;
}

}  // namespace tk42test
