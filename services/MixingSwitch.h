#pragma once
// The main view's own switch of the Hi.Level mixing (its button 2824 and its copy of the on/off
// state), which the Hi.Level mixing dialog keeps in step with its switch. UI thread only.

class IMixingSwitch {
public:
    virtual ~IMixingSwitch() = default;
    // The view's switch is checked and its copy of the state set when on is nonzero.
    virtual void SetMixingSwitch(int on) = 0;
};
