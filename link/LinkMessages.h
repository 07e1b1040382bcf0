#pragma once
// Window messages that the link (reply parser, worker steps, reachability check) posts to the main
// view, with their numbers. Posted messages carry values only (platform/ViewServices.h).

#include "platform/WinCompat.h"

#include <cstdint>

// wParam: the preset byte of the reply. After the last output block of a block read.
constexpr unsigned WM_DEV_PRESET_RECEIVED = WM_USER + 110;
// wParam 6. After the last output block of machine preset 6 in a stored-preset read.
constexpr unsigned WM_DEV_ALLPRESETS_RECEIVED = WM_USER + 111;
// After a speaker-type or mode-table reply.
constexpr unsigned WM_DEV_CONFIG_RECEIVED = WM_USER + 112;
// After a status reply (levels and input mode in g_MeterLevels). lParam: payload length.
// wParam: what the reply said and when it was asked for (StatusNotice below).
constexpr unsigned WM_DEV_STATUS_RECEIVED = WM_USER + 113;

// What a status notice carries: the input mode the reply reports (payload byte 14; kNoMode for a
// shorter reply) and a stamp, the number of input-block writes (SYS_INPUT) that had left the send
// queue when the reply was parsed. The link answers one request at a time, so that is also the
// number answered before the status request went out: a stamp below CKTVCommand::InputWritesQueued()
// means the reply was asked for before the device had taken the program's latest input write.
// Stamps count modulo 2^24 (compare with StatusStampBefore).
struct StatusNotice {
    static constexpr int kNoMode = 0xFF;
    std::uint32_t stamp = 0;
    int mode = kNoMode;

    constexpr WPARAM Pack() const { return WPARAM(std::uint32_t(mode) & 0xFFu) | (WPARAM(stamp & 0xFFFFFFu) << 8); }
    static constexpr StatusNotice Unpack(WPARAM w)
    {
        return StatusNotice{std::uint32_t(w >> 8) & 0xFFFFFFu, int(w & 0xFFu)};
    }
};

// True when stamp a comes before count b (both modulo 2^24).
constexpr bool StatusStampBefore(std::uint32_t a, std::uint32_t b)
{
    return std::int32_t(((a - b) & 0xFFFFFFu) << 8) < 0;
}
// lParam 1: the answered item was the last of its batch; 0: notify-done or no-progress item.
constexpr unsigned WM_LINK_QUEUE_DONE = WM_USER + 150;
// lParam 0x39. The firmware update finished.
constexpr unsigned WM_LINK_UPDATE_DONE = WM_USER + 151;
// lParam 0: no reply, time-out or attempts used up; 2: the network connection stayed silent or
// closed while off the device's subnet.
constexpr unsigned WM_LINK_ERROR = WM_USER + 154;
// The device sent an empty data reply: it needs new firmware.
constexpr unsigned WM_DEV_NEEDS_FIRMWARE = WM_USER + 160;
// The version reply is in g_DeviceVersion.
constexpr unsigned WM_DEV_VERSION_RECEIVED = WM_USER + 161;
// The change scheduler renamed the current preset "Custom" (no parameters).
constexpr unsigned WM_VIEW_PRESET_CUSTOM = WM_USER + 162;
// lParam 1: the Wi-Fi module reset was accepted, 0: refused.
constexpr unsigned WM_LINK_WIFI_RESET_DONE = WM_USER + 300;
// The device's network address started to answer; the view opens the network link.
constexpr unsigned WM_LINK_OPEN_NETWORK = WM_USER + 500;

// Update stages: the system sub-identifier of update frames and the command of their queue items.
constexpr int HEXApply = 0x36;
constexpr int HEXStart = 0x37;
constexpr int HEXData = 0x38;
constexpr int HEXEnd = 0x39;
constexpr int IAP_DSP_REQUEST_INFO = 0x3A;
constexpr int IAP_DSP_DATA = 0x3B;
constexpr int IAP_DSP_END_INF = 0x3C;
constexpr int IAP_ENTER = 0xFF;
