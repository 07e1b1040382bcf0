#pragma once
// What the device synchronisation and the channel sends call on the pages, and where they find
// them. The output page registers itself with the view's registry when it is made and withdraws
// when it goes; the input page and the advanced settings dialog are the global window pointers the
// system names, set and cleared with the window's life. UI thread only; a call finds no page
// while none is there and then does nothing.

#include "model/DeviceImage.h"

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
};

class IInputPage {
public:
    virtual ~IInputPage() = default;
    // Shows the Mixer button of the current main source and checks the current input option.
    virtual void RefreshSourceButton() = 0;
};

class IAdvSettingsDlg {
public:
    virtual ~IAdvSettingsDlg() = default;
    // Shows g_strWifiIp and g_nWifiPort and disables the apply button.
    virtual void ShowNetworkSettings() = 0;
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

private:
    IOutputPage *m_output = nullptr;
};
