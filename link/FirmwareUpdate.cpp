#include "link/FirmwareUpdate.h"

#include "link/ClientSocket.h"
#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "platform/GlobalData.h"
#include "platform/ViewServices.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

std::atomic<int> g_nUpdateStage{0};

namespace {

constexpr std::size_t kDspChunk = 44;
constexpr std::size_t kMcuChunk = 48;
constexpr std::size_t kStagePayload = 48;
constexpr int kStopSliceMs = 100;  // how soon a wait notices a stop request

std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

// ---- engine ------------------------------------------------------------------------------------

std::unique_ptr<CSendData> CFirmwareUpdateEngine::BuildStageFrame(int stage, std::span<const std::uint8_t> payload,
                                                                  int index)
{
    FrameHeader h;
    h.command = CMD_WRITE;
    h.preset = 0;
    h.objType = static_cast<std::uint8_t>(OBJ_SYSTEM);
    h.channel = static_cast<std::uint8_t>(stage);
    auto item = BuildFrame(h, payload);
    if (item) {
        item->SetCommand(stage);
        item->SetIndex(index);
    }
    return item;
}

void CFirmwareUpdateEngine::Clear()
{
    m_dsp.clear();
    m_mcu.clear();
    m_dspPos = m_mcuPos = 0;
    m_mcuChecksum = kMcuChecksumSeed;
    m_dspState = m_mcuState = 0;
    m_dspAddress = 0;
    m_enterBootPending = false;
    m_dspPresent = false;
    m_blockTotal = 0;
}

void CFirmwareUpdateEngine::Load(const FirmwareFile &file)
{
    Clear();
    m_dsp = file.dsp;
    m_mcu = file.mcu;
    m_mcuChecksum = file.mcuChecksum;
    m_dspPresent = file.dspPresent;
    // The DSP machine sends the start stage; the MCU machine then begins with its image.
    m_mcuState = file.dspPresent ? 1 : 0;
    m_enterBootPending = true;
    m_blockTotal = file.blockTotal;
    g_bMcuImagePresent = file.mcuPresent ? 1 : 0;
    g_bUpdateFinished = 0;
}

void CFirmwareUpdateEngine::QueueNextUpdateFrames(CKTVCommand &queue)
{
    if (m_enterBootPending) {
        QueueEnterBootloader(queue);
        m_enterBootPending = false;
    } else if (DspLeft() > 0 || m_dspState == 2) {
        // State 2 still owes the end stage of a DSP-only file after its image ran out.
        QueueDspUpdateFrames(queue);
    } else if (McuLeft() > 0) {
        QueueMcuUpdateFrames(queue);
    }
}

void CFirmwareUpdateEngine::QueueEnterBootloader(CKTVCommand &queue)
{
    std::uint8_t payload[kStagePayload];
    for (std::size_t i = 0; i < kStagePayload; i += 2) {
        payload[i] = 0x43;
        payload[i + 1] = 0x11;
    }
    queue.Add(BuildStageFrame(IAP_ENTER, payload, 0));
}

void CFirmwareUpdateEngine::AddHexEnd(CKTVCommand &queue, int index)
{
    const std::uint8_t payload[1] = {m_mcuChecksum};
    // The end stage must move the progress, or its answer would not finish the update.
    queue.Add(BuildStageFrame(HEXEnd, payload, index > 0 ? index : 1));
}

void CFirmwareUpdateEngine::QueueDspUpdateFrames(CKTVCommand &queue)
{
    int k = 0;
    const std::uint8_t zeros[16] = {};
    switch (m_dspState) {
    case 0:
        queue.Add(BuildStageFrame(HEXApply, zeros, ++k));
        queue.Add(BuildStageFrame(IAP_DSP_REQUEST_INFO, zeros, ++k));
        m_dspState = 1;
        [[fallthrough]];
    case 1: {
        const std::size_t left = DspLeft();
        if (left == 0) {
            m_dspState = m_mcu.empty() ? 2 : 3;
            break;
        }
        std::uint8_t payload[kStagePayload] = {};
        payload[0] = static_cast<std::uint8_t>(m_dspAddress);
        payload[1] = static_cast<std::uint8_t>(m_dspAddress >> 8);
        payload[2] = static_cast<std::uint8_t>(m_dspAddress >> 16);
        payload[3] = static_cast<std::uint8_t>(m_dspAddress >> 24);
        const std::size_t n = std::min(left, kDspChunk);
        std::copy_n(m_dsp.begin() + static_cast<std::ptrdiff_t>(m_dspPos), n, payload + 4);
        m_dspPos += n;
        queue.Add(BuildStageFrame(IAP_DSP_DATA, payload, ++k));
        if (left > kDspChunk)
            m_dspAddress += kDspChunk;
        else
            m_dspState = m_mcu.empty() ? 2 : 3;
        break;
    }
    case 2:
        AddHexEnd(queue, k);
        m_dspState = 4;
        break;
    default:
        break;
    }
}

void CFirmwareUpdateEngine::QueueMcuUpdateFrames(CKTVCommand &queue)
{
    int k = queue.GetCount();
    const std::uint8_t zeros[16] = {};
    switch (m_mcuState) {
    case 0:
        queue.Add(BuildStageFrame(HEXApply, zeros, ++k));
        m_mcuState = 1;
        [[fallthrough]];
    case 1: {
        const std::size_t n = std::min<std::size_t>(McuLeft(), 4);
        queue.Add(BuildStageFrame(HEXStart, std::span(m_mcu.data() + m_mcuPos, n), ++k));
        m_mcuPos += n;
        m_mcuState = 2;
        [[fallthrough]];
    }
    case 2: {
        const std::size_t left = McuLeft();
        std::uint8_t payload[kStagePayload];
        std::fill(std::begin(payload), std::end(payload), 0xFF);
        const std::size_t n = std::min(left, kMcuChunk);
        std::copy_n(m_mcu.begin() + static_cast<std::ptrdiff_t>(m_mcuPos), n, payload);
        m_mcuPos += n;
        queue.Add(BuildStageFrame(HEXData, payload, ++k));
        if (left > kMcuChunk)
            break;
        m_mcuState = 3;
        [[fallthrough]];
    }
    case 3:
        AddHexEnd(queue, k);
        m_mcuState = 4;
        break;
    default:
        break;
    }
}

// ---- update steps ------------------------------------------------------------------------------

int UpdateTimings::UsbLimitMs(int stage) const
{
    int s;
    switch (stage) {
    case HEXApply: s = 3; break;
    case HEXStart: s = 8; break;
    case HEXData: s = 2; break;
    case HEXEnd: s = 2; break;
    case IAP_DSP_REQUEST_INFO: s = 40; break;
    case IAP_DSP_DATA: s = 10; break;
    case IAP_DSP_END_INF: s = 20; break;
    default: s = 0; break;
    }
    return static_cast<int>(s * 1000 * limitScale);
}

int UpdateTimings::NetLimitMs(int stage) const
{
    int ms;
    switch (stage) {
    case HEXApply: ms = 10000; break;
    case HEXStart: ms = 8000; break;
    case HEXData: ms = 2000; break;
    case HEXEnd: ms = 2000; break;  // the end is awaited: it is the device's word that it took the image
    case IAP_DSP_REQUEST_INFO: ms = 50000; break;
    case IAP_DSP_DATA: ms = 10000; break;
    case IAP_DSP_END_INF: ms = 8000; break;
    default: ms = 1000; break;
    }
    return static_cast<int>(ms * limitScale);
}

CFirmwareUpdater::CFirmwareUpdater(CKTVCommand &queue, CFirmwareUpdateEngine &engine, IMessageTarget *view)
    : m_queue(queue), m_engine(engine), m_view(view)
{
}

bool CFirmwareUpdater::Stopping() const
{
    return m_stopRequested && m_stopRequested();
}

void CFirmwareUpdater::Sleep(int ms)
{
    const std::int64_t until = NowMs() + ms;
    for (std::int64_t left = ms; left > 0 && !Stopping(); left = until - NowMs())
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<std::int64_t>(left, kStopSliceMs)));
}

