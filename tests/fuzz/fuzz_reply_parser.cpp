// Device replies through the reply assembler and parser as a link delivers them: whole frames with
// a correct checksum and end byte, so that the block, system, status, refusal and firmware-stage
// handlers run, now and then damaged, in chunks of any size (serial bytes, USB reports, TCP
// chunks), with queue items of every kind at the head.
//
// Input: a mode byte, a chunk-size byte, then frame descriptions of 8 bytes each followed by their
// payload bytes (fewer left in the input: zeros):
//   command selector, preset, object type selector, channel selector, parameter, length low,
//   length high (masked to 0..511, so some frames exceed the 387 bytes the parser holds), damage.

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

class NullTarget : public IMessageTarget {
public:
    void PostMessage(unsigned, WPARAM, LPARAM) override {}
};

class Bar : public ILinkProgress {
public:
    void SetPos(int p) override { pos = p < upper ? p : upper; }
    int GetPos() const override { return pos; }
    int GetRangeUpper() const override { return upper; }
    int pos = 0, upper = 50;
};

class Tip : public ILinkTip {
public:
    void SetText(const std::string &) override {}
};

constexpr std::array<std::uint8_t, 4> kCommands = {REPLY_ACK, REPLY_NAK, REPLY_DATA, REPLY_DATA};
constexpr std::array<std::uint8_t, 6> kObjects = {OBJ_MIC, OBJ_EFFECT, OBJ_MUSIC, OBJ_OUTPUT, OBJ_SYSTEM, OBJ_SYSTEM};
constexpr std::array<std::uint8_t, 17> kChannels = {SYS_NAME, SYS_INPUT, SYS_STATUS, SYS_VERSION, SYS_VOLUME,
                                                    SYS_SPEAKERS, SYS_PRESET_NUMBER, SYS_MODE_TABLE, SYS_HELLO,
                                                    0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 7};

// Reads the input front to back; past its end every byte is 0.
struct Reader {
    const std::uint8_t *data;
    std::size_t size;
    std::size_t at = 0;
    bool More() const { return at < size; }
    std::uint8_t Next() { return at < size ? data[at++] : 0; }
};

// One frame as the device sends it: 91 91 91 EE, header, payload, XOR checksum, AA.
void AppendFrame(Reader &in, std::vector<std::uint8_t> &out)
{
    const std::uint8_t cmdSel = in.Next();
    const std::uint8_t preset = in.Next();
    const std::uint8_t objSel = in.Next();
    const std::uint8_t chSel = in.Next();
    const std::uint8_t param = in.Next();
    const std::size_t length = in.Next() | ((in.Next() & 0x01) << 8);
    const std::uint8_t damage = in.Next();

    const std::uint8_t command = (cmdSel & 0x80) ? cmdSel : kCommands[cmdSel % kCommands.size()];
    const std::uint8_t object = (objSel & 0x80) ? objSel : kObjects[objSel % kObjects.size()];
    const std::uint8_t channel = (chSel & 0x80) ? (chSel & 0x7F) : kChannels[chSel % kChannels.size()];
    const std::size_t begin = out.size();
    out.insert(out.end(), {0x91, 0x91, 0x91, 0xEE, command, 1, preset, object, channel,
                           static_cast<std::uint8_t>((param & 1) ? kStoredReadMark : param), 0, 0,
                           static_cast<std::uint8_t>(length & 0xFF), static_cast<std::uint8_t>(length >> 8)});
    for (std::size_t i = 0; i < length; ++i)
        out.push_back(in.Next());
    std::uint8_t x = 0;
    for (std::size_t i = begin + 4; i < out.size(); ++i)
        x ^= out[i];
    out.push_back(x);
    out.push_back(0xAA);
    switch (damage & 0x0F) {
    case 1: out[out.size() - 2] ^= 0x01; break;               // checksum off by one bit
    case 2: out.back() = 0xAB; break;                          // wrong end byte
    case 3: out.resize(out.size() - 1 - (damage >> 4)); break;  // cut short: the next frame follows
    case 4: out.insert(out.begin() + static_cast<std::ptrdiff_t>(begin), 0x91); break;  // four 0x91
    default: break;
    }
}

void QueueItems(CKTVCommand &cmd, std::uint8_t mode)
{
    for (int i = 0; i < 8; ++i) {
        auto item = BuildSystemRequestFrame(SYS_STATUS, 0);
        item->SetIndex(i);
        item->SetLastInBatch((mode >> 4) & 1);
        item->SetNotifyDone(i == 3);
        item->SetNotifyMain(i == 1 && ((mode >> 5) & 1));
        item->SetNoProgress(i == 2 && ((mode >> 6) & 1));
        item->SetCommand((mode >> 7) ? 0x36 + (i * 3) % 7 : 0);
        cmd.Add(std::move(item));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static NullTarget target;
    static Bar bar;
    static Tip tip;
    static bool once = [] {
        ResetDeviceImageGlobals();
        g_pNotifyView = &target;
        g_pXferBar = &bar;
        g_pUpdateBar = &bar;
        g_pUpdateTip = &tip;
        return true;
    }();
    (void)once;
    if (size < 2)
        return 0;

    Reader in{data, size};
    const std::uint8_t mode = in.Next();
    const std::uint8_t chunkSel = in.Next();
    std::vector<std::uint8_t> stream;
    while (in.More() && stream.size() < 64 * 1024)
        AppendFrame(in, stream);

    std::lock_guard lock(g_csLink);
    CKTVCommand cmd;
    cmd.SetOwner(&target);
    g_bHelloPhase = mode & 1;
    g_bMcuImagePresent = (mode >> 1) & 1;
    g_nLinkMode = (mode >> 2) & 3;
    g_bUpdateCancelled = (mode >> 3) & 1;
    QueueItems(cmd, mode);
    // 0: serial bytes one by one; 64: USB reports; anything else: TCP chunks of that size.
    const std::size_t chunk = chunkSel == 0 ? 1 : chunkSel;
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t n = std::min(stream.size() - at, chunk);
        if (chunk == 64) {
            HidReport report{};
            for (std::size_t k = 0; k < n; ++k)
                report[k + 1] = stream[at + k];
            cmd.OnUsbReport(report, static_cast<int>(n + 1));
        } else if (chunk == 1) {
            cmd.OnSerialByte(stream[at]);
        } else {
            cmd.OnNetData(stream.data() + at, static_cast<int>(n));
        }
        at += n;
        if (cmd.GetCount() == 0)
            QueueItems(cmd, mode);
    }
    cmd.RemoveAll();
    g_nLinkMode = 0;
    g_bHelloPhase = 0;
    g_bUpdateCancelled = 0;
    return 0;
}
