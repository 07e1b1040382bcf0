#include "link/KTVCommand.h"

#include "protocol/CommandFrame.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"
#include "res/Strings.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace {

// A write of the input block (system block 2): the input the device plays.
bool IsInputWrite(const CSendData *item)
{
    if (!item)
        return false;
    const auto &f = item->Frame();
    return f.size() > frame::kOffChannel && f[frame::kOffCommand] == CMD_WRITE && f[frame::kOffObject] == OBJ_SYSTEM &&
           f[frame::kOffChannel] == SYS_INPUT;
}

}  // namespace

void CKTVCommand::Add(std::unique_ptr<CSendData> item)
{
    if (!item)
        return;
    if (IsInputWrite(item.get()))
        ++m_inputWritesQueued;
    m_queue.Add(std::move(item));
}

void CKTVCommand::PopFront()
{
    const bool inputWrite = IsInputWrite(m_queue.GetFront());
    if (m_queue.PopFront()) {
        if (inputWrite)
            ++m_inputWritesDone;
        ResetSerialRxState();
    }
}

void CKTVCommand::RemoveAll()
{
    // Dropped input writes will never be answered: they no longer hold status replies back.
    for (int i = 0; i < m_queue.GetCount(); ++i)
        if (IsInputWrite(m_queue.GetAt(i)))
            ++m_inputWritesDone;
    m_queue.RemoveAll();
    ResetAssembler();
}

void CKTVCommand::RewindFront()
{
    if (CSendData *front = m_queue.GetFront())
        front->ResetPosition();
}

void CKTVCommand::MarkFrontNaked()
{
    if (CSendData *front = m_queue.GetFront())
        front->SetNaked(1);
}

// ---- reply assembler and parser -----------------------------------------------------------
// Frame buffer indexes (wire offset - 3): 0 the 0xEE mark, 1 command, 2 address, 3 preset,
// 4 object type, 5 channel, 6 parameter, 7 link flag, 8 spare, 9..10 length, 11.. payload.

namespace {

constexpr int kIdxCommand = 1;
constexpr int kIdxPreset = 3;
constexpr int kIdxObject = 4;
constexpr int kIdxChannel = 5;
constexpr int kIdxParam = 6;
constexpr int kIdxLength = 9;
constexpr int kIdxPayload = 11;
constexpr int kLengthKnown = kIdxLength + 2;  // bytes stored once the length field has arrived


}  // namespace

int CKTVCommand::OnUsbReport(const HidReport &report, int n)
{
    if (n <= 0)
        return 1;
    const int bytes = std::min<int>(n - 1, static_cast<int>(kHidReportPayload));
    return Assemble(report.data() + 1, bytes);
}

int CKTVCommand::OnNetData(const std::uint8_t *data, int n)
{
    if (!data || n <= 0)
        return 0;
    return Assemble(data, n);
}

int CKTVCommand::OnSerialByte(std::uint8_t b) { return Assemble(&b, 1); }

void CKTVCommand::ResetParser()
{
    m_framePos = 0;
    m_expected = 0;
    m_inFrame = 0;
    m_headerRun = 0;
    m_frame.fill(0);
}

int CKTVCommand::Assemble(const std::uint8_t *data, int n)
{
    if (!data || n <= 0)
        return 0;
    int result = 0;
    int i = 0;
    while (i < n) {
        if (!m_inFrame) {
            // Hunt for 0x91 0x91 0x91 0xEE; the run survives from one chunk to the next.
            for (; i < n; ++i) {
                const std::uint8_t b = data[i];
                if (b == frame::kStartByte) {
                    ++m_headerRun;
                    g_SerialRxState[kRxHeaderSeen] = 1;
                } else if (b == frame::kMark && m_headerRun == static_cast<int>(frame::kStartSize)) {
                    m_inFrame = 1;
                    m_headerRun = 0;
                    m_framePos = 0;
                    m_expected = 0;
                    break;
                } else {
                    m_headerRun = 0;
                }
            }
            if (!m_inFrame)
                break;
        }
        // Store bytes up to the end of this frame; whatever follows is the next frame's.
        while (i < n) {
            m_frame[static_cast<std::size_t>(m_framePos++)] = data[i++];
            if (m_framePos == kLengthKnown) {
                const int len = m_frame[kIdxLength] | (m_frame[kIdxLength + 1] << 8);
                if (len > static_cast<int>(kRxMaxPayload)) {
                    // Cannot be held: a false start in noise, dropped like a rejected frame. The
                    // hunt resumes at the byte after its 0xEE mark, so a real frame that began
                    // among the bytes taken for this one's header is still found.
                    g_SerialRxState[kRxFrameRejected] = 1;
                    std::array<std::uint8_t, kLengthKnown - 1> taken{};
                    std::copy(m_frame.begin() + 1, m_frame.begin() + kLengthKnown, taken.begin());
                    m_inFrame = 0;
                    m_framePos = 0;
                    m_headerRun = 0;
                    result |= Assemble(taken.data(), static_cast<int>(taken.size()));
                    break;
                }
                m_expected = len + static_cast<int>(kRxFrameOverhead);
            }
            if (m_expected > 0 && m_framePos >= m_expected) {
                g_SerialRxState[kRxFrameComplete] = 1;
                result |= ParseFrame();
                // Whatever the frame was, the next byte starts a new hunt.
                m_inFrame = 0;
                m_framePos = 0;
                m_expected = 0;
                break;
            }
        }
    }
    return result;
}