int CFirmwareUpdater::Read(IUpdateTransport &t, std::uint8_t *buf, std::size_t cap, int timeoutMs)
{
    const std::int64_t until = NowMs() + std::max(0, timeoutMs);
    for (;;) {
        if (Stopping())
            return 0;
        const std::int64_t left = std::max<std::int64_t>(0, until - NowMs());
        const int r = t.Read(buf, cap, static_cast<int>(std::min<std::int64_t>(left, kStopSliceMs)));
        if (r != 0 || left <= kStopSliceMs)
            return r;
    }
}

int CFirmwareUpdater::ElapsedMs() const
{
    return static_cast<int>(NowMs() - m_stepStart);
}

void CFirmwareUpdater::Fail()
{
    if (m_suspend)
        m_suspend();
    if (m_view)
        m_view->PostMessage(WM_LINK_ERROR, 0, 0);
}

void CFirmwareUpdater::Tip(StrId text)
{
    if (g_bUpdateCancelled.load())
        return;
    if (ILinkTip *tip = g_pUpdateTip.load())
        tip->SetText(Tr(text));
}

int CFirmwareUpdater::FeedBytes(const std::uint8_t *data, std::size_t n)
{
    std::lock_guard lock(g_csLink);
    if (m_feed)
        return m_feed(data, n);
    return m_queue.OnNetData(data, static_cast<int>(n));
}

