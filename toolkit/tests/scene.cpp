#include "scene.h"

#include "toolkit/font_table.h"

using namespace TKGUI;

namespace tk42test {

const CRect kSceneTextBox[kSceneTextBoxes] = {CRect(96, 4, 158, 18), CRect(96, 20, 158, 36),
                                              CRect(96, 84, 126, 96)};

void drawScene(COffscreenContext* c, CBitmap* strip) {
    // Filled and outlined panels.
    c->setFillColor(CColor{180, 60, 20, 255});
    c->fillRect(CRect(4, 4, 40, 30));
    c->setFrameColor(CColor{240, 240, 240, 255});
    c->drawRect(CRect(4, 4, 40, 30));
    c->setFillColor(CColor{20, 120, 200, 255});
    c->fillRect(CRect(44, 4, 90, 30));

    // Lines in every direction, each without its end pixel.
    c->setFrameColor(CColor{255, 220, 0, 255});
    c->moveTo(CPoint(48, 8));
    c->lineTo(CPoint(86, 8));
    c->lineTo(CPoint(86, 26));
    c->setFrameColor(CColor{0, 255, 128, 255});
    c->moveTo(CPoint(48, 26));
    c->lineTo(CPoint(80, 12));
    c->moveTo(CPoint(48, 12));
    c->lineTo(CPoint(60, 24));

    // A clipped fill, with an offset in force.
    c->setOffset(CPoint(2, 2));
    c->setClipRect(CRect(2, 32, 30, 42));
    c->setFillColor(CColor{90, 200, 90, 255});
    c->fillRect(CRect(-10, 20, 80, 60));
    c->setOffset(CPoint(0, 0));
    c->resetClipRect();

    // The filmstrip: both frames blended, and the first at half strength
    // over a bright patch.
    strip->draw(c, CRect(4, 48, 36, 72), CPoint(0, 0));
    strip->draw(c, CRect(40, 48, 72, 72), CPoint(0, 24));
    c->setFillColor(CColor{230, 230, 120, 255});
    c->fillRect(CRect(75, 47, 108, 73));
    strip->drawAlphaBlend(c, CRect(76, 48, 108, 72), CPoint(0, 0), 128);
    // A frame blended through a clip.
    c->setClipRect(CRect(112, 52, 130, 66));
    strip->draw(c, CRect(110, 48, 142, 72), CPoint(0, 0));
    c->resetClipRect();

    // Text, as the value fields and captions draw it.
    c->setFontColor(CColor{168, 168, 168, 255});
    c->setFont(6);
    c->drawString("GAIN 12.00", kSceneTextBox[0], 0, kCenterText);
    c->setFontColor(kWhiteCColor);
    c->setFont(0);
    c->drawString("-24.00", kSceneTextBox[1], 0, kLeftText);
    c->setFillColor(CColor{0, 0, 96, 255});
    c->setFont(4, kItalicFace);
    c->drawString("R2", kSceneTextBox[2], 1, kRightText);
}

}  // namespace tk42test
