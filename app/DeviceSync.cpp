#include "app/DeviceSync.h"

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/ImageFrames.h"
#include "model/ModeItemTable.h"
#include "model/SpeakerType.h"
#include "platform/GlobalData.h"
#include "res/Strings.h"
#include "platform/ViewServices.h"

#include <mutex>

const char *const kExpectedDeviceVersion = "MPQX-DV1.00";

namespace {

// Inputs of each input group (the status reply's input mode must name one of them).
constexpr int kInputsPerGroup[3] = {6, 5, 4};
constexpr int kOutputs = static_cast<int>(DeviceImage::kOutCount);

}  // namespace

CDeviceSync::CDeviceSync(CKTVCommand &command, LinkSession &session, ISyncHost &host)
    : m_command(command), m_session(session), m_host(host)
{
}

void CDeviceSync::Add(std::unique_ptr<CSendData> item, bool sendNow, bool bump)
{
    if (!item)
        return;
    if (sendNow) {
        item->SetSendNow(1);
        item->SetIndex(m_session.batchIndex);
        if (bump)
            ++m_session.batchIndex;
    }
    m_command.Add(std::move(item));
}

// ---- handshake and version ---------------------------------------------------------------------

void CDeviceSync::QueueHandshake(int flag)
{
    std::lock_guard lock(g_csLink);
    if (flag == 0) {
        g_bHelloPhase = 1;
        m_command.Add(BuildSystemRequestFrame(SYS_HELLO, 0));
        m_command.Add(BuildSystemRequestFrame(SYS_VERSION, 0));
        return;
    }
    for (int p = 1; p <= kMachinePresetCount; ++p)
        Add(BuildSystemRequestFrame(SYS_NAME, p), true, true);
    for (std::size_t i = 0; i + 1 < g_SysReadList.size(); ++i)
        Add(BuildSystemRequestFrame(g_SysReadList[i], 0), true, true);
}

std::string CDeviceSync::VersionMismatchText(const std::string &deviceVersion, bool chinese)
{
    const char d = deviceVersion.size() > 7 ? deviceVersion[7] : '0';
    const int deviceMajor = (d >= '0' && d <= '9') ? d - '0' : 0;
    const int softwareMajor = kExpectedDeviceVersion[7] - '0';
    const std::string sw(1, kExpectedDeviceVersion[7]);
    const std::string dv(1, d);
    if (deviceMajor < softwareMajor)
        return TrArgs(StrId::DeviceVersionLow, chinese, {sw});
    return TrArgs(StrId::SoftwareVersionLow, chinese, {dv});
}

void CDeviceSync::ShowVersionMismatch(const std::string &deviceVersion)
{
    const bool cn = g_bChinese.load() != 0;
    ShowMessage(VersionMismatchText(deviceVersion, cn), MB_OK, cn ? -4 : -5);
}

void CDeviceSync::OnDeviceVersion()
{
    const std::string version = GetDeviceVersion();
    const std::string expected = kExpectedDeviceVersion;
    const bool sameProduct = version.size() >= 7 && version.compare(0, 7, expected, 0, 7) == 0;
    if (!sameProduct || version.size() < 8 || version[7] != expected[7]) {
        m_host.Disconnect();
        {
            std::lock_guard lock(g_csLink);
            m_command.RemoveAll();
        }
        if (sameProduct)
            ShowVersionMismatch(version);
        SetDeviceVersion(std::string(kDeviceVersionSize - 1, ' '));
        return;
    }
    {
        std::lock_guard lock(g_csLink);
        QueueHandshake(1);
        ReadPresetFromDevice(0);
    }
    g_bDeviceOnline = 1;
}

// ---- presets -----------------------------------------------------------------------------------

void CDeviceSync::SetTransferProgressRange()
{
    m_host.SetTransferRange(m_session.batchIndex);
}

