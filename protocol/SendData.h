#pragma once
// One queued frame with the marks that tell the transports and the reply parser how to send it
// and what to do when its reply comes. Items are touched only under the link lock g_csLink.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// One USB HID report: report id 0, then 64 frame bytes. Each transport keeps its own.
constexpr std::size_t kHidReportSize = 65;
constexpr std::size_t kHidReportPayload = 64;
using HidReport = std::array<std::uint8_t, kHidReportSize>;

class CSendData {
public:
    CSendData() = default;
    virtual ~CSendData() = default;
    CSendData(const CSendData &) = delete;
    CSendData &operator=(const CSendData &) = delete;

    // Attaches the frame (the item owns it) and sets the length to its size.
    void SetData(std::vector<std::uint8_t> frame);
    const std::uint8_t *GetData() const { return m_frame.data(); }
    const std::vector<std::uint8_t> &Frame() const { return m_frame; }
    // The number of frame bytes to send; clamped to the attached frame's size.
    void SetLength(int length);
    int GetLength() const { return m_length; }

    void SetRetryCount(int n) { m_retryCount = n; }
    int GetRetryCount() const { return m_retryCount; }

    // With a link mode set: the pending field; with none: whether reports remain to be cut.
    void SetPending(int flag) { m_pending = flag; }
    int IsPending() const;

    void SetSendNow(int flag) { m_sendNow = flag; }
    int GetSendNow() const { return m_sendNow; }
    void SetIndex(int index) { m_index = index; }
    int GetIndex() const { return m_index; }

    // The getters answer the flag while a link mode is set, or once the whole frame has been cut.
    void SetNotifyDone(int flag) { m_notifyDone = flag; }
    int GetNotifyDone() const;
    void SetLastInBatch(int flag) { m_lastInBatch = flag; }
    int GetLastInBatch() const;

    void SetSpare1(int v) { m_spare1 = v; }
    int GetSpare1() const { return m_spare1; }
    void SetSpare2(int v) { m_spare2 = v; }
    int GetSpare2() const { return m_spare2; }

    int GetWaitReply() const { return 0; }
    int GetDone() const { return 0; }

    void SetCommand(int command) { m_command = command; }
    int GetCommand() const { return m_command; }
    void SetNoProgress(int flag) { m_noProgress = flag; }
    int GetNoProgress() const { return m_noProgress; }
    void SetNotifyMain(int flag) { m_notifyMain = flag; }
    int GetNotifyMain() const { return m_notifyMain; }
    void SetNaked(int flag) { m_naked = flag; }
    int IsNaked() const { return m_naked; }

    // Cuts the next report into `report`: byte 0 = 0, then up to 64 frame bytes from the send
    // position, zero fill. False (report untouched) once the whole frame has been cut.
    bool NextHidReport(HidReport &report);
    // The next send starts again with the first report.
    void ResetPosition() { m_sendPos = 0; }
    int GetSendPosition() const { return m_sendPos; }

private:
    std::vector<std::uint8_t> m_frame;
    int m_length = 0;
    int m_retryCount = 0;
    int m_pending = 1;
    int m_sendNow = 0;
    int m_index = 0;
    int m_notifyDone = 0;
    int m_lastInBatch = 0;
    int m_spare1 = 0;
    int m_spare2 = 0;
    int m_sendPos = 0;
    int m_command = 0;
    int m_noProgress = 0;
    int m_notifyMain = 0;
    int m_naked = 0;
};
