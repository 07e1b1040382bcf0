#include "platform/GlobalData.h"

#include <chrono>
#include <cstdio>

std::atomic<int> g_bChinese{0};
std::recursive_mutex g_csLink;
std::atomic<int> g_nLinkMode{LINK_NONE};
std::atomic<int> g_bTransferring{0};
std::atomic<CKTVCommand *> g_pCommand{nullptr};
std::atomic<IMessageTarget *> g_pNotifyView{nullptr};
std::atomic<IViewServices *> g_pMainView{nullptr};
std::atomic<CDisplayDlg *> g_pXferDlg{nullptr};
std::atomic<CGradientProgressCtrl *> g_pXferProgress{nullptr};
std::atomic<CProgramDlg *> g_pProgramDlg{nullptr};

void PostToView(unsigned msg, WPARAM wParam, LPARAM lParam)
{
    if (IMessageTarget *view = g_pNotifyView.load())
        view->PostMessage(msg, wParam, lParam);
}

const std::string g_strProductName = "ZK-470";
const std::string g_strPromptCn = "提示";
const std::string g_strPromptEn = "Prompting";
const std::string g_strWarningCn = "警告";
const std::string g_strWarningEn = "Warning";
const std::string g_strConnectedCn = "已连接设备";
const std::string g_strConnectedEn = "Connected device";
const std::string g_strNotConnectedCn = "未连接设备";
const std::string g_strNotConnectedEn = "Not connected devices";
const std::string g_strUsbFailCn = "连接失败  请检查USB线缆是否插好或\n该设备已经连接上了另一软件!";
const std::string g_strUsbFailEn = "Connection failure!";
const std::string g_strWifiFailCn = "连接失败  请检查WIFI是否已连接到设备或\n该设备已经连接上了另一软件!";
const std::string g_strWifiFailEn = "Connection failure!";
const std::string g_strAskRestoreEqCn = "是否恢复所有均衡?";
const std::string g_strAskRestoreEqEn = "Whether Restore All EQ?";
const std::string g_strAskBypassEqCn = "是否直通所有均衡?";
const std::string g_strAskBypassEqEn = "Whether ByPass All EQ?";
const std::string g_strAskResetEqCn = "是否重置所有均衡?";
const std::string g_strAskResetEqEn = "Whether the reset All EQ?";
const std::string g_strAskPeqToGeqCn = "是否把参量均衡模式转换为图示均衡模式?";
const std::string g_strAskPeqToGeqEn = "Whether the PEQ Mode convert to GEQ Mode?";
const std::string g_strAskGeqToPeqCn = "是否把图示均衡模式转换为参量均衡模式?";
const std::string g_strAskGeqToPeqEn = "Whether the GEQ Mode convert to PEQ Mode?";
const std::string g_strWifiResetOkCn = "恢复WIFI出厂设置成功";
const std::string g_strWifiResetOkEn = "Load WIFI factory default success";
const std::string g_strWifiResetFailCn = "恢复WIFI出厂设置失败";
const std::string g_strWifiResetFailEn = "Load WIFI factory default failure";
const std::string g_strSoftwareVersionCn = "软件版本 DURE-RO1.01";
const std::string g_strSoftwareVersionEn = "Software version DURE-RO1.01";
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
