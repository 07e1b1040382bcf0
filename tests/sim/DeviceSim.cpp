#include "tests/sim/DeviceSim.h"

#include <algorithm>
#include <cstring>

namespace zksim {
namespace {

constexpr std::uint8_t kRead = 0xA2, kWrite = 0xA1, kAck = 0x51, kNak = 0x52, kData = 0x53;
constexpr std::uint8_t kNotice = 0x54;  // a frame the program has no use for
constexpr std::uint8_t kObjMic = 1, kObjEffect = 2, kObjMusic = 3, kObjOutput = 4, kObjSystem = 9;
constexpr std::size_t kMaxPayload = 400;

struct BlockSpan {
    std::size_t offset = 0, size = 0, wholePayload = 0;
    bool ok = false;
};

BlockSpan Block(std::uint8_t type, std::uint8_t channel)
{
    switch (type) {
    case kObjMic: return {0xB8, 112, 112, channel == 0};
    case kObjEffect: return {0x20, 152, 96, true};
    case kObjMusic: return {0x128 + channel * 288u, 288, 288, channel < 6};
    case kObjOutput: return {0x7E8 + channel * 296u, 296, 296, channel < 8};
    default: return {};
    }
}

}  // namespace

Bytes BuildFrame(std::uint8_t cmd, std::uint8_t preset, std::uint8_t type, std::uint8_t channel,
                 std::uint8_t param, const Bytes &payload, std::uint8_t link)
{
    Bytes f{0x91, 0x91, 0x91, 0xEE, cmd, 1, preset, type, channel, param, link, 0,
            static_cast<std::uint8_t>(payload.size() & 0xFF),
            static_cast<std::uint8_t>(payload.size() >> 8)};
    f.insert(f.end(), payload.begin(), payload.end());
    std::uint8_t x = 0;
    for (std::size_t i = 4; i < f.size(); ++i)
        x ^= f[i];
    f.push_back(x);
    f.push_back(0xAA);
    return f;
}

Device::Device() { FactoryDefaults(); }

void Device::FactoryDefaults()
{
    m_current.fill(0);
    const char *defaultName = "Default";
    std::memcpy(m_current.data(), defaultName, std::strlen(defaultName));
    for (int p = 0; p < 6; ++p) {
        m_presets[p].fill(0);
        std::string name = "Preset" + std::to_string(p + 1);
        std::memcpy(m_presets[p].data(), name.data(), name.size());
    }
    m_sys2 = {1, 0, 0, 0, 0, 0, 0, 0};
    m_sys5 = {0, 0, 0, 60, 0, 0, 0, 60};
    m_speakers = {};
    m_modeTable = {};
    for (std::size_t i = 0; i < m_status.size(); ++i)
        m_status[i] = static_cast<std::uint8_t>(i < 14 ? 10 + i : m_sys2[0]);
    m_curPreset = 1;
}

void Device::ResetReceiver()
{
    std::lock_guard lock(m_mutex);
    m_rx.clear();
    m_headerRun = 0;
    m_inFrame = false;
}

Response Device::Receive(const std::uint8_t *data, std::size_t n)
{
    std::vector<Frame> frames;
    {
        std::lock_guard lock(m_mutex);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t b = data[i];
            if (!m_inFrame) {
                if (b == 0x91) {
                    ++m_headerRun;
                } else if (b == 0xEE && m_headerRun >= 3) {
                    m_inFrame = true;
                    m_rx = {0x91, 0x91, 0x91, 0xEE};
                    m_headerRun = 0;
                } else {
                    m_headerRun = 0;
                }
                continue;
            }
            m_rx.push_back(b);
            if (m_rx.size() < 14)
                continue;
            const std::size_t len = m_rx[12] | (m_rx[13] << 8);
            if (len > kMaxPayload) {  // not a frame of ours: hunt again
                m_inFrame = false;
                m_rx.clear();
                continue;
            }
            if (m_rx.size() < len + 16)
                continue;
            m_inFrame = false;
            std::uint8_t x = 0;
            for (std::size_t k = 4; k < len + 14; ++k)
                x ^= m_rx[k];
            if (x == m_rx[len + 14] && m_rx[len + 15] == 0xAA) {
                Frame f;
                f.cmd = m_rx[4];
                f.addr = m_rx[5];
                f.preset = m_rx[6];
                f.type = m_rx[7];
                f.channel = m_rx[8];
                f.param = m_rx[9];
                f.link = m_rx[10];
                f.payload.assign(m_rx.begin() + 14, m_rx.begin() + 14 + len);
                f.raw = m_rx;
                frames.push_back(std::move(f));
            }
            m_rx.clear();
        }
    }
    Response out;
    for (const Frame &f : frames) {
        Response r = Answer(f);
        out.chunks.insert(out.chunks.end(), r.chunks.begin(), r.chunks.end());
        out.delayMs = std::max(out.delayMs, r.delayMs);
        out.close = out.close || r.close;
    }
    return out;
}

Bytes Device::Reply(const Frame &req, std::uint8_t cmd, const Bytes &payload) const
{
    return BuildFrame(cmd, req.preset, req.type, req.channel, req.param, payload);
}

