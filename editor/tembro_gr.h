// The editor's 20-segment gain-reduction meter: a passive control that
// shows one frame of the meter strip for the current reading.
//
// The reading comes from the effect's meter feed (written by the audio
// thread, read here when the meter draws); without a feed the meter shows
// grValueDb. The audio thread never calls the meter. The meter is always
// dirty, so every idle redraws it from the current reading.
#pragma once

#include "toolkit/control.h"

class MeterFeed;

class TembroGR : public TKGUI::CControl {
  public:
    // strip: 21 frames of the view's size, frame k with k segments lit.
    TembroGR(const TKGUI::CRect& size, float sampleRate, TKGUI::CBitmap* strip,
             const MeterFeed* feed = nullptr);
    ~TembroGR() override;

    void draw(TKGUI::CDrawContext* context) override;
    // The plain flag store: lastValue stays -1 against the value 0, so the
    // meter never stops being dirty.
    void setDirty(bool flag = true) override { dirty = flag; }
    bool isKindOf(const char* className) const override;

    // The strip frame for a reading in dB: 0 to 19 (frame 20 is never shown).
    int32_t frameIndexFor(double readingDb) const;

    double grFallCoef;         // per-sample retention while the reading falls
    double grValueDb = 1e-25;  // the reading shown without a feed
    TKGUI::CBitmap* grBitmap;
    int32_t grSegmentCount = 20;

  private:
    const MeterFeed* feed;
};
