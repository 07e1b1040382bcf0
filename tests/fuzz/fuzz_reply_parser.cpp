// Device bytes of any shape through the reply assembler and parser: arbitrary chunking, every
// command, object type, preset byte and length, with queue items of every kind at the head.

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"

#include <cstddef>
#include <cstdint>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static NullTarget target;
    static Bar bar;
    static bool once = [] {
        ResetDeviceImageGlobals();
        g_pNotifyView = &target;
        g_pXferBar = &bar;
        g_pUpdateBar = &bar;
        return true;
    }();
    (void)once;
    if (size < 2)
        return 0;

    std::lock_guard lock(g_csLink);
    CKTVCommand cmd;
    cmd.SetOwner(&target);
    const std::uint8_t mode = data[0];
    g_bHelloPhase = mode & 1;
    g_bMcuImagePresent = (mode >> 1) & 1;
    g_nLinkMode = (mode >> 2) & 3;
    for (int i = 0; i < 4; ++i) {
        auto item = BuildSystemRequestFrame(SYS_STATUS, 0);
        item->SetIndex(i);
        item->SetLastInBatch((mode >> 4) & 1);
        item->SetNotifyMain(i == 1 && ((mode >> 5) & 1));
        item->SetNoProgress(i == 2 && ((mode >> 6) & 1));
        item->SetCommand((mode >> 7) ? 0x36 + (i * 3) % 7 : 0);
        cmd.Add(std::move(item));
    }
    // The second byte picks the chunk size: 1 (serial), 64 (USB reports) or anything (TCP).
    const std::size_t chunk = data[1] == 0 ? 1 : data[1];
    std::size_t at = 2;
    while (at < size) {
        const std::size_t n = size - at < chunk ? size - at : chunk;
        if (chunk == 64) {
            HidReport report{};
            for (std::size_t k = 0; k < n; ++k)
                report[k + 1] = data[at + k];
            cmd.OnUsbReport(report, static_cast<int>(n + 1));
        } else {
            cmd.OnNetData(data + at, static_cast<int>(n));
        }
        at += n;
    }
    cmd.RemoveAll();
    g_nLinkMode = 0;
    return 0;
}
