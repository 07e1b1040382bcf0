// The reply assembler and parser: frames hunted across chunks, checked, matched with the head of the
// send queue and stored where they belong.

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"
#include "tests/support/TestDoubles.h"
#include "tests/sim/DeviceSim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using zksim::Bytes;

Bytes Reply(std::uint8_t cmd, std::uint8_t preset, std::uint8_t type, std::uint8_t channel, std::uint8_t param,
            const Bytes &payload = {})
{
    return zksim::BuildFrame(cmd, preset, type, channel, param, payload);
}
Bytes Ack() { return Reply(REPLY_ACK, 0, OBJ_SYSTEM, SYS_STATUS, 0); }
Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

class ReplyParser : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDeviceImageGlobals();
        ResetLinkState();
        cmd.SetOwner(&view);
        g_pNotifyView = &view;
    }
    void TearDown() override
    {
        g_pNotifyView = nullptr;
        g_pXferBar = nullptr;
        g_pUpdateBar = nullptr;
        g_pUpdateTip = nullptr;
    }
    CSendData *Queue(int index = 0)
    {
        auto item = BuildSystemRequestFrame(SYS_STATUS, 0);
        item->SetIndex(index);
        CSendData *raw = item.get();
        cmd.Add(std::move(item));
        return raw;
    }
    int Feed(const Bytes &b) { return cmd.OnNetData(b.data(), static_cast<int>(b.size())); }

    CKTVCommand cmd;
    CRecordingMessageTarget view;
};

