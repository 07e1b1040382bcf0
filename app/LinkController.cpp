#include "app/LinkController.h"

#include "link/FirmwareUpdate.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "link/UpData_Thread.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"
#include "res/Strings.h"
#include "platform/ViewServices.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <strings.h>
#include <thread>

CLinkController::CLinkController(CKTVCommand &command, LinkSession &session, ILinkBackend &backend, ILinkView &view,
                                 CDeviceSync &sync, IMessageTarget *self)
    : m_command(command), m_session(session), m_backend(backend), m_view(view), m_sync(sync), m_self(self)
{
}

// ---- opening -----------------------------------------------------------------------------------

void CLinkController::OpeningSequence(bool usb)
{
    {
        std::lock_guard lock(g_csLink);
        m_command.RemoveAll();
    }
    m_sync.ResetRecordChanges();
    m_session.batchIndex = 0;
    m_session.connected = 1;
    {
        std::lock_guard lock(g_csLink);
        if (!usb)
            g_bNetOpen = 1;
        m_sync.QueueHandshake(0);
    }
    if (usb) {
        m_view.ShowConnectedState(true);
        m_backend.StartCommThread();
    } else {
        m_backend.StartCommThread();
        m_view.ShowConnectedState(true);
    }
}

bool CLinkController::OpenUsbLink()
{
    for (const std::string &path : m_backend.EnumerateHidDevices()) {
        if (!m_backend.IsUsbPathFree(path))
            continue;
        g_strDevicePath = path;
        if (m_backend.OpenUsbDevice(path))
            return true;
    }
    return false;
}

bool CLinkController::OpenUsbByPath(const std::string &path)
{
    if (path.empty() || !m_backend.IsUsbPathFree(path))
        return false;
    g_strDevicePath = path;
    if (!m_backend.OpenUsbDevice(path))
        return false;
    m_reconnects = 0;
    g_nLinkMode = LINK_USB;
    OpeningSequence(true);
    return true;
}

void CLinkController::OnAutoConnect()
{
    if (g_nLinkMode.load() == LINK_NONE && !Connected() && OpenUsbLink()) {
        m_reconnects = 0;
        g_nLinkMode = LINK_USB;
        OpeningSequence(true);
    }
    m_backend.StartPing();
}

bool CLinkController::OpenNetworkLink()
{
    if (g_nLinkMode.load() != LINK_NONE)
        return false;
    g_nLinkMode = LINK_TCP;
    if (m_backend.IsOnDeviceSubnet() && m_backend.NetConnect()) {
        m_reconnects = 0;
        OpeningSequence(false);
        return true;
    }
    ShowMessage(Tr(StrId::WifiFail), MB_OK, 2000);
    g_nLinkMode = LINK_NONE;
    return false;
}

void CLinkController::OnUsbMenuItem()
{
    if (Connected())
        return;
    g_nLinkMode = LINK_USB;
    if (OpenUsbLink()) {
        m_reconnects = 0;
        OpeningSequence(true);
        return;
    }
    // No link opened: leave no link mode behind, or the network link would stay blocked.
    g_nLinkMode = LINK_NONE;
    const std::string problem = m_backend.UsbOpenProblem();
    ShowMessage(problem.empty() ? Tr(StrId::UsbFail) : problem, MB_OK, 2000);
}

void CLinkController::OnNetworkMenuItem()
{
    OpenNetworkLink();
}

void CLinkController::OnChooseUsbDevice(int id)
{
    const int i = id - ID_LINK_USB_FIRST;
    const std::string path =
        (i >= 0 && i < static_cast<int>(g_arrUpdatePaths.size())) ? g_arrUpdatePaths[i] : std::string();
    if (!OpenUsbByPath(path)) {
        const std::string problem = m_backend.UsbOpenProblem();
        ShowMessage(problem.empty() ? Tr(StrId::UsbFail) : problem, MB_OK, 2000);
    }
}

void CLinkController::OnLinkOpenNetwork()
{
    if (OpenNetworkLink() && m_self)
        m_self->PostMessage(WM_LINK_NET_OPENED);
}

void CLinkController::OnLinkNetOpened()
{
    m_backend.StopPing(true);
}

