#pragma once
// The link's command object: the send queue that every part of the program fills, and the reply
// assembler and parser that empty it. Every operation runs while the caller holds g_csLink.

#include "protocol/SendData.h"
#include "link/SendDataQueue.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

class IMessageTarget;

// Marks of the receive status block g_SerialRxState that the assembler and the serial transport share.
constexpr std::size_t kRxFrameWritten = 0;
constexpr std::size_t kRxFrameComplete = 1;
constexpr std::size_t kRxFrameRejected = 2;
constexpr std::size_t kRxHeaderSeen = 3;

// The frame buffer holds a frame from its 0xEE mark to its end byte.
constexpr std::size_t kRxFrameBufferSize = 400;
constexpr std::size_t kRxFrameOverhead = 13;  // mark, 10 header bytes, checksum, end
constexpr std::size_t kRxMaxPayload = kRxFrameBufferSize - kRxFrameOverhead;  // 387

class CKTVCommand {
public:
    CKTVCommand() = default;
    virtual ~CKTVCommand() = default;
    CKTVCommand(const CKTVCommand &) = delete;
    CKTVCommand &operator=(const CKTVCommand &) = delete;

    // The window that receives the parser's notices (the main view).
    void SetOwner(IMessageTarget *owner) { m_pOwner = owner; }
    IMessageTarget *GetOwner() const { return m_pOwner; }

    // ---- send queue -----------------------------------------------------------------------
    // Appends at the tail; the queue owns the item from now on. A null item is ignored.
    void Add(std::unique_ptr<CSendData> item);
    int GetCount() const { return m_queue.GetCount(); }
    // The head item, null when the queue is empty.
    CSendData *GetFront() const { return m_queue.GetFront(); }
    // Deletes the head and clears the receive status marks; nothing on an empty queue.
    void PopFront();
    // Deletes every item and resets the reply assembler.
    void RemoveAll();
    // The head is sent again from its first byte; nothing on an empty queue.
    void RewindFront();
    // Marks the head as refused by the device; nothing on an empty queue.
    void MarkFrontNaked();

    // Input-block writes (SYS_INPUT) added so far, and those that have left the queue (answered,
    // or dropped with the queue). Status notices are stamped with the second count
    // (link/LinkMessages.h); the UI thread reads both without the link lock.
    std::uint32_t InputWritesQueued() const { return m_inputWritesQueued.load(); }
    std::uint32_t InputWritesDone() const { return m_inputWritesDone.load(); }

    // ---- reply assembler and parser ---------------------------------------------------------
    // The transports hand over what arrived; each returns the assembler's result: 1 when a frame
    // completed and was acknowledged, answered with data or ignored, 0 otherwise (no frame yet, a
    // rejected or refused frame, a reply dropped in the hello phase). Every complete frame of the
    // chunk is parsed; bytes after a frame are kept for the next one.
    //
    // One input report (report id, then 64 frame bytes); n is the number of bytes read. 1 when n is 0.
    int OnUsbReport(const HidReport &report, int n);
    int OnNetData(const std::uint8_t *data, int n);
    int OnSerialByte(std::uint8_t b);
    int Assemble(const std::uint8_t *data, int n);

    // Back to hunting for a header; a half-assembled frame is forgotten.
    void ResetParser();

    // 1 when the head item is the Wi-Fi module reset: WM_LINK_WIFI_RESET_DONE is posted to the view
    // (lParam = accepted) and on a refusal the item is removed.
    int NotifyMainWindow(int accepted);

    // Ends a firmware update whose last stage needs no answer: success tip, update bar to its end,
    // g_bUpdateFinished, WM_LINK_UPDATE_DONE (0x39), head removed.
    void FinishUpdate();

    // Refusals (0x52) parsed so far. A transport compares it around a read to see that the head it
    // sent was refused, and so rewound: it ends the step and the next step sends the head again.
    unsigned Refusals() const { return m_refusals; }

    // The assembler's state, for tests.
    bool IsAssembling() const { return m_inFrame != 0; }
    int GetHeaderRun() const { return m_headerRun; }

protected:
    // Clears the reply assembler's state; called by RemoveAll.
    virtual void ResetAssembler() { ResetParser(); }

private:
    int ParseFrame();
    int OnDataReply();
    int StoreBlock();
    int OnSystemReply();
    void OnStatusReply();
    void UpdateProgress();
    void Post(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);

    CSendDataQueue m_queue;
    IMessageTarget *m_pOwner = nullptr;

    std::array<std::uint8_t, kRxFrameBufferSize> m_frame{};
    int m_framePos = 0;
    int m_expected = 0;
    int m_headerRun = 0;
    int m_inFrame = 0;
    int m_dataStageBegun = 0;
    unsigned m_refusals = 0;
    std::atomic<std::uint32_t> m_inputWritesQueued{0};
    std::atomic<std::uint32_t> m_inputWritesDone{0};
    // Header fields of the frame being parsed.
    int m_command = 0, m_preset = 0, m_objType = 0, m_channel = 0, m_param = 0, m_payloadLen = 0;
};
