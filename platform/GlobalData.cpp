#include "platform/GlobalData.h"

#include <chrono>
#include <cstdio>

std::recursive_mutex g_csLink;
std::atomic<int> g_nLinkMode{LINK_NONE};
std::atomic<int> g_bTransferring{0};
std::atomic<CKTVCommand *> g_pCommand{nullptr};
std::atomic<IMessageTarget *> g_pNotifyView{nullptr};
std::atomic<CDisplayDlg *> g_pXferDlg{nullptr};
std::atomic<CGradientProgressCtrl *> g_pXferProgress{nullptr};
std::atomic<CProgramDlg *> g_pProgramDlg{nullptr};

void PostToView(unsigned msg, WPARAM wParam, LPARAM lParam)
{
    if (IMessageTarget *view = g_pNotifyView.load())
        view->PostMessage(msg, wParam, lParam);
}

const std::string g_strProductName = "ZK-470";
const std::string g_strPromptCn = Tr(StrId::Prompt, true);
const std::string g_strPromptEn = Tr(StrId::Prompt, false);
const std::string g_strWarningCn = Tr(StrId::Warning, true);
const std::string g_strWarningEn = Tr(StrId::Warning, false);
const std::string g_strConnectedCn = Tr(StrId::Connected, true);
const std::string g_strConnectedEn = Tr(StrId::Connected, false);
const std::string g_strNotConnectedCn = Tr(StrId::NotConnected, true);
const std::string g_strNotConnectedEn = Tr(StrId::NotConnected, false);
const std::string g_strUsbFailCn = Tr(StrId::UsbFail, true);
const std::string g_strUsbFailEn = Tr(StrId::UsbFail, false);
const std::string g_strWifiFailCn = Tr(StrId::WifiFail, true);
const std::string g_strWifiFailEn = Tr(StrId::WifiFail, false);
const std::string g_strAskRestoreEqCn = Tr(StrId::AskRestoreEq, true);
const std::string g_strAskRestoreEqEn = Tr(StrId::AskRestoreEq, false);
const std::string g_strAskBypassEqCn = Tr(StrId::AskBypassEq, true);
const std::string g_strAskBypassEqEn = Tr(StrId::AskBypassEq, false);
const std::string g_strAskResetEqCn = Tr(StrId::AskResetEq, true);
const std::string g_strAskResetEqEn = Tr(StrId::AskResetEq, false);
const std::string g_strAskPeqToGeqCn = Tr(StrId::AskPeqToGeq, true);
const std::string g_strAskPeqToGeqEn = Tr(StrId::AskPeqToGeq, false);
const std::string g_strAskGeqToPeqCn = Tr(StrId::AskGeqToPeq, true);
const std::string g_strAskGeqToPeqEn = Tr(StrId::AskGeqToPeq, false);
const std::string g_strWifiResetOkCn = Tr(StrId::WifiResetOk, true);
const std::string g_strWifiResetOkEn = Tr(StrId::WifiResetOk, false);
const std::string g_strWifiResetFailCn = Tr(StrId::WifiResetFail, true);
const std::string g_strWifiResetFailEn = Tr(StrId::WifiResetFail, false);
const std::string g_strSoftwareVersionCn = Tr(StrId::SoftwareVersion, true);
const std::string g_strSoftwareVersionEn = Tr(StrId::SoftwareVersion, false);
const std::string g_strPresetExt = "qxds";
const std::string g_strPresetFilter = ".qxds|*.qxds||";
const std::string g_strAllPresetsExt = "qxda";
const std::string g_strAllPresetsFilter = ".qxda|*.qxda||";
const std::string g_strMapExt = "lygc";
const std::string g_strMapFilter = ".lygc|*.lygc||";
const std::string g_strBinExt = "bin";
const std::string g_strBinFilter = ".bin|*.bin||";
const std::string g_strWifiLabel = "WIFI";
const std::string g_strDefaultWifiIp = "10.10.100.254";

SharedString g_strLanguage;
SharedString g_strFirmwareFile;
SharedString g_strAllPresetsPath;
SharedString g_strDevicePath;
SharedString g_strWifiIp{g_strDefaultWifiIp};
SharedString g_strComPort{"NULL"};
std::atomic<int> g_nWifiPort{kDefaultWifiPort};

SharedStringList g_arrHidPaths;
std::vector<std::string> g_arrUpdatePaths;

std::atomic<std::int64_t> g_liPerfFreq{1'000'000'000};
std::atomic<int> g_nViewMode{1};
std::atomic<int> g_nLineSet{1};
std::string g_szStartFolder;
std::string g_szHelpFileCn;
std::string g_szHelpFileEn;

std::array<std::atomic<std::uint8_t>, kSerialFlagsSize> g_SerialFlags{};

void ResetSerialRxState()
{
    for (auto &b : g_SerialFlags)
        b.store(0);
}

std::int64_t QueryPerfCounter()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string FormatDelayText(std::int64_t counterDiff)
{
    std::int64_t freq = g_liPerfFreq.load();
    double seconds = freq > 0 ? static_cast<double>(counterDiff) / static_cast<double>(freq) : 0.0;
    char buf[96];
    std::snprintf(buf, sizeof buf, "延时(秒)=%f ", seconds);
    return buf;
}

std::string FormatHexPadded(int value, int radix)
{
    if (radix < 2 || radix > 36)
        return {};
    static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    bool negative = radix == 10 && value < 0;
    unsigned long long v = radix == 10 ? (value < 0 ? 0ULL - static_cast<long long>(value) : value)
                                       : static_cast<unsigned int>(value);
    std::string text;
    do {
        text.insert(text.begin(), kDigits[v % static_cast<unsigned>(radix)]);
        v /= static_cast<unsigned>(radix);
    } while (v != 0);
    if (negative)
        text.insert(text.begin(), '-');
    if (radix == 16 && text.size() < 4)
        text.insert(0, 4 - text.size(), '0');
    return text;
}
