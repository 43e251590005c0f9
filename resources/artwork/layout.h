// Where the editor puts its controls on the 400 x 220 panel, and how the
// filmstrips are cut. The panel art is drawn around these rectangles, so the
// numbers here must stay equal to the editor's own table.
#pragma once

namespace art {

struct Rect {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    double centreX() const { return (left + right) / 2.0; }
    double centreY() const { return (top + bottom) / 2.0; }
};

constexpr int kPanelWidth = 400;
constexpr int kPanelHeight = 220;

constexpr Rect kGainKnob{30, 25, 110, 105};
constexpr Rect kCeilingKnob{290, 25, 370, 105};
constexpr Rect kAttackKnob{145, 20, 185, 60};
constexpr Rect kRelease1Knob{215, 20, 255, 60};
constexpr Rect kRelease2Knob{215, 83, 255, 123};
constexpr Rect kModeToggle{145, 84, 185, 124};
constexpr Rect kShowSwitch{145, 190, 185, 220};
constexpr Rect kGainBox{55, 125, 85, 137};
constexpr Rect kCeilingBox{315, 125, 345, 137};
constexpr Rect kMeter{20, 160, 380, 190};

// Knob filmstrips: 97 frames, the pointer swept clockwise through 270 degrees
// from the lower left (frame 0) to the lower right (frame 96).
constexpr int kKnobFrames = 97;
constexpr double kKnobSweepDeg = 270.0;
constexpr double kKnobStartDeg = -135.0;  // from straight up, clockwise positive
constexpr int kLargeKnobSize = 80;
constexpr int kSmallKnobSize = 40;

// Angle of frame k in degrees from straight up, clockwise.
constexpr double knobAngleDeg(int frame) {
    return kKnobStartDeg + frame * kKnobSweepDeg / (kKnobFrames - 1);
}

// Meter strip: 20 segments of 18 px pitch across the 360 px strip; frame k
// lights the k rightmost. Segment i (0 = left, shows "20") is centred at
// x = 9 + 18 i in the strip, so at 29 + 18 i on the panel.
constexpr int kMeterSegments = 20;
constexpr int kMeterFrames = kMeterSegments + 1;
constexpr int kMeterPitch = 18;
constexpr double meterSegmentCentre(int i) {
    return kMeterPitch / 2.0 + kMeterPitch * i;
}

constexpr int kToggleSize = 40;
constexpr int kSwitchWidth = 40;
constexpr int kSwitchHeight = 30;

}  // namespace art
