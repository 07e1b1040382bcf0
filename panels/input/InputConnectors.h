#pragma once
// What the input page asks of its input-connector picture: the connectors of the current AUX
// mode, the check of the selected input, the S/PDIF and Phone connectors of the input layout,
// and a redraw after a language change. The picture reports a click to the page with
// WM_INMODE_SELECT (InputMessages.h). UI thread only.

class IInputConnectors {
public:
    virtual ~IInputConnectors() = default;
    // Shows the AUX connectors of g_nInputGroup and hides the others.
    virtual void ShowAuxButtons() = 0;
    // Checks the connector of g_nSelInput alone.
    virtual void CheckSelectedInput() = 0;
    virtual void ShowPhoneButton(bool show) = 0;
    virtual void ShowSpdifButton(bool show) = 0;
    // Every connector again, in the language of g_bChinese.
    virtual void RedrawButtons() = 0;
};
