// A drawing context that owns an off-screen image: the frame's back buffer and
// the buffer of buffered containers. It starts filled with its background
// colour.
#pragma once

#include "toolkit/draw_context.h"

namespace TKGUI {

class CBitmap;

class COffscreenContext : public CDrawContext {
  public:
    COffscreenContext(CFrame* frame, int width, int height,
                      const CColor& background = kBlackCColor);
    ~COffscreenContext() override;

    // Copies rect's size from sourcePoint of this buffer to rect (plus the
    // destination's offset) in dest.
    void copyTo(CDrawContext* dest, const CRect& rect, const CPoint& sourcePoint = CPoint());
    // Copies rect (plus the source's offset) of source to destPoint here.
    void copyFrom(CDrawContext* source, const CRect& rect, const CPoint& destPoint = CPoint());

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    CColor getBackgroundColor() const { return backgroundColor; }
    platform::Image* getImage() const { return image; }

  private:
    CBitmap* bitmap = nullptr;  // an attached bitmap; never set by the toolkit itself
    int height;
    int width;
    bool destroyImage = true;
    CColor backgroundColor;
    platform::Image* image = nullptr;
    platform::Image* oldImage = nullptr;
};

}  // namespace TKGUI