void CDeviceSync::SetTransferMute(int flag)
{
    std::lock_guard lock(g_csLink);
    if (flag == 0) {
        m_savedMaster = g_bMasterOn.load();
        g_bMasterOn = 0;
    } else {
        g_bMasterOn = static_cast<std::uint8_t>(m_savedMaster);
    }
    m_command.Add(BuildSystemValuesFrame(SYS_VOLUME, 0));
}

void CDeviceSync::ReadPresetFromDevice(int preset)
{
    if (preset < 0 || preset > kMachinePresetCount)
        return;
    g_bDeviceOnline = 0;
    if (preset == 0) {
        // The connection read: the caller holds the lock and has queued the names and blocks.
        std::lock_guard lock(g_csLink);
        g_bParamsDirty = 0;
        g_nCurPreset = 0;
        QueueOutputReads(0);
        SetTransferProgressRange();
        g_bTransferring = 1;
        m_host.ShowTransferPopup(0);
        return;
    }
    if (!m_session.connected) {
        m_host.ShowLinkFailure();
        return;
    }
    g_bParamsDirty = 0;
    g_nCurPreset = preset;
    {
        std::lock_guard lock(g_csLink);
        m_session.batchIndex = 0;
        SetTransferMute(0);
        QueueOutputReads(preset);
        SetTransferProgressRange();
        g_bTransferring = 1;
        Add(BuildSystemValuesFrame(SYS_NAME, 0), true, true);
        SetTransferMute(1);
    }
    m_host.ShowTransferPopup(1);
    g_bParamsDirty = 0;
}

void CDeviceSync::StorePresetToDevice(int preset, int fill)
{
    if (preset < 0 || preset > kMachinePresetCount)
        return;
    if (!m_session.connected) {
        if (preset > 0)
            m_host.ShowLinkFailure();
        return;
    }
    std::lock_guard lock(g_csLink);
    m_session.batchIndex = 0;
    if (fill)
        m_host.FillImage();
    else
        SetTransferMute(0);
    g_nCurPreset = preset;
    Add(BuildSystemValuesFrame(SYS_NAME, preset), true, true);
    if (fill) {
        Add(BuildSystemValuesFrame(SYS_NAME, 0), true, true);
        Add(BuildSystemValuesFrame(SYS_PRESET_NUMBER, 0), true, true);
    }
    for (int c = 0; c < kOutputs; ++c) {
        auto item = BuildImageBlockFrame(preset, OBJ_OUTPUT, c, true);
        const bool last = c == kOutputs - 1;
        if (last && item)
            item->SetLastInBatch(1);
        Add(std::move(item), true, !last);
    }
    if (!fill)
        SetTransferMute(1);
    g_bParamsDirty = 0;
    SetTransferProgressRange();
    g_bTransferring = 1;
    m_host.ShowTransferPopup(1);
}

void CDeviceSync::QueueOutputReads(int preset)
{
    for (int c = 0; c < kOutputs; ++c) {
        auto item = BuildRequestFrame(preset, OBJ_OUTPUT, c, true, false);
        const bool last = c == kOutputs - 1;
        if (last && item)
            item->SetNotifyDone(1);
        Add(std::move(item), true, !last);
    }
}

void CDeviceSync::RecallDevicePreset(int preset)
{
    if (!IsMachinePreset(preset))
        return;
    std::lock_guard lock(g_csLink);
    m_command.Add(BuildSystemValuesFrame(SYS_NAME, preset));
    g_nCurPreset = 0;
    m_command.Add(BuildSystemValuesFrame(SYS_PRESET_NUMBER, 0));
}