void CLinkController::OnConnectButton()
{
    g_bHelloPhase = 0;
    if (Connected()) {
        FullStop();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        CloseByMode();
        return;
    }
    g_arrUpdatePaths.clear();
    for (const std::string &path : m_backend.EnumerateHidDevices()) {
        if (m_backend.IsUsbPathFree(path))
            g_arrUpdatePaths.push_back(path);
    }
    const int n = static_cast<int>(g_arrUpdatePaths.size());
    const bool reachable = m_backend.NetReachable();
    std::vector<std::pair<int, std::string>> items;
    if (n == 1 && reachable) {
        items = {{ID_LINK_USB, "USB"}, {ID_LINK_NETWORK, g_strWifiLabel}};
    } else if (n >= 1 && (n > 1 || !reachable)) {
        if (n == 1) {
            if (!OpenUsbByPath(g_arrUpdatePaths[0])) {
                const std::string problem = m_backend.UsbOpenProblem();
                ShowMessage(problem.empty() ? Tr(StrId::UsbFail) : problem, MB_OK, 2000);
            }
            return;
        }
        for (int i = 0; i < n && ID_LINK_USB_FIRST + i <= ID_LINK_USB_LAST; ++i)
            items.emplace_back(ID_LINK_USB_FIRST + i, "USB" + std::to_string(i + 1));
        if (reachable)
            items.emplace_back(ID_LINK_NETWORK, g_strWifiIp.Get());
    } else {
        if (reachable)
            OpenNetworkLink();
        else {
            // Say why a present device could not be offered, where that is known.
            const std::string problem = m_backend.UsbOpenProblem();
            ShowMessage(problem.empty() ? Tr(StrId::NoConnection) : problem, MB_OK, 2000);
        }
        return;
    }
    const int chosen = m_view.PopupMenu(items);
    if (chosen == ID_LINK_USB)
        OnUsbMenuItem();
    else if (chosen == ID_LINK_NETWORK)
        OnNetworkMenuItem();
    else if (chosen >= ID_LINK_USB_FIRST && chosen <= ID_LINK_USB_LAST)
        OnChooseUsbDevice(chosen);
}

void CLinkController::ReconnectLink()
{
    switch (g_nLinkMode.load()) {
    case LINK_USB:
        if (!OpenUsbLink()) {
            ShowLinkFailure();
            return;
        }
        m_session.batchIndex = 0;
        m_session.connected = 1;
        {
            std::lock_guard lock(g_csLink);
            m_sync.QueueHandshake(0);
        }
        m_backend.StartCommThread();
        break;
    case LINK_TCP:
        if (OpenNetworkLink())
            m_backend.StartCommThread();
        break;
    default:
        break;
    }
}

bool CLinkController::OpenSerialLink()
{
    if (!m_backend.OpenSerial(g_strComPort.Get()))
        return false;
    m_session.connected = 1;
    return true;
}

// ---- closing -----------------------------------------------------------------------------------

void CLinkController::FullStop()
{
    m_backend.StopCommThread(true);
    g_bUsbOpen = 0;
    m_session.connected = 0;
    m_backend.StartPing();
}

void CLinkController::ResetClosedState()
{
    m_sync.ResetRecordChanges();
    m_session.connected = 0;
    g_bTransferring = 0;
    g_bDeviceOnline = 0;
}

void CLinkController::CloseUsbLink()
{
    m_backend.CloseUsbDevice();
    ResetClosedState();
    m_view.ResetHiddenControls();
    m_view.HideTransferPopup();
    m_view.ShowConnectedState(false);
    m_backend.UnmarkUsbPath();
    g_nLinkMode = LINK_NONE;
    ResetUsbLinkFlags();
    g_bUsbOpen = 0;
}

void CLinkController::CloseNetworkLink()
{
    m_backend.NetClose();
    ResetClosedState();
    m_view.ResetHiddenControls();
    m_view.ShowConnectedState(false);
    m_view.HideTransferPopup();
    g_nLinkMode = LINK_NONE;
    ResetNetLinkFlags();
    g_bNetOpen = 0;
}

bool CLinkController::CloseSerialLink()
{
    if (!m_backend.CloseSerial())
        return false;
    ResetClosedState();
    m_view.ShowConnectedState(false);
    g_nLinkMode = LINK_NONE;
    return true;
}

