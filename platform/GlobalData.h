#pragma once
// Process-wide values shared by every window, the link and the model: the language flag, the
// link lock, the view pointers, the transfer state, the bilingual message strings and a few small
// helpers. Everything here is Qt-free; the fonts, brush and curve colours live in platform/qt.
//
// Threads: flags are std::atomic and pointers are atomic, so the link worker and the UI may read
// and write them without a lock. Strings that change at run time are SharedString (read and
// written under their own mutex). Constant strings never change.

#include "platform/ViewServices.h"
#include "res/Strings.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CKTVCommand;
class CDisplayDlg;
class CGradientProgressCtrl;
class CProgramDlg;

// A string that one thread may rewrite while another reads it.
class SharedString {
public:
    SharedString() = default;
    explicit SharedString(std::string value) : m_value(std::move(value)) {}
    SharedString(const SharedString &) = delete;
    SharedString &operator=(const SharedString &) = delete;

    std::string Get() const
    {
        std::lock_guard lock(m_mutex);
        return m_value;
    }
    void Set(std::string value)
    {
        std::lock_guard lock(m_mutex);
        m_value = std::move(value);
    }
    operator std::string() const { return Get(); }
    SharedString &operator=(std::string value)
    {
        Set(std::move(value));
        return *this;
    }
    bool empty() const
    {
        std::lock_guard lock(m_mutex);
        return m_value.empty();
    }

private:
    mutable std::mutex m_mutex;
    std::string m_value;
};

// A list of strings that one thread may rewrite while another reads it.
class SharedStringList {
public:
    std::vector<std::string> Get() const
    {
        std::lock_guard lock(m_mutex);
        return m_values;
    }
    void Set(std::vector<std::string> values)
    {
        std::lock_guard lock(m_mutex);
        m_values = std::move(values);
    }
    bool empty() const
    {
        std::lock_guard lock(m_mutex);
        return m_values.empty();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_values;
};

// ---- language ----------------------------------------------------------------------------
// g_bChinese and the texts by id are in res/Strings.h.

// Picks the text of the current language.
inline const std::string &Bilingual(const std::string &cn, const std::string &en)
{
    return g_bChinese.load() ? cn : en;
}

// ---- link ----------------------------------------------------------------------------------
// The link lock: orders the send queue and the worker's steps. Re-entrant. Never hold it across
// a message box, a page refresh or a sleep.
extern std::recursive_mutex g_csLink;

// Link modes of g_nLinkMode.
constexpr int LINK_NONE = 0;
constexpr int LINK_USB = 1;
constexpr int LINK_TCP = 2;
constexpr int LINK_SERIAL = 3;
extern std::atomic<int> g_nLinkMode;

// A batch transfer runs and the transfer popup is shown.
extern std::atomic<int> g_bTransferring;

// The view's command object (send queue, reply parser); null until the view exists.
extern std::atomic<CKTVCommand *> g_pCommand;

// ---- view ----------------------------------------------------------------------------------
// The main view as a message receiver: the link's posted notices go there. Null until the view's
// initial update. (The view as an object, g_pMainView, is the application's: app/VRX530View.h.)
extern std::atomic<IMessageTarget *> g_pNotifyView;

// Posts to g_pNotifyView; does nothing while no view is set. Safe from any thread.
void PostToView(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

// The transfer popup and its bar, and the machine-preset dialog while it is open. Owned by the UI;
// null while absent.
extern std::atomic<CDisplayDlg *> g_pXferDlg;
extern std::atomic<CGradientProgressCtrl *> g_pXferProgress;
extern std::atomic<CProgramDlg *> g_pProgramDlg;

// ---- constant texts (UTF-8) ---------------------------------------------------------------
// The bilingual message strings are the string table's rows under their own names.
extern const std::string g_strProductName;
extern const std::string g_strPromptCn, g_strPromptEn;
extern const std::string g_strWarningCn, g_strWarningEn;
extern const std::string g_strConnectedCn, g_strConnectedEn;
extern const std::string g_strNotConnectedCn, g_strNotConnectedEn;
extern const std::string g_strUsbFailCn, g_strUsbFailEn;
extern const std::string g_strWifiFailCn, g_strWifiFailEn;
extern const std::string g_strAskRestoreEqCn, g_strAskRestoreEqEn;
extern const std::string g_strAskBypassEqCn, g_strAskBypassEqEn;
extern const std::string g_strAskResetEqCn, g_strAskResetEqEn;
extern const std::string g_strAskPeqToGeqCn, g_strAskPeqToGeqEn;
extern const std::string g_strAskGeqToPeqCn, g_strAskGeqToPeqEn;
extern const std::string g_strWifiResetOkCn, g_strWifiResetOkEn;
extern const std::string g_strWifiResetFailCn, g_strWifiResetFailEn;
extern const std::string g_strSoftwareVersionCn, g_strSoftwareVersionEn;
extern const std::string g_strPresetExt, g_strPresetFilter;
extern const std::string g_strAllPresetsExt, g_strAllPresetsFilter;
extern const std::string g_strMapExt, g_strMapFilter;
extern const std::string g_strBinExt, g_strBinFilter;
extern const std::string g_strWifiLabel;

// ---- texts rewritten at run time ----------------------------------------------------------
extern SharedString g_strLanguage;        // "Chinese" or "English", the saved choice
extern SharedString g_strFirmwareFile;    // chosen firmware file
extern SharedString g_strAllPresetsPath;  // all-presets file being written
extern SharedString g_strDevicePath;      // path of the open USB device
extern SharedString g_strWifiIp;          // the device's network address
extern SharedString g_strComPort;         // serial port name, "NULL" when none

// Network defaults (the settings file may override them at start-up).
extern const std::string g_strDefaultWifiIp;  // "10.10.100.254"
constexpr int kDefaultWifiPort = 8899;
extern std::atomic<int> g_nWifiPort;

// USB device paths found by the last enumeration: written by the UI thread and, when the device
// restarts during a firmware update, by the worker.
extern SharedStringList g_arrHidPaths;
// The USB device paths the Connect button and the update dialog offer. UI thread.
extern std::vector<std::string> g_arrUpdatePaths;

// ---- other shared values ------------------------------------------------------------------
extern std::atomic<std::int64_t> g_liPerfFreq;  // ticks per second of the high-resolution counter
extern std::atomic<int> g_nViewMode;            // 1 or 2
extern std::atomic<int> g_nLineSet;             // curve display setting
extern std::string g_szStartFolder;             // UI thread
extern std::string g_szHelpFileCn;              // UI thread
extern std::string g_szHelpFileEn;              // UI thread

// Receive status marks of the reply assembler and the serial transport (header seen, frame
// complete, frame rejected, ...). Touched under g_csLink.
constexpr std::size_t kSerialFlagsSize = 14;
extern std::array<std::atomic<std::uint8_t>, kSerialFlagsSize> g_SerialFlags;
inline auto &g_SerialRxState = g_SerialFlags;
void ResetSerialRxState();

// The high-resolution counter (nanoseconds of a monotonic clock); g_liPerfFreq is its rate.
std::int64_t QueryPerfCounter();

// "延时(秒)=%f " of a counter difference divided by g_liPerfFreq.
std::string FormatDelayText(std::int64_t counterDiff);

// The value in the radix (2..36), upper case; radix 16 is padded to four digits. Negative values
// are shown as their 32-bit two's complement except in radix 10.
std::string FormatHexPadded(int value, int radix);
