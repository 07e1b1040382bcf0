#pragma once
// What the device synchronisation and the channel sends call on the pages, and where they find
// them. The output page registers itself with the view's registry when it is made and withdraws
// when it goes; the input page and the advanced settings dialog are the global window pointers the
// system names, set and cleared with the window's life. UI thread only; a call finds no page
// while none is there and then does nothing.

#include "model/DeviceImage.h"

#include <array>

// The link look the main view gives output strip i after the link values changed
// (CVRX530View::RefreshChannelAssignments).
inline constexpr int kStripCount = static_cast<int>(DeviceImage::kOutCount);
inline constexpr int kLinkGroupCount = static_cast<int>(kLinkGroupSlots);  // group numbers 1..10
struct StripLinkLook {
    bool selected = false;  // the strip is selected (the selected output and its link group)
    int linkValue = 0;      // the strip's own copy of its link value
    int group = -1;         // 0..9: link button checked with the badge of group number group + 1;
                            // -1: link button unchecked, with the plain link look
};

class IOutputPage {
public:
    virtual ~IOutputPage() = default;
    // Reloads the 31 band rows, the bypass states and the EQ mode of the selected output
    // (g_nSelOutput). Run after an equaliser reset.
    virtual void RefreshEQ() = 0;
    // With the speaker-type assignment mode on, selects the first output that has a speaker type
    // when the selected one has none; with the mode off, re-synchronises the link buttons. Run
    // after the device's speaker types arrived.
    virtual void SelectAssignedChannel() = 0;

    // ---- what the main view calls; a page method of the same name and signature implements it.
    //      The view works without a page: each does nothing by default. ----
    // Source levels of every output from the current image, then the whole page.
    virtual void LoadChannelRecords() {}
    // Reloads every control from the records and the link tables.
    virtual void RefreshChannel() {}
    // Tab on the page: the first band's first field takes the focus.
    virtual void FocusFirstBand() {}
    // Re-skins the page for g_bChinese.
    virtual void SwitchLanguage() {}
    // The device's input source code (0..3, or another value the device reported).
    virtual void SetInputMode(int /*mode*/) {}
    // Gives each strip its selection and link look, then redraws every curve of the graph.
    virtual void ShowChannelAssignments(const std::array<StripLinkLook, kStripCount> & /*looks*/) {}
    // After a preset file was loaded: with the speaker-type assignment mode on, leaves it when no
    // output has a speaker type, else selects the first output that has one when the selected
    // one has none. A page without the mode does nothing.
    virtual void CheckChannelSelection() {}
};

class IInputPage {
public:
    virtual ~IInputPage() = default;
    // Shows the Mixer button of the current main source and checks the current input option.
    virtual void RefreshSourceButton() = 0;
    // After another window changed g_nSelInput or g_nInputGroup: the main source is checked
    // against the new input and falls back to OFF (with the button's look) when it is not
    // offered there. Nothing is queued.
    virtual void ApplyInputSelection() = 0;
    // The device reported another input (g_nSelInput holds it): the page shows and edits that one.
    virtual void ShowDeviceInput() {}
};

class IAdvSettingsDlg {
public:
    virtual ~IAdvSettingsDlg() = default;
    // Shows g_strWifiIp and g_nWifiPort and disables the apply button.
    virtual void ShowNetworkSettings() = 0;
    // After a preset was read back from the device: the values that the read changed.
    virtual void ReloadAll() {}
    // The device button (the Wi-Fi module's factory reset) while a link is open.
    virtual void EnableDeviceButton(bool /*on*/) {}
};

// The input page whose window was made last, and the advanced settings dialog while it exists.
inline IInputPage *g_pInputPage = nullptr;
inline IAdvSettingsDlg *g_pAdvSetingDlg = nullptr;

class CPageRegistry {
public:
    void RegisterOutputPage(IOutputPage &page) { m_output = &page; }
    // Only the page that is registered can withdraw itself.
    void WithdrawOutputPage(IOutputPage &page)
    {
        if (m_output == &page)
            m_output = nullptr;
    }
    IOutputPage *OutputPage() const { return m_output; }

    void RefreshOutputEq() const
    {
        if (m_output)
            m_output->RefreshEQ();
    }
    void SelectAssignedChannel() const
    {
        if (m_output)
            m_output->SelectAssignedChannel();
    }
    void CheckChannelSelection() const
    {
        if (m_output)
            m_output->CheckChannelSelection();
    }
    // Only while the input page is the current page.
    void RefreshInputPage() const
    {
        if (g_nCurPage.load() == 0 && g_pInputPage)
            g_pInputPage->RefreshSourceButton();
    }
    void ShowNetworkSettings() const
    {
        if (g_pAdvSetingDlg)
            g_pAdvSetingDlg->ShowNetworkSettings();
    }
    void ReloadAdvancedSettings() const
    {
        if (g_pAdvSetingDlg)
            g_pAdvSetingDlg->ReloadAll();
    }
    void EnableAdvancedDeviceButton(bool on) const
    {
        if (g_pAdvSetingDlg)
            g_pAdvSetingDlg->EnableDeviceButton(on);
    }

private:
    IOutputPage *m_output = nullptr;
};
