#pragma once
// What the firmware-update dialog uses of the link: the devices it may update, closing the running
// link, opening the link in update mode (at once or from the polling thread's ticks), cancelling,
// loading the firmware file into the update engine, and the dialog's tip while the dialog is open.
// The main view owns one and gives it to the dialog. UI thread only; nothing here needs a display.

#include <functional>
#include <string>
#include <vector>

class CFirmwareUpdateEngine;
class CLinkController;
class ILinkBackend;

class CUpdateLink {
public:
    CUpdateLink(CLinkController &controller, ILinkBackend &backend, CFirmwareUpdateEngine &engine);

    // Paths of the present devices with the product's identity.
    std::vector<std::string> FindDevices();
    bool NetReachable();
    void CloseLink();
    bool OpenUsbForUpdate(const std::string &path);
    bool OpenNetworkForUpdate();
    // One attempt of the polling thread (polling 1) or the last one (0).
    bool StartUpdateLink(int polling);
    void AbortUpdateLink();
    // Quit while polling: the update's link never opened, so no link mode stays behind.
    void ForgetUpdateLinkMode();

    // Loads g_strFirmwareFile into the update engine; false (after a message) when it is wrong.
    bool LoadFirmwareFile();
    // Blocks of the loaded images: the progress bar's range.
    int BlockTotal() const;

    // The open dialog's tip; an empty function while the dialog is closed.
    void SetTipTarget(std::function<void(const std::string &)> tip) { m_tip = std::move(tip); }
    void SetTip(const std::string &text);
    bool DialogOpen() const { return static_cast<bool>(m_tip); }

private:
    CLinkController &m_controller;
    ILinkBackend &m_backend;
    CFirmwareUpdateEngine &m_engine;
    std::function<void(const std::string &)> m_tip;
};