void CLinkController::CloseByMode()
{
    switch (g_nLinkMode.load()) {
    case LINK_USB: CloseUsbLink(); break;
    case LINK_TCP: CloseNetworkLink(); break;
    case LINK_SERIAL: CloseSerialLink(); break;
    default: break;
    }
}

void CLinkController::CloseLink()
{
    if (!Connected())
        return;
    FullStop();
    CloseByMode();
}

void CLinkController::UpdateFailedMessage(bool bang)
{
    const std::string text = Tr(bang ? StrId::UpdateFailedBang : StrId::UpdateFailed);
    if (m_view.UpdateDialogOpen())
        m_view.SetUpdateTip(Tr(StrId::UpdateFailed));
    ShowMessage(text, MB_OK, 2001);
}

void CLinkController::OnLinkError()
{
    if (!Connected())
        return;
    FullStop();
    if (g_bUpdating.load()) {
        g_bUpdating = 0;
        UpdateFailedMessage(false);
    }
    g_bUpdating = 0;
    ShowLinkFailure();
    CloseByMode();
    std::lock_guard lock(g_csLink);
    m_command.RemoveAll();
}

void CLinkController::StopLinkOnRemoval()
{
    if (Connected()) {
        FullStop();
        CloseByMode();
    }
    if (g_bUpdating.load())
        UpdateFailedMessage(false);
}

void CLinkController::AbortUpdateLink()
{
    if (Connected()) {
        FullStop();
        CloseByMode();
    }
    g_bUpdating = 0;
    ShowMessage(Tr(StrId::UpdateFailedBang), MB_OK, 2001);
}

void CLinkController::OnDeviceNeedsFirmware()
{
    if (Connected()) {
        FullStop();
        CloseByMode();
    }
    ShowMessage(Tr(StrId::DeviceNeedsUpdate), MB_OK, 2001);
}

void CLinkController::OnUpdateFailed()
{
    ShowLinkFailure();
    ShowMessage(Tr(StrId::UpdateFailed), MB_OK, 2001);
}

void CLinkController::OnLinkRetry()
{
    ++m_reconnects;
    if (m_reconnects < 3 && g_nLinkMode.load() == LINK_TCP) {
        m_backend.NetClose();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (m_backend.NetConnect()) {
            m_view.HideTransferPopup();
            std::lock_guard lock(g_csLink);
            m_command.RemoveAll();
            m_backend.StartCommThread();
            return;
        }
    }
    FullStop();
    CloseNetworkLink();
    m_reconnects = 0;
    ShowLinkFailure();
}

void CLinkController::Shutdown()
{
    m_backend.StopCommThread(false);
    m_backend.UnmarkUsbPath();
    m_backend.StopPing(false);
}

// ---- messages ----------------------------------------------------------------------------------

void CLinkController::ShowLinkFailure()
{
    switch (g_nLinkMode.load()) {
    case LINK_USB: {
        const std::string problem = m_backend.UsbOpenProblem();
        ShowMessage(problem.empty() ? Tr(StrId::UsbFail) : problem, MB_OK, 2000);
        break;
    }
    case LINK_TCP:
        ShowMessage(Tr(StrId::WifiFail), MB_OK, 2000);
        break;
    default:
        break;
    }
}

void CLinkController::ShowUsbRemoved()
{
    if (!g_bUpdating.load())
        ShowMessage(Tr(StrId::UsbFail), MB_OK, 2000);
}

void CLinkController::OnQueueDone()
{
    g_bTransferring = 0;
}

void CLinkController::OnDeviceChange(bool arrival, const std::string &path)
{
    if (arrival) {
        if (g_nLinkMode.load() != LINK_NONE || Connected() || g_bUpdating.load() || g_bUpdatePolling.load())
            return;
        // Only a device with the product's identity is opened: frames are not sent to other HID devices.
        const auto paths = m_backend.EnumerateHidDevices();
        if (std::find(paths.begin(), paths.end(), path) != paths.end())
            OpenUsbByPath(path);
        return;
    }
    const std::string devicePath = g_strDevicePath.Get();
    if (g_nLinkMode.load() == LINK_USB && !devicePath.empty() && strcasecmp(path.c_str(), devicePath.c_str()) == 0) {
        if (!g_bUsbOpen.load() || !Connected())
            return;
        const int stage = g_nUpdateStage.load();
        if (g_bUpdating.load() && stage == HEXApply) {
            g_bUsbOpen = 0;  // the device restarts into its loader and comes back
            return;
        }
        if (g_bUpdating.load() && stage == IAP_ENTER)
            return;
        g_bUsbOpen = 0;
        StopLinkOnRemoval();
        ShowUsbRemoved();
        m_backend.UnmarkUsbPath();
        m_backend.EnumerateHidDevices();
        g_bUpdating = 0;
        g_strDevicePath = std::string();
        return;
    }
    m_backend.EnumerateHidDevices();
}