void CKTVCommand::Post(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (m_pOwner)
        m_pOwner->PostMessage(msg, wParam, lParam);
}

int CKTVCommand::ParseFrame()
{
    const int n = m_expected;
    std::uint8_t x = 0;
    for (int k = 1; k <= n - 3; ++k)
        x ^= m_frame[static_cast<std::size_t>(k)];
    if (m_frame[static_cast<std::size_t>(n - 1)] != frame::kEnd || x != m_frame[static_cast<std::size_t>(n - 2)]) {
        m_framePos = 0;
        m_inFrame = 0;
        g_SerialRxState[kRxFrameRejected] = 1;
        return 0;
    }
    m_command = m_frame[kIdxCommand];
    m_preset = m_frame[kIdxPreset];
    m_objType = m_frame[kIdxObject];
    m_channel = m_frame[kIdxChannel];
    m_param = m_frame[kIdxParam];
    m_payloadLen = m_frame[kIdxLength] | (m_frame[kIdxLength + 1] << 8);

    UpdateProgress();

    switch (m_command) {
    case REPLY_ACK:
        m_framePos = 0;
        m_inFrame = 0;
        NotifyMainWindow(1);
        PopFront();
        return 1;
    case REPLY_NAK: {
        ++m_refusals;
        ResetParser();
        RewindFront();
        CSendData *refused = GetFront();
        NotifyMainWindow(0);
        if (GetFront() == refused)  // a refused module reset is removed: mark nothing else
            MarkFrontNaked();
        return 0;
    }
    case REPLY_DATA:
        return OnDataReply();
    default:
        return 1;  // not a reply of ours
    }
}

int CKTVCommand::OnDataReply()
{
    if (g_bHelloPhase.load()) {
        if (m_objType == OBJ_SYSTEM && m_channel == SYS_HELLO && m_payloadLen == 1 && m_frame[kIdxPayload] == 0) {
            PopFront();
            g_bHelloPhase = 0;
            return 1;
        }
        return 0;
    }
    if (m_payloadLen == 0) {
        Post(WM_DEV_NEEDS_FIRMWARE, 0, 0);
        g_bNeedsFirmware = 1;
        return 1;
    }
    switch (m_objType) {
    case OBJ_MIC:
    case OBJ_EFFECT:
        PopFront();
        return 1;
    case OBJ_MUSIC:
    case OBJ_OUTPUT:
        return StoreBlock();
    case OBJ_SYSTEM:
        return OnSystemReply();
    default:
        return 1;  // not a type the program reads: ignored, the head stays
    }
}

int CKTVCommand::StoreBlock()
{
    const bool stored = m_param == kStoredReadMark;
    const std::span<const std::uint8_t> payload(m_frame.data() + kIdxPayload, static_cast<std::size_t>(m_payloadLen));
    // A preset byte above 6 or a channel out of range names nothing the program holds: the reply is
    // rejected like a damaged frame, and nothing is written or posted.
    if (!StoreBlockReply(m_preset, stored, m_objType, m_channel, payload))
        return 0;
    if (m_objType == OBJ_OUTPUT && m_channel == static_cast<int>(DeviceImage::kOutCount) - 1) {
        if (stored && m_preset == kMachinePresetCount)
            Post(WM_DEV_ALLPRESETS_RECEIVED, static_cast<std::uintptr_t>(kMachinePresetCount), 0);
        else if (!stored || m_preset == 0)
            Post(WM_DEV_PRESET_RECEIVED, static_cast<std::uintptr_t>(m_preset), 0);
    }
    PopFront();
    return 1;
}

int CKTVCommand::OnSystemReply()
{
    const std::span<const std::uint8_t> payload(m_frame.data() + kIdxPayload, static_cast<std::size_t>(m_payloadLen));
    switch (m_channel) {
    case SYS_NAME:
        if (!StoreNameReply(m_preset, payload))
            return 0;
        break;
    case SYS_INPUT:
        StoreSysBlock2Reply(payload);
        break;
    case SYS_STATUS:
        OnStatusReply();
        break;
    case SYS_VERSION: {
        const std::size_t len = std::min<std::size_t>(payload.size(), kDeviceVersionSize - 1);
        std::string text(reinterpret_cast<const char *>(payload.data()), len);
        text = text.substr(0, std::strlen(text.c_str()));  // the text ends at a NUL
        SetDeviceVersion(text);
        Post(WM_DEV_VERSION_RECEIVED, 0, 0);
        break;
    }
    case SYS_VOLUME:
        StoreSysBlock5Reply(payload);
        break;
    case SYS_SPEAKERS:
        StoreSpeakerTypesReply(payload);
        Post(WM_DEV_CONFIG_RECEIVED, 0, 0);
        break;
    case SYS_PRESET_NUMBER:
        if (!StorePresetNumberReply(payload[0]))
            return 0;
        break;
    case SYS_MODE_TABLE:
        StoreModeTableReply(payload);
        Post(WM_DEV_CONFIG_RECEIVED, 0, 0);
        break;
    default:
        break;
    }
    PopFront();
    return 1;
}