TEST_F(ReplyParser, HeaderIsFoundAcrossChunksOnlyAfterExactlyThreeStartBytes)
{
    const Bytes ack = Ack();
    const Bytes body(ack.begin() + 3, ack.end());  // from the 0xEE mark on
    struct Case {
        const char *name;
        std::vector<Bytes> chunks;
        bool parsed;
    } cases[] = {
        {"split 91 91 | 91 EE", {{0x91, 0x91}, Concat({{0x91}, body})}, true},
        {"split before the mark", {{0x91, 0x91, 0x91}, body}, true},
        {"junk before the header", {Concat({{0x00, 0x91, 0x55}, Ack()})}, true},
        {"four start bytes", {Concat({{0x91, 0x91, 0x91, 0x91}, body})}, false},
        {"two start bytes", {Concat({{0x91, 0x91}, body})}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        cmd.RemoveAll();
        Queue();
        int result = 0;
        for (const Bytes &chunk : c.chunks)
            result = Feed(chunk);
        EXPECT_EQ(result, c.parsed ? 1 : 0);
        EXPECT_EQ(cmd.GetCount(), c.parsed ? 0 : 1);
    }
}

TEST_F(ReplyParser, DamagedFramesAreDroppedSilentlyAndTheNextFrameIsParsed)
{
    Bytes badEnd = Ack();
    badEnd.back() = 0xAB;
    Bytes badSum = Ack();
    badSum[badSum.size() - 2] ^= 0x01;
    Bytes tooLong = Ack();
    tooLong[12] = 0x84;  // 388 payload bytes announced: more than the frame buffer holds
    tooLong[13] = 0x01;
    for (const Bytes &bad : {badEnd, badSum, tooLong}) {
        cmd.RemoveAll();
        Queue();
        EXPECT_EQ(Feed(bad), 0);
        EXPECT_EQ(cmd.GetCount(), 1);
        EXPECT_TRUE(view.Messages().empty());
        EXPECT_EQ(Feed(Ack()), 1);
        EXPECT_EQ(cmd.GetCount(), 0);
    }
}

TEST_F(ReplyParser, AFalseStartWithARefusedLengthCostsNoByteOfTheNextFrame)
{
    // 0x91 0x91 0x91 0xEE inside noise: its length field (the 10th and 11th bytes after the mark)
    // announces more than a frame holds. The hunt resumes right after its mark.
    const Bytes falseStart = {0x91, 0x91, 0x91, 0xEE};
    const Bytes noise7 = {0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    const Bytes tooLong = {0xFF, 0xFF};
    const Bytes ack = Ack();
    struct Case {
        const char *name;
        Bytes stream;
        std::size_t chunk;  // 0: in one chunk
    } cases[] = {
        {"a frame right after the length field", Concat({falseStart, noise7, {0x01}, tooLong, ack}), 0},
        {"a frame that began inside the false header", Concat({falseStart, noise7, ack}), 0},  // length 0x9191
        {"the same byte by byte", Concat({falseStart, noise7, ack}), 1},
        {"in chunks of 64 bytes behind noise", Concat({Bytes(60, 0x00), falseStart, noise7, ack}), 64},
        {"two false starts in a row", Concat({falseStart, noise7, falseStart, noise7, ack}), 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        cmd.RemoveAll();
        Queue();
        int result = 0;
        const std::size_t step = c.chunk ? c.chunk : c.stream.size();
        for (std::size_t at = 0; at < c.stream.size(); at += step)
            result |= Feed(Bytes(c.stream.begin() + at, c.stream.begin() + std::min(c.stream.size(), at + step)));
        EXPECT_EQ(result, 1);
        EXPECT_EQ(cmd.GetCount(), 0) << "the acknowledgement was parsed";
        EXPECT_FALSE(cmd.IsAssembling());
    }
}

TEST_F(ReplyParser, BytesAfterACompleteFrameAreKeptForTheNextOne)
{
    Queue();
    Queue();
    Queue();
    const Bytes ack = Ack();
    const Bytes two = Concat({ack, ack, Bytes(ack.begin(), ack.begin() + 7)});
    EXPECT_EQ(Feed(two), 1);
    EXPECT_EQ(cmd.GetCount(), 1);
    EXPECT_TRUE(cmd.IsAssembling());
    EXPECT_EQ(Feed(Bytes(ack.begin() + 7, ack.end())), 1);
    EXPECT_EQ(cmd.GetCount(), 0);
}

TEST_F(ReplyParser, AcknowledgementRefusalAndBatchNotices)
{
    CSendData *last = Queue(3);
    last->SetLastInBatch(1);
    g_nLinkMode = LINK_TCP;
    struct Bar : ILinkProgress {
        int pos = 0;
        void SetPos(int p) override { pos = p; }
        int GetPos() const override { return pos; }
        int GetRangeUpper() const override { return 100; }
    } bar;
    g_pXferBar = &bar;

    // A refusal rewinds and marks the head; it is not an answer.
    last->ResetPosition();
    HidReport report{};
    last->NextHidReport(report);
    EXPECT_EQ(Feed(Reply(REPLY_NAK, 0, OBJ_SYSTEM, SYS_STATUS, 0)), 0);
    ASSERT_EQ(cmd.GetFront(), last);
    EXPECT_EQ(last->GetSendPosition(), 0);
    EXPECT_TRUE(last->IsNaked());

    EXPECT_EQ(Feed(Ack()), 1);
    EXPECT_EQ(cmd.GetCount(), 0);
    EXPECT_EQ(bar.pos, 3);
    EXPECT_EQ(view.MessagesOf(WM_LINK_QUEUE_DONE),
              (std::vector<CRecordingMessageTarget::Message>{{WM_LINK_QUEUE_DONE, 0, 1}, {WM_LINK_QUEUE_DONE, 0, 1}}));

    view.Clear();
    Queue(4)->SetNotifyDone(1);
    Feed(Ack());
    EXPECT_EQ(view.MessagesOf(WM_LINK_QUEUE_DONE),
              (std::vector<CRecordingMessageTarget::Message>{{WM_LINK_QUEUE_DONE, 0, 0}}));
    g_nLinkMode = LINK_NONE;
}

TEST_F(ReplyParser, HelloPhaseAcceptsOnlyTheHelloAnswer)
{
    g_bHelloPhase = 1;
    Queue();
    EXPECT_EQ(Feed(Reply(REPLY_DATA, 0, OBJ_SYSTEM, SYS_VERSION, 0, Bytes(11, 'M'))), 0);
    EXPECT_EQ(Feed(Reply(REPLY_DATA, 0, OBJ_SYSTEM, SYS_HELLO, 0, {1})), 0);
    EXPECT_EQ(cmd.GetCount(), 1);
    EXPECT_EQ(g_bHelloPhase.load(), 1);
    EXPECT_EQ(Feed(Reply(REPLY_DATA, 0, OBJ_SYSTEM, SYS_HELLO, 0, {0})), 1);
    EXPECT_EQ(cmd.GetCount(), 0);
    EXPECT_EQ(g_bHelloPhase.load(), 0);
    EXPECT_TRUE(view.Messages().empty());
}

TEST_F(ReplyParser, SystemRepliesAreStoredAndAnnounced)
{
    Queue();
    Feed(Reply(REPLY_DATA, 0, OBJ_SYSTEM, SYS_NAME, 0,
               {'A', 'B', '\t', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O'}));
    const char expectedName[15] = {'A', 'B', 0, 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 0, 0};
    {
        std::lock_guard lock(g_csImage);
        EXPECT_EQ(std::memcmp(g_CurImage.data(), expectedName, 15), 0);
    }

    Queue();
    Bytes status(15);
    for (int i = 0; i < 15; ++i)
        status[i] = static_cast<std::uint8_t>(200 + i);
    Feed(Reply(REPLY_DATA, 0, OBJ_SYSTEM, SYS_STATUS, 0, status));
    EXPECT_EQ(g_MeterLevels[0].load(), 200);
    EXPECT_EQ(g_MeterLevels[14].load(), 214);
    EXPECT_EQ(view.MessagesOf(WM_DEV_STATUS_RECEIVED).at(0).lParam, 15);

    // The version is kept as a bounded, terminated text whatever the device sends.
    Queue();
    Feed(Reply(REPLY_DATA, 0, OBJ_SYSTEM, SYS_VERSION, 0, Bytes(40, 'V')));
    EXPECT_EQ(GetDeviceVersion(), std::string(11, 'V'));
    EXPECT_EQ(view.Count(WM_DEV_VERSION_RECEIVED), 1);
    EXPECT_EQ(cmd.GetCount(), 0);
}

TEST_F(ReplyParser, BlockRepliesGoToTheirImageAndTheLastOutputIsAnnounced)
{
    struct Case {
        std::uint8_t preset, param;
        unsigned msg;  // 0: none
        WPARAM wParam;
    } cases[] = {
        {3, kStoredReadMark, 0, 0},
        {6, kStoredReadMark, WM_DEV_ALLPRESETS_RECEIVED, 6},
        {0, kStoredReadMark, WM_DEV_PRESET_RECEIVED, 0},
        {2, 0, WM_DEV_PRESET_RECEIVED, 2},
    };
    for (const Case &c : cases) {
        view.Clear();
        Queue();
        EXPECT_EQ(Feed(Reply(REPLY_DATA, c.preset, OBJ_OUTPUT, 7, c.param, Bytes(296, c.preset + 1))), 1);
        EXPECT_EQ(cmd.GetCount(), 0);
        if (c.msg)
            EXPECT_EQ(view.MessagesOf(c.msg).at(0).wParam, c.wParam);
        else
            EXPECT_TRUE(view.Messages().empty());
    }
    std::lock_guard lock(g_csImage);
    EXPECT_EQ(g_MachinePresets[2].data()[DeviceImage::kOutOffset + 7 * 296], 4);
    EXPECT_EQ(g_CurImage.data()[DeviceImage::kOutOffset + 7 * 296], 3);  // the preset-2 current read
}

TEST_F(ReplyParser, OverlongBlockIsCutToTheBlockSize)
{
    Queue();
    Feed(Reply(REPLY_DATA, 0, OBJ_OUTPUT, 0, 0, Bytes(300, 0x5A)));
    std::lock_guard lock(g_csImage);
    const std::uint8_t *out = g_CurImage.data() + DeviceImage::kOutOffset;
    EXPECT_EQ(out[295], 0x5A);
    EXPECT_EQ(out[296], 0);  // output 1 untouched
}

TEST_F(ReplyParser, RepliesNamingNothingTheProgramHoldsAreRefused)
{
    const Bytes cases[] = {
        Reply(REPLY_DATA, 9, OBJ_OUTPUT, 7, kStoredReadMark, Bytes(296, 1)),  // preset above 6
        Reply(REPLY_DATA, 7, OBJ_SYSTEM, SYS_NAME, 0, Bytes(15, 'X')),
        Reply(REPLY_DATA, 0, OBJ_SYSTEM, SYS_PRESET_NUMBER, 0, {9}),
        Reply(REPLY_DATA, 0, OBJ_OUTPUT, 8, 0, Bytes(296, 1)),  // output 8 does not exist
    };
    const int preset = g_nCurPreset.load();
    for (const Bytes &bad : cases) {
        cmd.RemoveAll();
        Queue();
        EXPECT_EQ(Feed(bad), 0);
        EXPECT_EQ(cmd.GetCount(), 1);
        EXPECT_TRUE(view.Messages().empty());
    }
    EXPECT_EQ(g_nCurPreset.load(), preset);
}

TEST_F(ReplyParser, UnlistedTypesAreIgnoredAndEmptyDataAsksForFirmware)
{
    Queue();
    EXPECT_EQ(Feed(Reply(REPLY_DATA, 0, 5, 0, 0, {1, 2, 3})), 1);
    EXPECT_EQ(Feed(Reply(0x60, 0, OBJ_SYSTEM, 0, 0)), 1);
    EXPECT_EQ(cmd.GetCount(), 1);
    EXPECT_FALSE(cmd.IsAssembling());
    EXPECT_TRUE(view.Messages().empty());

    EXPECT_EQ(Feed(Reply(REPLY_DATA, 0, OBJ_SYSTEM, SYS_STATUS, 0)), 1);
    EXPECT_EQ(view.Count(WM_DEV_NEEDS_FIRMWARE), 1);
    EXPECT_EQ(g_bNeedsFirmware.load(), 1);
    EXPECT_EQ(cmd.GetCount(), 1);
}

TEST_F(ReplyParser, WifiResetAnswerIsReportedToTheView)
{
    for (int accepted : {1, 0}) {
        view.Clear();
        cmd.RemoveAll();
        Queue()->SetNotifyMain(1);
        CSendData *next = Queue();
        Feed(Reply(accepted ? REPLY_ACK : REPLY_NAK, 0, OBJ_SYSTEM, SYS_WIFI_RESET, 0));
        EXPECT_EQ(view.MessagesOf(WM_LINK_WIFI_RESET_DONE).at(0).lParam, accepted);
        EXPECT_EQ(cmd.GetFront(), next);
        EXPECT_FALSE(next->IsNaked());
    }
}

TEST_F(ReplyParser, FirmwareStagesMoveTheUpdateProgressAndTip)
{
    struct Bar : ILinkProgress {
        int pos = 0;
        void SetPos(int p) override { pos = std::min(p, 10); }
        int GetPos() const override { return pos; }
        int GetRangeUpper() const override { return 10; }
    } bar;
    struct Tip : ILinkTip {
        std::string text;
        void SetText(const std::string &t) override { text = t; }
    } tip;
    g_pUpdateBar = &bar;
    g_pUpdateTip = &tip;
    auto stage = [&](int s) {
        auto item = BuildSystemRequestFrame(SYS_STATUS, 0);
        item->SetCommand(s);
        item->SetIndex(1);
        cmd.Add(std::move(item));
        Feed(Reply(REPLY_ACK, 0, OBJ_SYSTEM, static_cast<std::uint8_t>(s), 0));
    };
    stage(HEXApply);
    EXPECT_EQ(tip.text, "Firmware update begins Do not interrupt");
    EXPECT_EQ(bar.pos, 1);
    bar.pos = 9;
    stage(HEXData);  // the first data block never fills the bar
    EXPECT_EQ(tip.text, "Programming Do not interrupt");
    EXPECT_EQ(bar.pos, 9);
    g_bUpdateCancelled = 1;
    stage(HEXStart);
    EXPECT_EQ(bar.pos, 9);  // cancelled: bar and tip stay
    g_bUpdateCancelled = 0;
    // A refused end stage is no success: it stays queued, rewound and marked.
    auto end = BuildSystemRequestFrame(SYS_STATUS, 0);
    end->SetCommand(HEXEnd);
    end->SetIndex(1);
    cmd.Add(std::move(end));
    Feed(Reply(REPLY_NAK, 0, OBJ_SYSTEM, HEXEnd, 0));
    EXPECT_EQ(g_bUpdateFinished.load(), 0);
    EXPECT_EQ(view.Count(WM_LINK_UPDATE_DONE), 0);
    EXPECT_NE(tip.text, "Update successfully");
    ASSERT_EQ(cmd.GetCount(), 1);
    EXPECT_TRUE(cmd.GetFront()->IsNaked());
    Feed(Reply(REPLY_ACK, 0, OBJ_SYSTEM, HEXEnd, 0));
    EXPECT_EQ(tip.text, "Update successfully");
    EXPECT_EQ(bar.pos, 10);
    EXPECT_EQ(g_bUpdateFinished.load(), 1);
    EXPECT_EQ(view.MessagesOf(WM_LINK_UPDATE_DONE).at(0).lParam, HEXEnd);
    EXPECT_EQ(cmd.GetCount(), 0);
}

}  // namespace