int CDeviceSync::RequestAllPresets()
{
    if (!m_session.connected) {
        m_host.ShowLinkFailure();
        return 0;
    }
    if (!m_host.ChooseAllPresetsFile())
        return 0;
    std::lock_guard lock(g_csLink);
    m_session.batchIndex = 0;
    for (int p = 1; p <= kMachinePresetCount; ++p) {
        for (int c = 0; c < kOutputs; ++c) {
            auto item = BuildRequestFrame(p, OBJ_OUTPUT, c, false, true);
            const bool last = p == kMachinePresetCount && c == kOutputs - 1;
            if (last && item)
                item->SetNotifyDone(1);
            Add(std::move(item), true, !last);
        }
    }
    SetTransferProgressRange();
    g_bTransferring = 1;
    m_host.ShowTransferPopup(1);
    return 1;
}

void CDeviceSync::PushAllPresetsToDevice()
{
    if (!m_session.connected)
        return;
    std::lock_guard lock(g_csLink);
    m_session.batchIndex = 0;
    const int master = g_bMasterOn.load();
    SetTransferMute(0);
    m_command.Add(BuildSystemValuesFrame(SYS_SPEAKERS, 0));
    for (int c = 0; c < kOutputs; ++c)
        Add(BuildImageBlockFrame(0, OBJ_OUTPUT, c, true), true, true);
    for (int p = 1; p <= kMachinePresetCount; ++p) {
        Add(BuildSystemValuesFrame(SYS_NAME, p), true, true);
        for (int c = 0; c < kOutputs; ++c) {
            auto item = BuildImageBlockFrame(p, OBJ_OUTPUT, c, false);
            if (p == kMachinePresetCount && c == kOutputs - 1 && item)
                item->SetLastInBatch(1);
            Add(std::move(item), true, true);
        }
    }
    m_command.Add(BuildSystemValuesFrame(SYS_INPUT, 0));
    g_bMasterOn = static_cast<std::uint8_t>(master);
    m_command.Add(BuildSystemValuesFrame(SYS_VOLUME, 0));
    g_bParamsDirty = 0;
    SetTransferProgressRange();
    g_bTransferring = 1;
    m_host.ShowTransferPopup(1);
}

// ---- single commands ---------------------------------------------------------------------------

void CDeviceSync::QueueDeviceCommand(int systemCommand, int preset)
{
    if (!m_session.connected)
        return;
    std::lock_guard lock(g_csLink);
    auto item = BuildSystemValuesFrame(systemCommand, preset);
    if (!item)
        return;
    const bool wifiReset = systemCommand == SYS_WIFI_RESET;
    if (wifiReset)
        item->SetNotifyMain(1);
    m_command.Add(std::move(item));
    if (wifiReset) {
        g_bTransferring = 1;
        m_host.SetTransferFactoryResetMode();
        m_host.ShowTransferPopup(1);
    }
}

void CDeviceSync::SetPendingBlock5(int flag)
{
    g_bSysBlock5Pending = (flag && m_session.connected) ? 1 : 0;
}

void CDeviceSync::SetPendingBlock2(int flag)
{
    g_bSysBlock2Pending = (flag && m_session.connected) ? 1 : 0;
}

// ---- replies -----------------------------------------------------------------------------------

void CDeviceSync::OnPresetReceived(int preset)
{
    {
        std::lock_guard lock(g_csLink);
        m_host.LoadFromImage(preset);
        g_bParamsDirty = 0;
        g_bDeviceOnline = 1;
        g_bTransferring = 0;
    }
    m_host.RefreshAfterPresetRead();
    m_host.SetInputSource(g_nInputSource.load(), 0);
}

void CDeviceSync::OnStatusReceived(WPARAM wParam, int length)
{
    if (!m_session.connected || length != 15)
        return;
    const StatusNotice notice = StatusNotice::Unpack(wParam);
    // Asked for before the device took the input the program wrote last: the device's word from
    // before the choice, which neither reverts it nor touches the main-source row.
    if (StatusStampBefore(notice.stamp, m_command.InputWritesQueued()))
        return;
    const int mode = notice.mode;
    if (mode == g_nSelInput.load())
        return;
    // The mode comes from the device: it must name an input of the current group.
    const int group = g_nInputGroupByte.load();
    if (group < 0 || group > 2 || mode < 0 || mode >= kInputsPerGroup[group])
        return;
    g_bAltInputMode = 0;
    g_ModeItemTable.Select(mode, group);
    g_nInputSource = static_cast<std::uint8_t>(mode);
    g_nSelInput = mode;
    m_host.SetInputSource(mode, 0);
}