unsigned CFirmwareUpdater::Refusals()
{
    std::lock_guard lock(g_csLink);
    return m_queue.Refusals();
}

void CFirmwareUpdater::FinishOnClose()
{
    std::lock_guard lock(g_csLink);
    m_queue.FinishUpdate();
}

int CFirmwareUpdater::UsbUpdateStep(IUpdateTransport &usb)
{
    m_stepStart = NowMs();
    if (!UsbUpdateWriteStep(usb))
        return 0;
    return UsbUpdateReadStep(usb);
}

int CFirmwareUpdater::NetUpdateStep(IUpdateTransport &net)
{
    if (!net.IsOpen()) {
        Sleep(100);
        return 0;
    }
    m_stepStart = NowMs();
    if (!NetUpdateWriteStep(net))
        return 0;
    return NetUpdateReadStep(net);
}

// Takes the frame at the front of the update queue (queueing the next stage's frames when it is
// empty), makes its stage the current one and counts one more attempt at it. `rewind` starts the
// frame over from its first byte, for a transport that sends it whole each attempt.
CSendData *CFirmwareUpdater::TakeFront(int &attempts, bool rewind)
{
    std::lock_guard lock(g_csLink);
    if (m_queue.GetCount() == 0)
        m_engine.QueueNextUpdateFrames(m_queue);
    CSendData *front = m_queue.GetFront();
    if (front) {
        m_stage = front->GetCommand();
        g_nUpdateStage = m_stage;
        attempts = front->GetRetryCount() + 1;
        front->SetRetryCount(attempts);
        if (rewind)
            front->ResetPosition();
    }
    return front;
}

// The report repeated while the device switches to its boot loader: 0x43 0x11 pairs after the
// report id.
void CFirmwareUpdater::FillEnterReport()
{
    m_report.fill(0);
    for (std::size_t i = 1; i < kHidReportSize; i += 2) {
        m_report[i] = 0x43;
        if (i + 1 < kHidReportSize)
            m_report[i + 1] = 0x11;
    }
}

int CFirmwareUpdater::UsbUpdateWriteStep(IUpdateTransport &usb)
{
    if (!usb.IsOpen())
        return 0;
    int attempts = 0;
    CSendData *front = TakeFront(attempts, false);
    if (!front) {
        Sleep(50);
        return 0;
    }
    if (attempts > (m_stage == IAP_DSP_REQUEST_INFO ? 4 : 2)) {
        Fail();
        return 0;
    }

    if (m_stage == IAP_ENTER) {
        FillEnterReport();
        while (usb.IsOpen() && !Stopping()) {
            CClientSocket::OnBeforeSend(m_report.data(), m_report.size());
            usb.Write(m_report);
            Sleep(m_timings.fillerPaceMs);
            Tip(StrId::TipUsbConnected);
            if (ElapsedMs() > m_timings.usbFillerMs) {
                std::lock_guard lock(g_csLink);
                m_queue.PopFront();
                return 0;
            }
        }
        return 0;
    }

    bool cut;
    {
        std::lock_guard lock(g_csLink);
        cut = front->NextHidReport(m_report);
    }
    if (!cut)
        return 1;  // written by an earlier attempt: wait for its answer again
    CClientSocket::OnBeforeSend(m_report.data(), m_report.size());
    if (!usb.Write(m_report) || !usb.IsOpen())
        return 0;
    return 1;
}