Bytes Device::ReadBlock(const Frame &f) const
{
    const BlockSpan b = Block(f.type, f.channel);
    const Image &src = (f.param == 'w' && f.preset >= 1 && f.preset <= 6) ? m_presets[f.preset - 1]
                                                                          : m_current;
    return Bytes(src.begin() + b.offset, src.begin() + b.offset + b.wholePayload);
}

void Device::WriteBlock(const Frame &f)
{
    const BlockSpan b = Block(f.type, f.channel);
    if (f.payload.size() == 8 && b.wholePayload != 8) {  // one 8-byte item
        const std::size_t at = b.offset + f.param * 8u;
        if (at + 8 <= b.offset + b.size)
            std::copy(f.payload.begin(), f.payload.end(), m_current.begin() + at);
        return;
    }
    Image &dst = (f.preset >= 1 && f.preset <= 6) ? m_presets[f.preset - 1] : m_current;
    const std::size_t n = std::min(f.payload.size(), b.size);
    std::copy(f.payload.begin(), f.payload.begin() + n, dst.begin() + b.offset);
}

Response Device::Answer(const Frame &f)
{
    std::lock_guard lock(m_mutex);
    m_requests.push_back(f);
    Response r;
    r.delayMs = m_delayMs;
    if (m_closeAfter > 0 && --m_closeAfter == 0) {
        r.close = true;
        m_closeAfter = -1;
    }
    if (m_silent)
        return r;
    if (m_silenceNext > 0) {
        --m_silenceNext;
        return r;
    }

    Bytes reply;
    const bool isStage = f.cmd == kWrite && f.type == kObjSystem &&
                         ((f.channel >= 0x36 && f.channel <= 0x3B) || f.channel == 0xFF);
    if (m_refuseNext > 0) {
        --m_refuseNext;
        reply = Reply(f, kNak, {});
    } else if (isStage) {
        m_stages.push_back(f.channel);
        if (m_failStage == f.channel) {
            m_failStage = -1;
            if (m_stageFault == StageFault::Ignore)
                return r;
            if (m_stageFault == StageFault::Close) {  // restarts without a word: the link drops
                r.close = true;
                return r;
            }
            reply = Reply(f, kNak, {});
        } else {
            reply = Reply(f, kAck, {});
        }
    } else if (f.cmd == kRead && m_needsFirmware) {
        reply = Reply(f, kData, {});
    } else if (f.cmd == kRead && f.type == kObjSystem) {
        Bytes p;
        switch (f.channel) {
        case 0xCC: p = {0}; break;
        case 4:
            p.assign(11, ' ');
            std::copy_n(m_version.begin(), std::min<std::size_t>(11, m_version.size()), p.begin());
            break;
        case 3: p.assign(m_status.begin(), m_status.end()); break;
        case 0: {
            const Image &src = (f.preset >= 1 && f.preset <= 6) ? m_presets[f.preset - 1] : m_current;
            p.assign(src.begin(), src.begin() + 15);
            break;
        }
        case 2: p.assign(m_sys2.begin(), m_sys2.end()); break;
        case 5: p.assign(m_sys5.begin(), m_sys5.end()); break;
        case 6: p.assign(m_speakers.begin(), m_speakers.end()); break;
        case 52: p = {static_cast<std::uint8_t>(m_curPreset)}; break;
        case 64: p.assign(m_modeTable.begin(), m_modeTable.end()); break;
        default: break;
        }
        reply = p.empty() ? Reply(f, kNak, {}) : Reply(f, kData, p);
    } else if (f.cmd == kRead && Block(f.type, f.channel).ok) {
        // A plain read naming machine preset n recalls it: it becomes the current preset.
        if (f.param != 'w' && f.preset >= 1 && f.preset <= 6 && f.preset != m_curPreset) {
            m_curPreset = f.preset;
            m_current = m_presets[f.preset - 1];
        }
        reply = Reply(f, kData, ReadBlock(f));
    } else if (f.cmd == kWrite && Block(f.type, f.channel).ok) {
        WriteBlock(f);
        reply = Reply(f, kAck, {});
    } else if (f.cmd == kWrite && f.type == kObjSystem) {
        const Bytes &p = f.payload;
        bool ok = true;
        switch (f.channel) {
        case 0: {
            Image &dst = (f.preset >= 1 && f.preset <= 6) ? m_presets[f.preset - 1] : m_current;
            std::fill_n(dst.begin(), 16, 0);
            std::copy_n(p.begin(), std::min<std::size_t>(15, p.size()), dst.begin());
            break;
        }
        case 2:
            std::copy_n(p.begin(), std::min<std::size_t>(8, p.size()), m_sys2.begin());
            // The status reports the input now playing.
            m_status[14] = m_sys2[0];
            break;
        case 5: std::copy_n(p.begin(), std::min<std::size_t>(8, p.size()), m_sys5.begin()); break;
        case 6: std::copy_n(p.begin(), std::min<std::size_t>(8, p.size()), m_speakers.begin()); break;
        case 52:
            if (!p.empty() && p[0] >= 1 && p[0] <= 6) {
                m_curPreset = p[0];
                m_current = m_presets[p[0] - 1];
            } else if (!p.empty() && p[0] == 0) {
                m_curPreset = 0;  // no machine preset is current (it was deleted)
            } else {
                ok = false;
            }
            break;
        case 64: std::copy_n(p.begin(), std::min<std::size_t>(66, p.size()), m_modeTable.begin()); break;
        case 65: break;
        case 96:
            FactoryDefaults();
            ++m_factoryResets;
            break;
        default: ok = false; break;
        }
        reply = Reply(f, ok ? kAck : kNak, {});
    } else {
        reply = Reply(f, kNak, {});
    }

    if (m_ignorableNext > 0) {
        --m_ignorableNext;
        reply = BuildFrame(kNotice, 0, kObjSystem, 0, 0, {1, 2, 3});
    }
    if (m_corruptNext > 0) {
        --m_corruptNext;
        reply[reply.size() - 2] ^= 0x01;
    }
    if (m_joinNext > 0) {
        --m_joinNext;
        Bytes joined = BuildFrame(kNotice, 0, kObjSystem, 0, 0, {1, 2, 3});
        joined.insert(joined.end(), reply.begin(), reply.end());
        reply = std::move(joined);
    }
    if (m_falseStartNext > 0) {
        --m_falseStartNext;
        // Line noise that looks like a header: its length field announces 0xFFFF payload bytes.
        Bytes noisy = {0x91, 0x91, 0x91, 0xEE, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x01, 0xFF, 0xFF};
        noisy.insert(noisy.end(), reply.begin(), reply.end());
        reply = std::move(noisy);
    }
    if (m_split > 0) {
        for (std::size_t at = 0; at < reply.size(); at += m_split)
            r.chunks.emplace_back(reply.begin() + at,
                                  reply.begin() + std::min(reply.size(), at + m_split));
    } else {
        r.chunks.push_back(std::move(reply));
    }
    return r;
}