// ---- firmware update ---------------------------------------------------------------------------

bool CLinkController::OpenUsbForUpdate(const std::string &path)
{
    if (path.empty() || !m_backend.IsUsbPathFree(path))
        return false;
    g_strDevicePath = path;
    if (!m_backend.OpenUsbDevice(path))
        return false;
    {
        std::lock_guard lock(g_csLink);
        m_command.RemoveAll();
    }
    g_bUpdating = 1;
    m_session.connected = 1;
    m_backend.StartCommThread();
    return true;
}

bool CLinkController::OpenNetworkForUpdate()
{
    if (!m_backend.NetReachable() || !m_backend.NetConnect())
        return false;
    {
        std::lock_guard lock(g_csLink);
        m_command.RemoveAll();
    }
    g_bUpdating = 1;
    g_bNetOpen = 1;
    m_session.connected = 1;
    m_backend.StartCommThread();
    return true;
}

bool CLinkController::StartUpdateLink(int polling)
{
    switch (g_nLinkMode.load()) {
    case LINK_USB:
        if (OpenUsbLink()) {
            {
                std::lock_guard lock(g_csLink);
                m_command.RemoveAll();
            }
            g_bUpdating = 1;
            m_session.connected = 1;
            m_backend.StartCommThread();
            return true;
        }
        if (polling) {
            if (m_view.UpdateDialogOpen())
                m_view.SetUpdateTip(Tr(StrId::TipUsbConnected));
            m_backend.UnmarkUsbPath();
            return false;
        }
        g_bUpdating = 0;
        ShowLinkFailure();
        ForgetUpdateLinkMode();
        {
            std::lock_guard lock(g_csLink);
            m_command.RemoveAll();
        }
        if (m_view.UpdateDialogOpen())
            ShowMessage(Tr(StrId::UpdateFailedBang), MB_OK, 2001);
        return false;
    case LINK_TCP:
        if (m_backend.NetReachable() && m_backend.NetConnect()) {
            {
                std::lock_guard lock(g_csLink);
                m_command.RemoveAll();
            }
            g_bUpdating = 1;
            g_bNetOpen = 1;
            m_session.connected = 1;
            m_backend.StartCommThread();
            return true;
        }
        if (polling) {
            if (m_view.UpdateDialogOpen())
                m_view.SetUpdateTip(Tr(StrId::TipNetConnected));
            return false;
        }
        g_bUpdating = 0;
        ForgetUpdateLinkMode();
        {
            std::lock_guard lock(g_csLink);
            m_command.RemoveAll();
        }
        if (m_view.UpdateDialogOpen())
            m_view.SetUpdateTip(Tr(StrId::UpdateFailed));
        if (m_self)
            m_self->PostMessage(WM_LINK_UPDATE_FAILED);
        return false;
    case LINK_SERIAL:
        if (polling) {
            g_bUpdating = 1;
            m_backend.StartCommThread();
            return true;
        }
        if (OpenSerialLink()) {
            g_bUpdating = 1;
            m_backend.StartCommThread();
            return true;
        }
        g_bUpdating = 0;
        ShowLinkFailure();
        ForgetUpdateLinkMode();
        {
            std::lock_guard lock(g_csLink);
            m_command.RemoveAll();
        }
        return false;
    default:
        return false;
    }
}

void CLinkController::ForgetUpdateLinkMode()
{
    if (!Connected())
        g_nLinkMode = LINK_NONE;
}

void CLinkController::OnUpdateDone(int stage)
{
    if (stage != HEXEnd)
        return;
    FullStop();
    g_bUpdating = 0;
    CloseByMode();
    ShowMessage(Tr(StrId::UpdateDone), MB_OK, 2000);
}
