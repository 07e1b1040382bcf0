#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "protocol/SendData.h"
#include "platform/GlobalData.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

std::unique_ptr<CSendData> ItemOfLength(std::size_t n)
{
    std::vector<std::uint8_t> frame(n);
    std::iota(frame.begin(), frame.end(), std::uint8_t{1});
    auto item = std::make_unique<CSendData>();
    item->SetData(std::move(frame));
    return item;
}

// Cuts every report of an item.
std::vector<HidReport> Cut(CSendData &item)
{
    std::vector<HidReport> reports;
    HidReport report;
    report.fill(0xCC);
    while (item.NextHidReport(report))
        reports.push_back(report);
    return reports;
}

class LinkModeScope {
public:
    explicit LinkModeScope(int mode) { g_nLinkMode = mode; }
    ~LinkModeScope() { g_nLinkMode = LINK_NONE; }
};

}  // namespace

TEST(SendData, CutsFramesIntoReportsOf64Bytes)
{
    struct Case {
        std::size_t length;
        std::vector<std::size_t> bytesPerReport;
    };
    const Case cases[] = {
        {0, {}}, {24, {24}}, {64, {64}}, {65, {64, 1}}, {312, {64, 64, 64, 64, 56}},
    };
    for (const auto &c : cases) {
        auto item = ItemOfLength(c.length);
        const auto reports = Cut(*item);
        ASSERT_EQ(reports.size(), c.bytesPerReport.size()) << c.length;
        std::size_t next = 0;
        for (std::size_t r = 0; r < reports.size(); ++r) {
            EXPECT_EQ(reports[r][0], 0) << "report id";
            for (std::size_t i = 1; i < kHidReportSize; ++i) {
                const std::uint8_t want = i <= c.bytesPerReport[r] ? item->GetData()[next++] : 0;
                EXPECT_EQ(reports[r][i], want) << c.length << " report " << r << " byte " << i;
            }
        }
        EXPECT_EQ(next, c.length);
    }
}

TEST(SendData, RewindStartsAgainAtTheFirstByte)
{
    CKTVCommand command;
    command.Add(ItemOfLength(130));
    CSendData *front = command.GetFront();
    HidReport first{};
    HidReport report{};
    ASSERT_TRUE(front->NextHidReport(first));
    ASSERT_TRUE(front->NextHidReport(report));
    command.RewindFront();
    ASSERT_TRUE(front->NextHidReport(report));
    EXPECT_EQ(report, first);
    EXPECT_EQ(Cut(*front).size(), 2u);  // the rest after the first report
}

TEST(SendData, BatchMarksDependOnTheLinkMode)
{
    auto item = ItemOfLength(100);
    item->SetLastInBatch(1);
    item->SetNotifyDone(1);
    item->SetPending(1);
    {
        LinkModeScope usb(LINK_USB);
        EXPECT_EQ(item->GetLastInBatch(), 1);
        EXPECT_EQ(item->GetNotifyDone(), 1);
        item->SetPending(0);
        EXPECT_EQ(item->IsPending(), 0);
    }
    // Without a link mode the marks hold only once every report has been cut.
    EXPECT_EQ(item->GetLastInBatch(), 0);
    EXPECT_EQ(item->GetNotifyDone(), 0);
    EXPECT_EQ(item->IsPending(), 1);
    Cut(*item);
    EXPECT_EQ(item->GetLastInBatch(), 1);
    EXPECT_EQ(item->GetNotifyDone(), 1);
    EXPECT_EQ(item->IsPending(), 0);
}

TEST(SendData, LengthNeverExceedsTheFrame)
{
    auto item = ItemOfLength(24);
    item->SetLength(1000);
    EXPECT_EQ(item->GetLength(), 24);
    item->SetLength(-3);
    EXPECT_EQ(item->GetLength(), 0);
    HidReport report{};
    EXPECT_FALSE(item->NextHidReport(report));
}

namespace {
int g_destroyed = 0;
struct CountedItem : CSendData {
    ~CountedItem() override { ++g_destroyed; }
};
}  // namespace

TEST(KTVCommandQueue, IsFirstInFirstOutAndOwnsItsItems)
{
    g_destroyed = 0;
    CKTVCommand command;
    EXPECT_EQ(command.GetFront(), nullptr);
    command.PopFront();  // empty: nothing happens
    command.RewindFront();
    command.MarkFrontNaked();
    command.Add(nullptr);
    EXPECT_EQ(command.GetCount(), 0);

    std::vector<CSendData *> added;
    for (int i = 0; i < 4; ++i) {
        auto item = std::make_unique<CountedItem>();
        item->SetIndex(i);
        added.push_back(item.get());
        command.Add(std::move(item));
    }
    EXPECT_EQ(command.GetCount(), 4);
    EXPECT_EQ(command.GetFront(), added[0]);
    command.MarkFrontNaked();
    EXPECT_EQ(added[0]->IsNaked(), 1);
    EXPECT_EQ(added[1]->IsNaked(), 0);

    g_SerialRxState[0] = 1;
    command.PopFront();
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(g_SerialRxState[0].load(), 0) << "receive marks cleared after a removal";
    EXPECT_EQ(command.GetFront(), added[1]);
    EXPECT_EQ(command.GetFront()->GetIndex(), 1);

    command.RemoveAll();
    EXPECT_EQ(g_destroyed, 4) << "each item deleted exactly once";
    EXPECT_EQ(command.GetFront(), nullptr);
    EXPECT_EQ(command.GetCount(), 0);
}

TEST(KTVCommandQueue, DestroyingTheCommandDeletesWhatIsQueued)
{
    g_destroyed = 0;
    {
        CKTVCommand command;
        command.Add(std::make_unique<CountedItem>());
        command.Add(std::make_unique<CountedItem>());
    }
    EXPECT_EQ(g_destroyed, 2);
}
