#include "editor/tembro_gr.h"

#include <cmath>
#include <cstring>

#include "engine/meter_feed.h"
#include "toolkit/bitmap.h"

using namespace TKGUI;

TembroGR::TembroGR(const CRect& size, float sampleRate, CBitmap* strip, const MeterFeed* feed)
    : CControl(size, nullptr, 0, nullptr),
      grFallCoef(meterFallCoefficient(sampleRate)),
      grBitmap(strip),
      feed(feed) {
    if (grBitmap) grBitmap->retain();
}

TembroGR::~TembroGR() {
    if (grBitmap) grBitmap->release();
}

bool TembroGR::isKindOf(const char* className) const {
    if (className &&
        (std::strcmp(className, "TembroGR") == 0 || std::strcmp(className, "CControl") == 0)) {
        return true;
    }
    return CView::isKindOf(className);
}

int32_t TembroGR::frameIndexFor(double g) const {
    // NaN fails both tests and would reach the cast: show the empty frame.
    if (std::isnan(g) || g < 0.0) g = 0.0;
    if (g > 20.0) g = 20.0;
    return static_cast<int32_t>((grSegmentCount - 1) * (g / 20.0));
}

void TembroGR::draw(CDrawContext* context) {
    if (!grBitmap) return;
    if (feed) grValueDb = feed->reading();
    const int32_t k = frameIndexFor(grValueDb);
    const CPoint offset(0, k * size.height());
    if (transparent) {
        grBitmap->drawTransparent(context, size, offset);
    } else {
        grBitmap->draw(context, size, offset);
    }
    setDirty(false);
}
