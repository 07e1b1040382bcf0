#include "link/ChangeScheduler.h"

#include "link/LinkMessages.h"
#include "model/InitGlobalData.h"
#include "model/KTV_Data.h"
#include "model/PresetFiles.h"
#include "platform/GlobalData.h"
#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <atomic>
#include <thread>

namespace {

// What a frame addresses: object type, channel (the sub-identifier for system frames) and item.
struct Frame {
    int obj, ch, item;
    std::optional<int> word0 = {};                   // payload bytes 0..1, when given
    std::function<void(CKTV_Data &)> before = {};    // done before this call (a UI edit, the view's handler)
    std::optional<std::pair<int, int>> word = {};    // (payload offset, 16-bit value), when given
};

constexpr int SYS = OBJ_SYSTEM;
const Frame kStatus{SYS, SYS_STATUS, 0};

void WriteImageName(const char *name)
{
    std::lock_guard lock(g_csImage);
    auto field = g_CurImage.Name();
    std::fill(field.begin(), field.end(), 0);
    std::memcpy(field.data(), name, std::strlen(name));
}

std::string ImageName()
{
    std::lock_guard lock(g_csImage);
    return g_CurImage.NameBytes();
}

// The state after a preset named "Custom" was loaded: no rename is due.
void NoRenameDue()
{
    WriteImageName("Custom");
    g_nCurPreset = 0;
    SetLastAutoName("Custom");
}

struct Scenario {
    const char *name;
    std::function<void(CKTV_Data &)> setup;
    std::vector<Frame> frames;
    std::function<void(CKTV_Data &, CRecordingMessageTarget &)> check = {};
};

class SendNextChange : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitGlobalData();
        tree = std::make_unique<CKTV_Data>();  // built offline, as at start-up
        scheduler = std::make_unique<CChangeScheduler>(*tree);
        g_pNotifyView = &view;
        g_bDeviceOnline = 1;
    }
    void TearDown() override
    {
        g_bDeviceOnline = 0;
        g_pNotifyView = nullptr;
        scheduler.reset();
        tree.reset();
        for (auto &g : g_LinkGroups)
            g = 0;
    }

    std::unique_ptr<CKTV_Data> tree;
    std::unique_ptr<CChangeScheduler> scheduler;
    CRecordingMessageTarget view;
};