int CFirmwareUpdater::UsbUpdateReadStep(IUpdateTransport &usb)
{
    const int limit = m_timings.UsbLimitMs(m_stage);
    if (m_stage == IAP_DSP_REQUEST_INFO)
        Tip(StrId::TipErasing);
    const unsigned refusals = Refusals();
    bool done = false;
    while (!done) {
        if (!usb.IsOpen())
            return 0;
        HidReport in{};
        const int left = std::max(0, limit - ElapsedMs());
        const int r = Read(usb, in.data(), in.size(), left);
        if (Stopping())
            return 0;  // cancelled or the program ends: no failure to report
        if (r < 0) {
            // The device left while we waited: after the start stage it restarts into its loader;
            // at any other stage the update has failed (also where no removal notice arrives).
            if (m_stage != HEXApply) {
                Fail();
                return 0;
            }
            break;
        }
        if (r == 0) {
            if (m_stage == HEXApply)
                break;  // the device may restart without answering; the reopen decides
            if (usb.IsOpen()) {
                usb.Close();
                Fail();
            }
            return 0;
        }
        if (std::all_of(in.begin(), in.end(), [](std::uint8_t b) { return b == 0; }))
            Sleep(10);
        if (g_bUpdateCancelled.load())
            return 1;
        done = in[9] == m_stage && FeedBytes(in.data() + 1, kHidReportPayload) == 1;
        if (m_stage == HEXApply)
            break;
        if (done)
            return 1;
        if (Refusals() != refusals) {
            if (m_stage == IAP_DSP_REQUEST_INFO)
                return 0;  // the erase request is written again by the next step
            Fail();
            return 0;
        }
        if (ElapsedMs() > limit) {
            Fail();
            return 0;
        }
    }
    // After the start stage the device restarts: wait, then open it again.
    Sleep(m_timings.restartWaitMs);
    if (Stopping())
        return 0;
    if (!usb.Reconnect()) {
        Fail();
        return 0;
    }
    return 1;
}

int CFirmwareUpdater::NetUpdateWriteStep(IUpdateTransport &net)
{
    if (!net.IsOpen())
        return 0;
    int attempts = 0;
    CSendData *front = TakeFront(attempts, true);
    if (!front) {
        Sleep(50);
        return 0;
    }
    if (attempts > 2) {
        Fail();
        return 0;
    }

    if (m_stage == IAP_ENTER) {
        FillEnterReport();
        while (net.IsOpen() && !Stopping()) {
            if (!net.Write(m_report)) {
                net.Close();
                Sleep(m_timings.resetWaitMs);
                net.Reconnect();
            }
            CClientSocket::OnBeforeSend(m_report.data(), m_report.size());
            Tip(StrId::TipNetConnected);
            if (ElapsedMs() > m_timings.netFillerMs) {
                std::lock_guard lock(g_csLink);
                m_queue.PopFront();
                return 0;
            }
            Sleep(m_timings.fillerPaceMs);
        }
        return 0;
    }

    while (net.IsOpen()) {
        bool cut;
        {
            std::lock_guard lock(g_csLink);
            cut = front->NextHidReport(m_report);
        }
        if (!cut)
            return 1;
        if (!net.Write(m_report)) {
            net.Close();
            Sleep(m_timings.resendWaitMs);
            if (!net.IsOpen() || !net.Reconnect()) {
                Fail();
                return 0;
            }
            std::lock_guard lock(g_csLink);
            front->ResetPosition();
            continue;
        }
        CClientSocket::OnBeforeSend(m_report.data(), m_report.size());
    }
    return 0;
}

int CFirmwareUpdater::NetUpdateReadStep(IUpdateTransport &net)
{
    // The end stage is awaited too, so that success is never reported for an image the device may
    // not have taken: success is reported only when the device acknowledges HEXEnd, its word that it has taken the whole image, or when it
    // drops the connection within the wait, as the module does when it restarts at once with the
    // new image. Silence for the whole wait, or a refusal, is a failure.
    const int limit = m_timings.NetLimitMs(m_stage);
    if (m_stage == IAP_DSP_REQUEST_INFO)
        Tip(StrId::TipErasing);
    const unsigned refusals = Refusals();
    for (;;) {
        if (!net.IsOpen())
            return 0;
        std::uint8_t buf[64];
        const int n = Read(net, buf, sizeof buf, limit);
        if (Stopping())
            return 0;  // cancelled or the program ends: no failure to report
        if (n < 0) {
            if (m_stage == HEXEnd) {
                FinishOnClose();
                return 1;
            }
            Sleep(m_timings.resetWaitMs);
            if (net.IsOpen())
                net.Reconnect();
            else
                Fail();
            return 1;
        }
        if (n == 0) {
            if (!net.IsOpen() || m_stage == HEXEnd) {
                Fail();
                return m_stage == HEXEnd ? 0 : 1;
            }
            net.Reconnect();
            return 0;  // the item stays queued; the next write step sends it again
        }
        if (FeedBytes(buf, static_cast<std::size_t>(n)) == 1)
            return 1;
        if (Refusals() != refusals) {
            if (m_stage == HEXEnd) {
                Fail();
                return 0;
            }
            return 0;  // refused: rewound by the parser and sent again by the next step
        }
    }
}
