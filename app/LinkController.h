#pragma once
// When a link opens and closes and which transport it uses: automatically at start, when a
// matching USB device arrives and when the device's network address starts to answer; on the
// Connect button with a choice of devices; for the firmware update. Closes the link on request,
// on link errors, on removal and when the device asks for new firmware, and shows the state.
// All of it runs on the UI thread; the main view forwards its messages and commands here.

#include "app/DeviceSync.h"

#include <string>
#include <utility>
#include <vector>

class CKTVCommand;
class IMessageTarget;

// The link layer beneath the controller: the worker, the USB device, the network link, the serial
// port. The program's implementation is CLinkBackend; tests may substitute their own.
class ILinkBackend {
public:
    virtual ~ILinkBackend() = default;
    // Starts the worker (update traffic while g_bUpdating, else normal traffic).
    virtual void StartCommThread() = 0;
    // Stops the worker and waits for its current step. Full: also resets its events and flags.
    virtual void StopCommThread(bool full) = 0;

    // Paths of the present devices with the product's identity (also into g_arrHidPaths).
    virtual std::vector<std::string> EnumerateHidDevices() = 0;
    virtual bool IsUsbPathFree(const std::string &path) = 0;
    // Opens the device at path and marks it in use; false when it cannot be opened.
    virtual bool OpenUsbDevice(const std::string &path) = 0;
    virtual void CloseUsbDevice() = 0;
    virtual void UnmarkUsbPath() = 0;
    // Why the last USB opening failed when the reason is worth telling (no permission), else "".
    virtual std::string UsbOpenProblem() { return {}; }

    virtual bool IsOnDeviceSubnet() = 0;
    virtual bool NetReachable() = 0;
    virtual void ClearNetReachable() = 0;
    virtual bool NetConnect() = 0;
    virtual void NetClose() = 0;
    virtual void StartPing() = 0;
    virtual void StopPing(bool keepThread) = 0;

    virtual bool OpenSerial(const std::string &port) = 0;
    virtual bool CloseSerial() = 0;
};

// What the controller shows.
class ILinkView {
public:
    virtual ~ILinkView() = default;
    virtual void ShowConnectedState(bool connected) = 0;
    virtual void HideTransferPopup() = 0;
    // Pops up (command id, label) items below the Connect button; the chosen command, or 0.
    virtual int PopupMenu(const std::vector<std::pair<int, std::string>> &items) = 0;
    // The firmware-update dialog's tip, while the dialog is open.
    virtual void SetUpdateTip(const std::string &text) = 0;
    virtual bool UpdateDialogOpen() = 0;
    // Resets the view's hidden progress bar and empties its hidden preset-name edit and button.
    virtual void ResetHiddenControls() {}
};

// Command ids of the connection menu and the device popups.
constexpr int ID_LINK_USB = 732;
constexpr int ID_LINK_NETWORK = 733;
constexpr int ID_LINK_USB_FIRST = 6600;
constexpr int ID_LINK_USB_LAST = 6700;

// Messages the view posts to itself.
constexpr unsigned WM_DEV_EFFECT_RECEIVED = 0x400 + 119;
constexpr unsigned WM_LINK_RETRY = 0x400 + 153;
constexpr unsigned WM_LINK_REOPEN_USB = 0x400 + 155;
constexpr unsigned WM_VIEW_AUTOCONNECT = 0x400 + 156;
constexpr unsigned WM_LINK_NET_OPENED = 0x400 + 157;
constexpr unsigned WM_LINK_UPDATE_FAILED = 0x400 + 158;
constexpr unsigned WM_LINK_NET_DATA = 0x400 + 600;

class CLinkController final : public ILinkStatus {
public:
    CLinkController(CKTVCommand &command, LinkSession &session, ILinkBackend &backend, ILinkView &view,
                    CDeviceSync &sync, IMessageTarget *self);

    // ---- opening ----
    void OnAutoConnect();
    bool OpenUsbLink();
    bool OpenUsbByPath(const std::string &path);
    bool OpenNetworkLink();
    void OnUsbMenuItem();
    void OnNetworkMenuItem();
    void OnChooseUsbDevice(int id);
    void OnLinkOpenNetwork();
    void OnLinkNetOpened();
    void OnConnectButton();
    void ReconnectLink() override;
    bool OpenSerialLink();

    // ---- closing ----
    void CloseUsbLink();
    void CloseNetworkLink();
    bool CloseSerialLink();
    void CloseLink();
    void OnLinkError();
    void StopLinkOnRemoval();
    void AbortUpdateLink();
    void OnDeviceNeedsFirmware();
    void OnUpdateFailed();
    void OnLinkRetry();
    void Shutdown();

    // ---- messages ----
    void ShowLinkFailure() override;
    void ShowUsbRemoved();
    void OnQueueDone();
    // A HID interface arrived or left (path of its device node).
    void OnDeviceChange(bool arrival, const std::string &path);

    // ---- firmware update ----
    bool OpenUsbForUpdate(const std::string &path);
    bool OpenNetworkForUpdate();
    bool StartUpdateLink(int polling);
    // The update's link was never opened (last poll failed, or Quit while polling): no link mode
    // stays behind, or Connect, arrivals and the network link would do nothing.
    void ForgetUpdateLinkMode();
    void OnUpdateDone(int stage);

    bool Connected() const override { return m_session.connected != 0; }
    int ReconnectCount() const { return m_reconnects; }

private:
    void OpeningSequence(bool usb);
    void FullStop();
    void CloseByMode();
    void ResetClosedState();
    void UpdateFailedMessage(bool bang);

    CKTVCommand &m_command;
    LinkSession &m_session;
    ILinkBackend &m_backend;
    ILinkView &m_view;
    CDeviceSync &m_sync;
    IMessageTarget *m_self;
    int m_reconnects = 0;
};
