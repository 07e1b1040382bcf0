#include "app/ViewDispatch.h"

#include "app/DeviceSync.h"
#include "app/LinkController.h"
#include "link/LinkMessages.h"

bool DispatchLinkMessage(CLinkController &ctrl, CDeviceSync &sync, unsigned msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_DEV_VERSION_RECEIVED: sync.OnDeviceVersion(); return true;
    case WM_DEV_PRESET_RECEIVED: sync.OnPresetReceived(static_cast<int>(wParam)); return true;
    case WM_DEV_CONFIG_RECEIVED: sync.OnDeviceConfig(); return true;
    case WM_DEV_STATUS_RECEIVED: sync.OnStatusReceived(wParam, static_cast<int>(lParam)); return true;
    case WM_LINK_QUEUE_DONE: ctrl.OnQueueDone(); return true;
    case WM_LINK_UPDATE_DONE: ctrl.OnUpdateDone(static_cast<int>(lParam)); return true;
    case WM_LINK_ERROR: ctrl.OnLinkError(); return true;
    case WM_DEV_NEEDS_FIRMWARE: ctrl.OnDeviceNeedsFirmware(); return true;
    case WM_LINK_WIFI_RESET_DONE: sync.OnWifiResetDone(static_cast<int>(lParam)); return true;
    case WM_LINK_OPEN_NETWORK: ctrl.OnLinkOpenNetwork(); return true;
    case WM_LINK_NET_OPENED: ctrl.OnLinkNetOpened(); return true;
    case WM_VIEW_AUTOCONNECT: ctrl.OnAutoConnect(); return true;
    case WM_LINK_UPDATE_FAILED: ctrl.OnUpdateFailed(); return true;
    case WM_LINK_RETRY: ctrl.OnLinkRetry(); return true;
    case WM_DEV_EFFECT_RECEIVED:
    case WM_LINK_REOPEN_USB:
    case WM_LINK_NET_DATA:
    case WM_USER + 120:
        return true;  // nothing posts these; kept so that a stray one is not taken for another's
    default:
        return false;
    }
}