TEST_F(SendNextChange, TakesOneMarkPerCallInTheFixedOrder)
{
    const Scenario scenarios[] = {
        {"nothing pending polls the status", [](CKTV_Data &) {}, {kStatus, kStatus},
         [](CKTV_Data &, CRecordingMessageTarget &v) {
             EXPECT_EQ(g_bParamsDirty.load(), 0);
             EXPECT_EQ(v.Count(WM_VIEW_PRESET_CUSTOM), 0);
         }},
        {"system blocks and name before bands",
         [](CKTV_Data &t) {
             g_bSysBlock5Pending = 1;
             g_bSysBlock2Pending = 1;
             g_bNamePending = 1;
             g_nCurPreset = 4;
             t.GetOut(0)->GetBand(3)->SetGainCode(250);
         },
         // The band is the first record change; it makes the parameters dirty and the rename follows.
         {{SYS, SYS_VOLUME, 0}, {SYS, SYS_INPUT, 0}, {SYS, SYS_NAME, 0}, {OBJ_OUTPUT, 0, 3}, {SYS, SYS_NAME, 0},
          kStatus}},
        {"inputs before outputs, output 0's bands before output 1's name",
         [](CKTV_Data &t) {
             NoRenameDue();
             t.GetOut(1)->SetName("Sub");
             t.GetOut(0)->GetBand(30)->SetGainCode(210);
             t.GetMusicIn(2)->SetSwitch(0);
         },
         {{OBJ_MUSIC, 2, 31}, {OBJ_OUTPUT, 0, 30}, {OBJ_OUTPUT, 1, 36}, kStatus}},
        {"a music input: record, threshold, then bands",
         [](CKTV_Data &t) {
             NoRenameDue();
             t.GetMusicIn(0)->GetBand(2)->SetGainCode(180);
             t.GetMusicIn(0)->SetThreshold(50);
             t.GetMusicIn(0)->SetGain(500);
         },
         {{OBJ_MUSIC, 0, 31}, {OBJ_MUSIC, 0, 33}, {OBJ_MUSIC, 0, 2}, kStatus}},
        {"an output: name, basic, crossovers, 34, limiter, 33, bands",
         [](CKTV_Data &t) {
             NoRenameDue();
             auto *o = t.GetOut(3);
             o->GetBand(0)->SetGainCode(220);
             o->SetGroup33Byte0(50);
             o->SetLimitThreshold(300);
             o->SetGroup34Byte4(20);
             o->GetHpf()->SetFreq(30, 1);
             o->SetGain(500);
             o->SetName("Tw");
         },
         {{OBJ_OUTPUT, 3, 36}, {OBJ_OUTPUT, 3, 31}, {OBJ_OUTPUT, 3, 32, 30}, {OBJ_OUTPUT, 3, 34},
          {OBJ_OUTPUT, 3, 35}, {OBJ_OUTPUT, 3, 33}, {OBJ_OUTPUT, 3, 0}, kStatus}},
        {"a band moved by several octaves steps one octave per frame",
         [](CKTV_Data &t) {
             NoRenameDue();
             auto *band = t.GetOut(2)->GetBand(5);
             band->SetFreq(100, 0);
             band->SetFreq(1000, 1);
         },
         {{OBJ_OUTPUT, 2, 5, 200}, {OBJ_OUTPUT, 2, 5, 400}, {OBJ_OUTPUT, 2, 5, 800}, {OBJ_OUTPUT, 2, 5, 1000},
          {OBJ_OUTPUT, 2, 5, 1000}, kStatus}},
        {"edits made offline are never sent",
         [](CKTV_Data &t) {
             g_bDeviceOnline = 0;
             t.GetOut(4)->SetGain(10);
             t.GetOut(4)->GetBand(1)->SetGainCode(300);
             t.GetMusicIn(1)->SetDelay(9);
             t.GetOut(5)->SetName("X");
             g_bDeviceOnline = 1;
         },
         {kStatus, kStatus},
         [](CKTV_Data &t, CRecordingMessageTarget &) { EXPECT_EQ(t.GetOut(4)->GetGain(), 10); }},
        {"an edit made while its frame waits is sent again, with the new value",
         [](CKTV_Data &t) {
             NoRenameDue();
             t.GetOut(6)->SetDelay(100);
         },
         {{OBJ_OUTPUT, 6, 31, std::nullopt, {}, std::pair(4, 100)},
          {OBJ_OUTPUT, 6, 31, std::nullopt, [](CKTV_Data &t) { t.GetOut(6)->SetDelay(200); }, std::pair(4, 200)},
          kStatus}},
        {"after a load, the rename is sent once and the view's name request once more",
         [](CKTV_Data &t) {
             WriteImageName("Song A");
             g_nCurPreset = 2;
             SetLastAutoName("Song A");
             g_bParamsDirty = 0;
             t.GetOut(1)->GetBand(7)->SetGainCode(240);
         },
         {{OBJ_OUTPUT, 1, 7}, {SYS, SYS_NAME, 0}, kStatus, kStatus,
          {SYS, SYS_NAME, 0, std::nullopt, [](CKTV_Data &) { g_bNamePending = 1; }},  // the view's handler ran
          kStatus},
         [](CKTV_Data &t, CRecordingMessageTarget &v) {
             EXPECT_EQ(v.Count(WM_VIEW_PRESET_CUSTOM), 1);
             EXPECT_EQ(ImageName(), "Custom");
             EXPECT_EQ(g_nCurPreset.load(), 0);
             EXPECT_EQ(GetLastAutoName(), "Custom");
             EXPECT_EQ(t.GetPresetName(), "Custom");
         }},
        {"a preset already named Custom but recalled from a slot is renamed once",
         [](CKTV_Data &) {
             WriteImageName("Custom");
             g_nCurPreset = 3;
             SetLastAutoName("Custom");
             g_bParamsDirty = 1;
         },
         {{SYS, SYS_NAME, 0}, kStatus},
         [](CKTV_Data &, CRecordingMessageTarget &v) {
             EXPECT_EQ(v.Count(WM_VIEW_PRESET_CUSTOM), 1);
             EXPECT_EQ(g_nCurPreset.load(), 0);
         }},
        {"the last automatic name reset by the view gives one more name frame",
         [](CKTV_Data &) {
             WriteImageName("Custom");
             g_nCurPreset = 0;
             SetLastAutoName("");
             g_bParamsDirty = 1;
         },
         {{SYS, SYS_NAME, 0}, kStatus}},
        {"opening a link clears every mark",
         [](CKTV_Data &t) {
             NoRenameDue();
             t.GetOut(0)->SetGain(1);
             t.GetMusicIn(5)->GetBand(0)->SetGainCode(1);
             t.GetOut(7)->SetLimitRelease(3);
             g_bSysBlock2Pending = 1;
             t.ResetChanges(0);
         },
         {kStatus}},
    };

    for (const auto &s : scenarios) {
        SCOPED_TRACE(s.name);
        TearDown();
        SetUp();
        view.Clear();
        s.setup(*tree);
        for (std::size_t i = 0; i < s.frames.size(); ++i) {
            const Frame &want = s.frames[i];
            if (want.before)
                want.before(*tree);
            auto item = scheduler->SendNextChange();
            ASSERT_TRUE(item) << "call " << i;
            const auto &f = item->Frame();
            ASSERT_GE(f.size(), 16u);
            EXPECT_EQ(f[7], want.obj) << "call " << i;
            EXPECT_EQ(f[8], want.ch) << "call " << i;
            EXPECT_EQ(f[9], want.item) << "call " << i;
            if (want.word) {
                EXPECT_EQ(f[14 + want.word->first] | (f[15 + want.word->first] << 8), want.word->second)
                    << "call " << i;
            }
            if (want.word0) {
                EXPECT_EQ(f[14] | (f[15] << 8), *want.word0) << "call " << i;
            }
            if (want.obj == SYS && want.ch == SYS_NAME && std::string(s.name).find("load") != std::string::npos) {
                EXPECT_EQ(std::string(reinterpret_cast<const char *>(&f[14])), "Custom");
            }
        }
        if (s.check)
            s.check(*tree, view);
    }
}