// Makes the image's speaker types the working ones, from a clean state. Where two outputs name one
// type, the repeat is dropped and the image gets the mended types; true then.
bool CDeviceSync::TakeImageSpeakerTypes()
{
    ResetSpeakerTypeStates();
    std::uint8_t types[kSpeakerOutputs];
    const auto bytes = ReadSysBlock(g_SpeakerTypes);
    for (int i = 0; i < kSpeakerOutputs; ++i)
        types[i] = bytes[i];
    LoadWorkingSpeakerTypes(types);
    if (RemoveDuplicateSpeakerTypes()) {
        StoreWorkingSpeakerTypes(types);
        WriteSysBlock(g_SpeakerTypes, std::span<const std::uint8_t>(types, kSpeakerOutputs));
        return true;
    }
    return false;
}

void CDeviceSync::RestoreSpeakerTypes(int flag)
{
    TakeImageSpeakerTypes();
    RecomputeSpeakerTypeStates();
    if (flag == 0 && g_bSpeakerTypeMode.load()) {
        g_bSpeakerTypeMode = 0;
        m_host.SelectAssignedChannel();
    }
}

void CDeviceSync::OnDeviceConfig()
{
    g_bAltInputMode = 0;
    g_ModeItemTable.Select(g_nInputSource.load(), g_nInputGroupByte.load());
    if (TakeImageSpeakerTypes())
        QueueDeviceCommand(SYS_SPEAKERS, 0);
    m_host.ApplySpeakerTypes();
    RecomputeSpeakerTypeStates();
    if (g_bSpeakerTypeMode.load()) {
        g_bSpeakerTypeMode = 0;
        m_host.SelectAssignedChannel();
    }
    g_nSelInput = g_nInputSource.load();
    g_nInputGroup = g_nInputGroupByte.load();
    std::lock_guard lock(g_csLink);
    m_command.Add(BuildSystemValuesFrame(SYS_NAME, 0));
}

// ---- factory and Wi-Fi resets ------------------------------------------------------------------

void CDeviceSync::OnFactoryReset()
{
    if (!m_host.ConfirmFactoryReset())
        return;
    if (!m_session.connected) {
        ShowMessage(Tr(StrId::NoConnection), MB_OK, 2000);
        return;
    }
    QueueDeviceCommand(SYS_FACTORY_RESET, 0);
    // The device restores its own defaults: read them back so that the pages show them.
    std::lock_guard lock(g_csLink);
    m_session.batchIndex = 0;
    QueueHandshake(1);
    ReadPresetFromDevice(0);
}

void CDeviceSync::OnWifiResetDone(int accepted)
{
    switch (g_nLinkMode.load()) {
    case LINK_USB:
        g_bTransferring = 0;
        if (accepted) {
            ShowMessage(Tr(StrId::WifiResetOk), MB_OK, 2000);
            g_strWifiIp = g_strDefaultWifiIp;
            g_nWifiPort = kDefaultWifiPort;
            m_host.ShowNetworkSettings();
        } else {
            ShowMessage(Tr(StrId::WifiResetFail), MB_OK, 2000);
        }
        break;
    case LINK_TCP:
        g_strWifiIp = g_strDefaultWifiIp;
        g_nWifiPort = kDefaultWifiPort;
        m_host.Disconnect();
        m_host.ClearNetReachable();
        g_strWifiIp = g_strDefaultWifiIp;
        g_nWifiPort = kDefaultWifiPort;
        m_host.ShowNetworkSettings();
        ShowMessage(Tr(StrId::WifiFail), MB_OK, 2000);
        break;
    default:
        break;
    }
}
