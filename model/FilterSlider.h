#pragma once
// The slider that mirrors one equaliser element on a panel. The model moves it when the
// element's frequency or gain changes through the element; the bitmap slider of the controls
// implements it. Called on the UI thread only, while the element holds its own lock: an
// implementation only moves and redraws itself and never takes the link lock.

class IFilterSlider {
public:
    virtual ~IFilterSlider() = default;
    // Move to the grid position of a frequency in Hz (frequency sliders).
    virtual void SetPosByFreq(int freq) = 0;
    // Show a value counted from the top of the slider (gain sliders take a gain code).
    virtual void SetInvertedPos(int value) = 0;
};