TEST_F(SendNextChange, RecordChangesMarkTheParametersDirty)
{
    NoRenameDue();
    g_bParamsDirty = 0;
    tree->GetMusicIn(3)->SetPolarity(1);
    auto item = scheduler->SendNextChange();
    ASSERT_TRUE(item);
    EXPECT_EQ(g_bParamsDirty.load(), 1);
    // The item was written into the image before its frame was built.
    std::lock_guard lock(g_csImage);
    EXPECT_EQ(g_CurImage.Item(OBJ_MUSIC, 3, 31)[1], 1);
}

}  // namespace

namespace {

// The worker takes changes while the UI edits and saves: every edit made while online reaches a
// frame, and nothing races (this test is meant to run under ThreadSanitizer as well).
TEST_F(SendNextChange, WorkerAndUiTogether)
{
    NoRenameDue();
    std::atomic<bool> stop{false};
    std::atomic<int> frames{0};
    std::thread worker([&] {
        while (!stop) {
            std::lock_guard link(g_csLink);
            if (scheduler->SendNextChange())
                ++frames;
        }
    });
    while (frames == 0)
        std::this_thread::yield();  // the worker is polling
    for (int i = 0; i < 200; ++i) {
        tree->GetOut(i % 8)->SetGain(i);
        tree->GetMusicIn(i % 6)->SetThreshold(i % 100);
        tree->GetOut(i % 8)->GetBand(i % 31)->SetGainCode(i % 400);
        if (i % 50 == 0) {
            auto ar = PresetArchive::ForStoring();
            EXPECT_EQ(SerializePresetFile(*tree, ar), 1);
        }
    }
    stop = true;
    worker.join();

    // Whatever is still pending drains, and then only status requests follow.
    for (int i = 0; i < 2000; ++i) {
        auto item = scheduler->SendNextChange();
        ASSERT_TRUE(item);
        if (item->Frame()[7] == OBJ_SYSTEM && item->Frame()[8] == SYS_STATUS)
            break;
    }
    auto last = scheduler->SendNextChange();
    EXPECT_EQ(last->Frame()[8], SYS_STATUS);
    std::lock_guard lock(g_csImage);
    EXPECT_EQ(g_CurImage.Item(OBJ_OUTPUT, 7, 31)[2] | (g_CurImage.Item(OBJ_OUTPUT, 7, 31)[3] << 8), 199);
}

}  // namespace
