#pragma once
// The firmware update: the engine that refills the send queue with the boot loader's stage frames
// whenever it runs empty, and the update steps that the link worker runs, one per cycle, in place
// of its normal step while an update runs (USB and TCP). The steps write the front item, wait for
// the device's answer with the stage's limit and end the update with WM_LINK_ERROR when the
// device does not take a stage.
//
// Stages (the system sub-identifier of the frame and the command of its queue item):
//   0x36 HEXApply       16 zero bytes        start of the update
//   0x37 HEXStart       first 4 MCU bytes    start of the MCU image
//   0x38 HEXData        48 MCU bytes         MCU data, the last block padded with 0xFF
//   0x39 HEXEnd         1 byte: checksum     end of the update
//   0x3A DSP request    16 zero bytes        DSP erase
//   0x3B DSP data       4-byte LE address + 44 DSP bytes (the last block zero-padded)
//   0xFF boot entry     24 pairs 43 11       never sent as a frame: streamed as filler reports

#include "link/FirmwareFile.h"
#include "link/LinkMessages.h"
#include "protocol/SendData.h"
#include "res/Strings.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class CKTVCommand;
class IMessageTarget;

// Stage of the item the update write step last took; the USB removal handler reads it to know a
// restart after HEXApply from a real removal.
extern std::atomic<int> g_nUpdateStage;

class CFirmwareUpdateEngine {
public:
    // Takes the images of a loaded file and resets both machines. Sets g_bMcuImagePresent and
    // clears g_bUpdateFinished.
    void Load(const FirmwareFile &file);
    void Clear();

    // Adds the next stage items when the queue is empty (the caller checked): the boot-loader
    // entry first, then the DSP machine while it has work, then the MCU machine.
    void QueueNextUpdateFrames(CKTVCommand &queue);
    void QueueEnterBootloader(CKTVCommand &queue);
    void QueueDspUpdateFrames(CKTVCommand &queue);
    void QueueMcuUpdateFrames(CKTVCommand &queue);

    int DspState() const { return m_dspState; }
    int McuState() const { return m_mcuState; }
    std::uint32_t DspAddress() const { return m_dspAddress; }
    bool EnterBootPending() const { return m_enterBootPending; }
    std::size_t DspLeft() const { return m_dsp.size() - m_dspPos; }
    std::size_t McuLeft() const { return m_mcu.size() - m_mcuPos; }
    std::uint8_t McuChecksum() const { return m_mcuChecksum; }
    int BlockTotal() const { return m_blockTotal; }

    // One stage frame in a new item: CMD_WRITE, preset 0, OBJ_SYSTEM, channel = stage.
    static std::unique_ptr<CSendData> BuildStageFrame(int stage, std::span<const std::uint8_t> payload, int index);

private:
    void AddHexEnd(CKTVCommand &queue, int index);

    std::vector<std::uint8_t> m_dsp, m_mcu;
    std::size_t m_dspPos = 0, m_mcuPos = 0;  // images are consumed from the front
    std::uint8_t m_mcuChecksum = kMcuChecksumSeed;
    int m_dspState = 0;
    int m_mcuState = 0;
    std::uint32_t m_dspAddress = 0;
    bool m_enterBootPending = false;
    bool m_dspPresent = false;
    int m_blockTotal = 0;
};

// The link the update steps talk through: the USB device or the TCP connection.
class IUpdateTransport {
public:
    virtual ~IUpdateTransport() = default;
    // USB: the device is open; TCP: the device is reachable.
    virtual bool IsOpen() const = 0;
    // Writes one 65-byte report (TCP sends the same 65 bytes). False when it failed.
    virtual bool Write(const HidReport &report) = 0;
    // USB: reads one 65-byte report. TCP: receives up to cap bytes. Returns the byte count, 0 when
    // timeoutMs passed without data, -1 when the device went away or the connection was reset.
    virtual int Read(std::uint8_t *buf, std::size_t cap, int timeoutMs) = 0;
    // TCP: closes and connects again. USB: opens the device again after its restart.
    virtual bool Reconnect() = 0;
    // Closes the channel (TCP socket, USB handle marked closed).
    virtual void Close() = 0;
};

// The waits of the update. Defaults are the device's; tests shorten them.
struct UpdateTimings {
    int usbFillerMs = 1000;       // boot-loader filler on USB
    int netFillerMs = 4000;       // and on TCP
    int fillerPaceMs = 5;         // between filler reports
    int restartWaitMs = 5000;     // USB device restarting after HEXApply
    int resetWaitMs = 2000;       // TCP connection reset before reconnecting
    int resendWaitMs = 1000;      // TCP send failure before reconnecting
    double limitScale = 1.0;      // applied to every stage's answer limit

    int UsbLimitMs(int stage) const;
    int NetLimitMs(int stage) const;
};

class CFirmwareUpdater {
public:
    // Hands received bytes to the reply parser; returns its result (1: a frame was taken). The
    // default is the queue's own parser.
    using Feed = std::function<int(const std::uint8_t *data, std::size_t n)>;

    CFirmwareUpdater(CKTVCommand &queue, CFirmwareUpdateEngine &engine, IMessageTarget *view);

    void SetTimings(const UpdateTimings &t) { m_timings = t; }
    const UpdateTimings &Timings() const { return m_timings; }
    // Called before WM_LINK_ERROR is posted, so that the worker stops taking steps.
    void SetSuspend(std::function<void()> suspend) { m_suspend = std::move(suspend); }
    // True once the worker is asked to stop (cancel, quit, program exit): waits for the device end
    // within a fraction of a second then, whatever the stage's limit, and the step ends quietly.
    void SetStopRequested(std::function<bool()> stop) { m_stopRequested = std::move(stop); }
    void SetFeed(Feed feed) { m_feed = std::move(feed); }

    // One update step; the result is that of the read step, or 0 when nothing was written.
    int UsbUpdateStep(IUpdateTransport &usb);
    int NetUpdateStep(IUpdateTransport &net);

    int UsbUpdateWriteStep(IUpdateTransport &usb);
    int UsbUpdateReadStep(IUpdateTransport &usb);
    int NetUpdateWriteStep(IUpdateTransport &net);
    int NetUpdateReadStep(IUpdateTransport &net);

    int Stage() const { return m_stage; }

private:
    void Fail();
    void Tip(StrId text);
    int ElapsedMs() const;
    int FeedBytes(const std::uint8_t *data, std::size_t n);
    unsigned Refusals();
    bool Stopping() const;
    // IUpdateTransport::Read in short slices that end early once a stop is requested (0 then).
    int Read(IUpdateTransport &t, std::uint8_t *buf, std::size_t cap, int timeoutMs);
    // The end stage over TCP: the module restarts with the new image and may drop the connection
    // instead of answering; within the wait that counts as its acknowledgement.
    void FinishOnClose();
    CSendData *TakeFront(int &attempts, bool rewind);
    void FillEnterReport();
    void Sleep(int ms);

    CKTVCommand &m_queue;
    CFirmwareUpdateEngine &m_engine;
    IMessageTarget *m_view;
    UpdateTimings m_timings;
    std::function<void()> m_suspend;
    std::function<bool()> m_stopRequested;
    Feed m_feed;
    std::int64_t m_stepStart = 0;
    int m_stage = 0;
    HidReport m_report{};
};
