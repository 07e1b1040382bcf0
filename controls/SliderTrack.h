#pragma once
// The geometry of a slider's track without Qt: where the thumb centre of a position lies and
// which position a pixel along the track means.

// One axis of a slider: the control's length along the track, the margins kept free at its two
// ends, the thumb's length and the range.
struct SliderTrack {
    int length = 0;   // control height (vertical) or width (horizontal)
    int margin1 = 0;  // top or left margin
    int margin2 = 0;  // bottom or right margin
    int thumb = 0;    // thumb height or width
    int min = 0;
    int max = 100;

    // Pixels the thumb centre can travel. Zero or less when the track is no longer than the
    // thumb; positions then all map to the first usable pixel.
    int Travel() const { return length - margin1 - margin2 - thumb; }
    int FirstPixel() const { return margin1 + thumb / 2; }
    int LastPixel() const { return length - margin2 - thumb / 2; }

    // The thumb centre of position p.
    int PosToPixel(int p) const;
    // The position of thumb centre x (not limited to the range).
    int PixelToPos(int x) const;
    // x limited to the pixels the thumb centre can reach.
    int ClampPixel(int x) const;
};

// Turns wheel deltas into whole notches, so that fine wheels and touchpads that send small
// deltas move as far as classic 120-unit wheels.
class WheelAccumulator {
public:
    static constexpr int kNotch = 120;
    // Adds a delta and returns the whole notches it completes (signed, positive = away from
    // the user); the remainder is kept for the next delta.
    int Add(int delta);
    void Reset() { m_total = 0; }
    int Pending() const { return m_total; }

private:
    int m_total = 0;
};
