#pragma once
// A simulated ZK-470 for end-to-end tests and benchmarks. It keeps its own frame codec (written
// from the wire format, not from the program's builders) so that it is a second opinion on every
// byte the program sends.
//
// Use:
//   zksim::Device dev;                       // "MPQX-DV1.00", default images, status levels
//   zksim::TcpServer srv(dev);               // listens on 127.0.0.1, port chosen by the system
//   ... point the program at 127.0.0.1:srv.Port() ...
//   dev.Requests()                           // every well-formed frame the device received
//
//   zksim::HidDevice hid(dev);               // the same device behind an in-process HID transport
//   CUsbHid usb(hid.Backend(), ...);         // link/UsbHid.h; the path is zksim::HidDevice::kPath
//
// What the device answers (replies repeat the request's preset, object type, channel and parameter):
//   read  (0xA2) system 0xCC hello          -> data (0x53), 1 byte 0
//   read  system 4 version / 3 status        -> data: 11 version bytes / 15 status bytes
//   read  system 0 name (preset p)           -> data: 15 name bytes of preset p (0: current)
//   read  system 2, 5, 6, 52, 64             -> data: the stored system values
//   read  object 1..4 (block)                -> data: the block of machine preset p when the
//                                               parameter is 'w' and p is 1..6, else of the current
//                                               image; parameter 0 with p 1..6 first recalls preset p
//   write (0xA1) object 1..4, length 8       -> item k (= parameter) of the current image; ack (0x51)
//   write object 1..4, whole block           -> block of preset p (1..6) or of the current image; ack
//   write system 0/2/5/6/52/64/65/96         -> stored (2 also sets status byte 14, the input
//                                               playing; 52 recalls machine preset n, 0: none
//                                               current; 96 restores the factory images); ack
//   write system 0x36..0x3B, 0xFF (firmware) -> recorded in Stages(); ack with the stage as channel
//   anything else                            -> refusal (0x52)
// Bytes that do not form a frame (the boot-loader filler, report-id bytes) are skipped.
//
// Faults (thread-safe, take effect on the next request the device answers):
//   SetSilent / SilenceNext   no reply at all          SetReplyDelay   every reply this late
//   RefuseNext                refusal instead          CorruptNext     reply with a wrong checksum
//   SetSplit                  replies cut into chunks of at most n bytes (TCP: one send each)
//   JoinNext                  the reply travels in one chunk behind a device notice frame (command
//                             0x54, which the program must ignore)
//   IgnorableNext             the next n replies are replaced by a device notice alone
//   FalseStartNext            the next n replies come behind line noise holding a false header
//                             (0x91 0x91 0x91 0xEE with a length no frame can have)
//   CloseAfter                the transport drops the connection (TCP) or unplugs (HID) after
//                             answering n more requests
//   SetNeedsFirmware          every data reply is empty (the device's "update me" answer)
//   FailStage                 refuse, ignore or drop the link at one firmware stage once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace zksim {

constexpr std::size_t kImageSize = 4392;
using Image = std::array<std::uint8_t, kImageSize>;
using Bytes = std::vector<std::uint8_t>;

// One decoded frame.
struct Frame {
    std::uint8_t cmd = 0, addr = 0, preset = 0, type = 0, channel = 0, param = 0, link = 0;
    Bytes payload;
    Bytes raw;  // the frame as it travelled, 0x91 0x91 0x91 0xEE .. 0xAA
};

// Builds a frame: header, payload, XOR checksum over command..payload, end byte 0xAA.
Bytes BuildFrame(std::uint8_t cmd, std::uint8_t preset, std::uint8_t type, std::uint8_t channel,
                 std::uint8_t param, const Bytes &payload, std::uint8_t link = 0);

// What the device sends back for one chunk of host bytes.
struct Response {
    std::vector<Bytes> chunks;  // each chunk is one send (TCP) or is cut into reports (HID)
    int delayMs = 0;            // wait this long before sending
    bool close = false;         // drop the connection / unplug after sending
};

class Device {
public:
    Device();

    // Feeds host bytes (any chunking) and returns what the device sends back.
    Response Receive(const std::uint8_t *data, std::size_t n);
    // Forgets a half-received frame (a new connection starts clean).
    void ResetReceiver();

    // Faults.
    void SetSilent(bool silent);
    void SilenceNext(int n);
    void SetReplyDelay(int ms);
    void RefuseNext(int n);
    void CorruptNext(int n);
    void SetSplit(std::size_t chunk);
    void JoinNext(int n);
    void IgnorableNext(int n);
    void FalseStartNext(int n);
    void CloseAfter(int requests);  // -1: never
    void SetNeedsFirmware(bool on);
    enum class StageFault { Refuse, Ignore, Close };
    void FailStage(std::uint8_t stage, StageFault fault);

    // State.
    std::vector<Frame> Requests() const;
    std::size_t RequestCount() const;
    void ClearRequests();
    Bytes Stages() const;  // firmware stages received, in order
    Image CurrentImage() const;
    Image PresetImage(int preset) const;  // 1..6
    void SetCurrentImage(const Image &img);
    void SetPresetImage(int preset, const Image &img);
    void SetVersion(const std::string &version);  // first 11 bytes are sent
    void SetStatus(const std::array<std::uint8_t, 15> &status);
    std::array<std::uint8_t, 8> SysBlock(int id) const;  // 2, 5 or 6
    int CurrentPreset() const;
    int FactoryResets() const;

private:
    Response Answer(const Frame &f);
    Bytes Reply(const Frame &req, std::uint8_t cmd, const Bytes &payload) const;
    Bytes ReadBlock(const Frame &f) const;
    void WriteBlock(const Frame &f);
    void FactoryDefaults();

    mutable std::mutex m_mutex;
    Bytes m_rx;  // bytes of the frame being received (from the 0x91 run on)
    int m_headerRun = 0;
    bool m_inFrame = false;

    Image m_current{};
    std::array<Image, 6> m_presets{};
    std::array<std::uint8_t, 8> m_sys2{}, m_sys5{}, m_speakers{};
    std::array<std::uint8_t, 66> m_modeTable{};
    std::array<std::uint8_t, 15> m_status{};
    std::string m_version = "MPQX-DV1.00";
    int m_curPreset = 1;
    int m_factoryResets = 0;

    bool m_silent = false;
    int m_silenceNext = 0, m_delayMs = 0, m_refuseNext = 0, m_corruptNext = 0, m_joinNext = 0, m_ignorableNext = 0;
    int m_falseStartNext = 0;
    int m_closeAfter = -1;
    std::size_t m_split = 0;
    bool m_needsFirmware = false;
    int m_failStage = -1;
    StageFault m_stageFault = StageFault::Refuse;

    std::vector<Frame> m_requests;
    Bytes m_stages;
};

}  // namespace zksim
