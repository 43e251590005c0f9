// An image from the module's resources. PNG resources are decoded into a
// premultiplied 32-bit image (drawn by alpha blending); other resources are
// tried as plain bitmaps (copied pixel for pixel).
#pragma once

#include <cstdint>

#include "toolkit/geometry.h"
#include "toolkit/platform/platform.h"
#include "toolkit/reference_counter.h"

namespace TKGUI {

class CDrawContext;

class CBitmap : public CReferenceCounter {
  public:
    explicit CBitmap(int32_t resourceId);
    ~CBitmap() override;

    // rect: destination in context coordinates; offset: top-left of the
    // source area in the image. The size drawn is rect's size.
    virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint());
    virtual void drawTransparent(CDrawContext* context, const CRect& rect,
                                 const CPoint& offset = CPoint());
    virtual void drawAlphaBlend(CDrawContext* context, const CRect& rect,
                                const CPoint& offset = CPoint(), uint8_t alpha = 128);
    virtual void unload();
    virtual bool loadFromResource(int32_t resourceId);
    virtual bool loadFromPath(const void* path);  // not supported: unloads, false

    int32_t getResourceId() const { return resourceId; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    bool isLoaded() const { return image != nullptr; }
    bool isPlain() const { return plain; }
    void setTransparentColor(const CColor& color) { transparentColor = color; }
    CColor getTransparentColor() const { return transparentColor; }
    platform::Image* getImage() const { return image; }

  private:
    int32_t resourceId;
    int width = 0;
    int height = 0;
    CColor transparentColor = kDefaultColorKey;
    bool plain = true;
    platform::Image* image = nullptr;
    platform::Image* mask = nullptr;
};

}  // namespace TKGUI