void Device::SetSilent(bool silent) { std::lock_guard l(m_mutex); m_silent = silent; }
void Device::SilenceNext(int n) { std::lock_guard l(m_mutex); m_silenceNext = n; }
void Device::SetReplyDelay(int ms) { std::lock_guard l(m_mutex); m_delayMs = ms; }
void Device::RefuseNext(int n) { std::lock_guard l(m_mutex); m_refuseNext = n; }
void Device::CorruptNext(int n) { std::lock_guard l(m_mutex); m_corruptNext = n; }
void Device::SetSplit(std::size_t chunk) { std::lock_guard l(m_mutex); m_split = chunk; }
void Device::JoinNext(int n) { std::lock_guard l(m_mutex); m_joinNext = n; }
void Device::IgnorableNext(int n) { std::lock_guard l(m_mutex); m_ignorableNext = n; }
void Device::FalseStartNext(int n) { std::lock_guard l(m_mutex); m_falseStartNext = n; }
void Device::CloseAfter(int requests) { std::lock_guard l(m_mutex); m_closeAfter = requests; }
void Device::SetNeedsFirmware(bool on) { std::lock_guard l(m_mutex); m_needsFirmware = on; }
void Device::FailStage(std::uint8_t stage, StageFault fault)
{
    std::lock_guard l(m_mutex);
    m_failStage = stage;
    m_stageFault = fault;
}

std::vector<Frame> Device::Requests() const { std::lock_guard l(m_mutex); return m_requests; }
std::size_t Device::RequestCount() const { std::lock_guard l(m_mutex); return m_requests.size(); }
void Device::ClearRequests() { std::lock_guard l(m_mutex); m_requests.clear(); }
Bytes Device::Stages() const { std::lock_guard l(m_mutex); return m_stages; }
Image Device::CurrentImage() const { std::lock_guard l(m_mutex); return m_current; }
Image Device::PresetImage(int preset) const
{
    std::lock_guard l(m_mutex);
    return m_presets.at(static_cast<std::size_t>(preset - 1));
}
void Device::SetCurrentImage(const Image &img) { std::lock_guard l(m_mutex); m_current = img; }
void Device::SetPresetImage(int preset, const Image &img)
{
    std::lock_guard l(m_mutex);
    m_presets.at(static_cast<std::size_t>(preset - 1)) = img;
}
void Device::SetVersion(const std::string &version) { std::lock_guard l(m_mutex); m_version = version; }
void Device::SetStatus(const std::array<std::uint8_t, 15> &status)
{
    std::lock_guard l(m_mutex);
    m_status = status;
}
std::array<std::uint8_t, 8> Device::SysBlock(int id) const
{
    std::lock_guard l(m_mutex);
    return id == 2 ? m_sys2 : id == 5 ? m_sys5 : m_speakers;
}
int Device::CurrentPreset() const { std::lock_guard l(m_mutex); return m_curPreset; }
int Device::FactoryResets() const { std::lock_guard l(m_mutex); return m_factoryResets; }

}  // namespace zksim