void CKTVCommand::OnStatusReply()
{
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(m_payloadLen), 15);
    StoreMeterLevelsReply(std::span<const std::uint8_t>(m_frame.data() + kIdxPayload, n));
    // The notice carries what this reply says, and when it was asked for: while the request was
    // out nothing else left the queue, so the input writes done now were done when it was sent.
    StatusNotice notice;
    notice.stamp = m_inputWritesDone.load();
    if (m_payloadLen >= 15)
        notice.mode = m_frame[kIdxPayload + 14];
    Post(WM_DEV_STATUS_RECEIVED, notice.Pack(), m_payloadLen);
}

void CKTVCommand::UpdateProgress()
{
    CSendData *h = GetFront();
    if (!h)
        return;
    if (h->GetNoProgress()) {
        Post(WM_LINK_QUEUE_DONE, 0, 0);
        return;
    }
    if (h->GetIndex() == 0)
        return;
    if (h->GetCommand() == 0) {
        if (ILinkProgress *bar = g_pXferBar.load())
            bar->SetPos(h->GetIndex());
        if (h->GetLastInBatch() == 1)
            Post(WM_LINK_QUEUE_DONE, 0, 1);
        if (h->GetNotifyDone() == 1)
            Post(WM_LINK_QUEUE_DONE, 0, 0);
        return;
    }

    ILinkProgress *bar = g_pUpdateBar.load();
    ILinkTip *tipCtl = g_pUpdateTip.load();
    const bool quiet = g_bUpdateCancelled.load() != 0;
    const int q = bar ? bar->GetPos() + 1 : 1;
    const int upper = bar ? bar->GetRangeUpper() : 0;
    auto setBar = [&](int pos) {
        if (bar && !quiet)
            bar->SetPos(pos);
    };
    auto setTip = [&](StrId text) {
        if (tipCtl && !quiet)
            tipCtl->SetText(Tr(text));
    };

    // The stages that end an update finish it only when the device accepted them: a refusal is
    // rewound like any other and must not read as success.
    const bool accepted = m_command == REPLY_ACK;
    switch (h->GetCommand()) {
    case HEXApply:
        setTip(StrId::TipUpdateBegins);
        setBar(q);
        m_dataStageBegun = 0;
        break;
    case HEXStart:
        setBar(q);
        m_dataStageBegun = 0;
        break;
    case HEXData:
        if (!m_dataStageBegun) {
            setTip(StrId::TipProgramming);
            setBar(q >= upper ? upper - 1 : q);
        } else {
            setBar(q);
        }
        m_dataStageBegun = 1;
        break;
    case HEXEnd:
        if (!accepted)
            break;
        setTip(StrId::UpdateDone);
        setBar(upper);
        m_dataStageBegun = 0;
        g_bUpdateFinished = 1;
        Post(WM_LINK_UPDATE_DONE, 0, HEXEnd);
        break;
    case IAP_DSP_REQUEST_INFO:
        setTip(StrId::TipProgramming);
        setBar(q);
        m_dataStageBegun = 1;
        break;
    case IAP_DSP_DATA:
        setTip(StrId::TipProgramming);
        setBar(q >= upper ? upper - 1 : q);
        m_dataStageBegun = 1;
        break;
    case IAP_DSP_END_INF:
        if (!accepted)
            break;
        if (!g_bMcuImagePresent.load()) {
            setTip(StrId::UpdateDone);
            setBar(upper);
            Post(WM_LINK_UPDATE_DONE, 0, HEXEnd);
        } else {
            setBar(q);
        }
        m_dataStageBegun = 0;
        break;
    default:
        setBar(q);
        break;
    }
}

int CKTVCommand::NotifyMainWindow(int accepted)
{
    CSendData *h = GetFront();
    if (!h || !h->GetNotifyMain())
        return 0;
    if (!accepted)
        PopFront();
    PostToView(WM_LINK_WIFI_RESET_DONE, 0, accepted);
    return 1;
}

void CKTVCommand::FinishUpdate()
{
    if (ILinkTip *tip = g_pUpdateTip.load())
        tip->SetText(Tr(StrId::UpdateDone));
    if (ILinkProgress *bar = g_pUpdateBar.load())
        bar->SetPos(bar->GetRangeUpper());
    m_dataStageBegun = 0;
    g_bUpdateFinished = 1;
    Post(WM_LINK_UPDATE_DONE, 0, HEXEnd);
    PopFront();
}
