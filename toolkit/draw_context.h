// A drawing target: a platform device with an origin offset, a clip
// rectangle, colours, line width and font.
//
// Coordinates given to the drawing operations are context coordinates; the
// offset is added before they reach the device. The clip rectangle is kept in
// device coordinates (offset included). Platform objects are made only when a
// value really changes, and the device's own objects are put back when the
// context goes away.
#pragma once

#include <cstdint>

#include "toolkit/geometry.h"
#include "toolkit/platform/platform.h"
#include "toolkit/reference_counter.h"

namespace TKGUI {

class CFrame;

enum CDrawMode { kCopyMode = 0, kOrMode, kXorMode };
enum CLineStyle { kLineSolid = 0, kLineOnOffDash };
enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

class CDrawContext : public CReferenceCounter {
  public:
    // Without a device but with a window, the context fetches the window's
    // device and releases it again when it goes away.
    CDrawContext(CFrame* frame, platform::Device* device, platform::Window* window);
    ~CDrawContext() override;

    void moveTo(const CPoint& point);
    void lineTo(const CPoint& point);
    void drawRect(const CRect& rect);  // one-pixel outline inside rect
    void fillRect(const CRect& rect);  // leaves the top row and left column alone

    void setLineStyle(CLineStyle style);
    CLineStyle getLineStyle() const { return lineStyle; }
    void setLineWidth(int width);  // always 1 in this toolkit
    int getLineWidth() const { return lineWidth; }
    void setDrawMode(CDrawMode mode) { drawMode = mode; }
    CDrawMode getDrawMode() const { return drawMode; }

    void setClipRect(const CRect& clip);    // in context coordinates
    CRect& getClipRect(CRect& clip) const;  // in context coordinates
    void resetClipRect();

    void setFillColor(const CColor& color);
    CColor getFillColor() const { return fillColor; }
    void setFrameColor(const CColor& color);
    CColor getFrameColor() const { return frameColor; }
    void setFontColor(const CColor& color);
    CColor getFontColor() const { return fontColor; }

    // Ids outside 0..7 select font 0; style bits: CFontStyle.
    void setFont(int fontId, int style = 0);
    int getFont() const { return fontId; }
    int getFontSize() const { return fontSize; }
    int getFontStyle() const { return fontStyle; }

    void drawString(const char* text, const CRect& rect, int16_t opaque = 0,
                    CHoriTxtAlign align = kCenterText);

    // The button-state word now (swapped buttons exchanged).
    int getMouseButtons();

    void setOffset(const CPoint& point) { offset = point; }
    CPoint getOffset() const { return offset; }
    // The window's top-left on the screen; cursor positions are made relative
    // to it. Views shift it together with the offset.
    void setWindowScreenPosition(const CPoint& point) { windowScreenPosition = point; }
    CPoint getWindowScreenPosition() const { return windowScreenPosition; }

    CFrame* getFrame() const { return frame; }
    platform::Device* getDevice() const { return device; }
    platform::Window* getWindow() const { return window; }

  protected:
    // Puts the device's own objects back and deletes those made here; runs
    // once, before a derived context deletes its device.
    void restoreDeviceObjects();

    CPoint windowScreenPosition;
    CPoint offset;
    platform::Device* device;
    platform::Window* window;
    CFrame* frame;
    int fontSize = -1;
    int fontStyle = 0;
    int fontId = 8;
    CColor fontColor = kWhiteCColor;
    int lineWidth = 1;
    CColor frameColor = kWhiteCColor;
    CColor fillColor = kBlackCColor;
    CDrawMode drawMode = kCopyMode;
    CRect clipRect;

  private:
    void makePen();

    platform::Brush* brush = nullptr;
    platform::Pen* pen = nullptr;
    platform::Font* font = nullptr;
    platform::Brush* oldBrush = nullptr;
    platform::Pen* oldPen = nullptr;
    platform::Font* oldFont = nullptr;
    CLineStyle lineStyle = kLineSolid;
    bool ownsDevice = false;
    bool deviceObjectsRestored = false;
};

}  // namespace TKGUI
