// Output edits as a user makes them, against the simulated device behind the in-process HID
// transport: the main view's real link and channel sends carry them, and the device's own image
// says what arrived.
#include "app/VRX530View.h"

#include "app/ChannelSends.h"
#include "controls/BitButton.h"
#include "controls/ComBoxBtn.h"
#include "controls/DisplayDlg.h"
#include "controls/DropListBox.h"
#include "controls/DropWnd.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/XPButton.h"
#include "link/KTVCommand.h"
#include "protocol/SendData.h"
#include "panels/output/CFStatic.h"
#include "panels/output/GainDlg.h"
#include "panels/output/OutRoute_Dlg.h"
#include "panels/output/OutputDlg.h"

#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/DelayMath.h"
#include "model/LinkGroups.h"
#include "panels/output/OutputEdits.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "protocol/CommandFrame.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/support/TestDoubles.h"

#include "tests/app/ConnectedViewFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {


// Byte k of item `item` of output c in an image.
std::uint8_t OutByte(const zksim::Image &img, int c, int item, int k)
{
    return img[DeviceImage::kOutOffset + static_cast<std::size_t>(c) * DeviceImage::kOutSize +
               static_cast<std::size_t>(item) * DeviceImage::kItemSize + static_cast<std::size_t>(k)];
}

struct OutputEditE2E : ConnectedView {

    CKTV_OutData &Out(int c) { return *doc->GetOut(c); }
    COutputDlg &Page() { return *view->OutputPage(); }
    // Item `item` of output c as the program holds it in its image.
    static std::array<std::uint8_t, 8> ProgramItem(int c, int item)
    {
        std::lock_guard lock(g_csImage);
        const auto span = g_CurImage.Item(OBJ_OUTPUT, c, item);
        std::array<std::uint8_t, 8> out{};
        std::copy(span.begin(), span.end(), out.begin());
        return out;
    }
    std::array<std::uint8_t, 8> DeviceItem(int c, int item) const
    {
        const zksim::Image img = dev.CurrentImage();
        std::array<std::uint8_t, 8> out{};
        for (int k = 0; k < 8; ++k)
            out[std::size_t(k)] = OutByte(img, c, item, k);
        return out;
    }
    // Item `item` of output c as its record holds it now: what the user set, whether or not the
    // scheduler has written it into the program's image yet. Bands and the crossover item only.
    std::array<std::uint8_t, 8> RecordItem(int c, int item)
    {
        if (item == CKTV_OutData::kCrossoverItem)
            return Out(c).GetCrossoverBlock().ToBytes();
        EXPECT_LT(item, CKTV_OutData::kBands) << "no record bytes for item " << item;
        return Out(c).GetEq().GetBandPacket(item).bytes;
    }
    // Waits until the device holds what the user set for item `item` of output c (a band or the
    // crossover item), and the program's image agrees once its pending changes went out. The
    // record is the reference: "settled and the device equals the image" can hold for a moment
    // before the new value is written.
    bool DeviceAgrees(int c, int item)
    {
        return WaitForDevice([&](const zksim::Device &) {
            return DeviceItem(c, item) == RecordItem(c, item) && Settled() && DeviceItem(c, item) == ProgramItem(c, item);
        });
    }
    // Nothing pending: every change mark taken and the queue down to the status poll.
    bool Settled()
    {
        for (int c = 0; c < 8; ++c) {
            CKTV_OutData &o = Out(c);
            if (o.GetBasicChanged() || o.GetLimitChanged() || o.GetHpf()->GetChanged() || o.GetLpf()->GetChanged())
                return false;
            for (int i = 0; i < CKTV_OutData::kBands; ++i)
                if (o.GetBand(i)->GetChanged())
                    return false;
        }
        std::lock_guard lock(g_csLink);
        if (g_bTransferring.load() || view->Command().GetCount() > 1)
            return false;
        // Only the status poll may be waiting.
        const CSendData *front = view->Command().GetFront();
        return !front || (front->Frame()[7] == OBJ_SYSTEM && front->Frame()[8] == SYS_STATUS);
    }
    // Picks item `index` of a drop-down list as a user does: the list opens, the pointer hovers
    // the item and clicks it.
    static void PickFromList(CComBoxBtn *combo, int index)
    {
        combo->OpenList();
        ASSERT_TRUE(combo->DropWnd()->IsShown());
        CDropListBox *list = combo->List();
        const QPoint at = list->visualItemRect(list->item(index)).center();
        QTest::mouseMove(list->viewport(), at);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
    }
    static CrossoverRecord Crossover(const std::array<std::uint8_t, 8> &item)
    {
        return CrossoverRecord::FromBytes(item.data());
    }
    // A left click on output c's link button; true once the strip has turned the button over.
    bool ClickLink(int c)
    {
        CBitButton *button = Page().Strip(c)->LinkButton();
        const int before = button->GetCheck();
        QTest::mouseClick(button, Qt::LeftButton);
        // The button reports a single click a moment after the press; the strip sets the check.
        return WaitUntil([&] { return button->GetCheck() != before; }, kWait);
    }
};

}  // namespace

TEST_F(OutputEditE2E, ATypedBandGainReachesTheDeviceForTheOutputAndItsGroup)
{
    JoinNewLinkGroup(0, true);
    JoinLinkGroup(2, LinkValueOf(0));
    const auto before = DeviceItem(2, 3), beforeUnlinked = DeviceItem(1, 3);
    TypeInto(Page().GainEdit(3), "5");
    ASSERT_EQ(Out(0).GetBand(3)->GetGainCode(), 250);
    EXPECT_TRUE(DeviceAgrees(0, 3));
    EXPECT_TRUE(DeviceAgrees(2, 3)) << "the linked output follows on the device";
    EXPECT_NE(DeviceItem(2, 3), before);
    EXPECT_EQ(DeviceItem(2, 3), DeviceItem(0, 3));
    EXPECT_EQ(DeviceItem(1, 3), beforeUnlinked) << "an unlinked output keeps its band";
}

TEST_F(OutputEditE2E, ADraggedBandFollowsOnTheDeviceAndTheReleaseFocusesItsGain)
{
    JoinNewLinkGroup(0, true);
    JoinLinkGroup(4, LinkValueOf(0));
    CCFStatic &graph = *Page().Graph();
    // A band raised above its neighbours, so that the pointer finds its marker alone.
    TypeInto(Page().GainEdit(10), "6");
    ASSERT_EQ(Out(4).GetBand(10)->GetGainCode(), 260);
    QCoreApplication::processEvents();
    const CRect r = Out(0).GetBand(10)->GetMarkerRect();
    const QPoint from((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const QPoint to = from + QPoint(0, -25);
    QTest::mouseMove(&graph, from);
    QTest::mousePress(&graph, Qt::LeftButton, {}, from);
    for (int k = 1; k <= 5; ++k)
        QTest::mouseMove(&graph, from + (to - from) * k / 5);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, to);
    EXPECT_GT(Out(0).GetBand(10)->GetGainCode(), 260);
    ASSERT_TRUE(WaitUntil([&] { return Out(4).GetBand(10)->GetGainCode() != 260; }, kWait))
        << "the graph reports the drag to the page";
    EXPECT_EQ(Out(4).GetBand(10)->GetGainCode(), Out(0).GetBand(10)->GetGainCode());
    EXPECT_TRUE(WaitUntil([&] { return Page().GainEdit(10)->hasFocus(); }, kWait));
    EXPECT_TRUE(DeviceAgrees(4, 10));
    EXPECT_EQ(DeviceItem(4, 10), DeviceItem(0, 10));
}

TEST_F(OutputEditE2E, CrossoverEditsOnThePageReachTheDeviceForTheOutputAndItsGroup)
{
    constexpr int kXo = CKTV_OutData::kCrossoverItem;
    JoinNewLinkGroup(0, true);
    JoinLinkGroup(3, LinkValueOf(0));
    const auto unlinked = DeviceItem(1, kXo);

    // Family and slope from the page's lists.
    PickFromList(Page().HpfFamilyList(), CFilter::kFamilyButterworth);
    PickFromList(Page().HpfSlopeList(), 5);
    ASSERT_EQ(Out(0).GetHpf()->GetFamily(), CFilter::kFamilyButterworth);
    ASSERT_EQ(Out(0).GetHpf()->GetSlope(), 5);
    for (int c : {0, 3}) {
        ASSERT_TRUE(DeviceAgrees(c, kXo)) << c;
        EXPECT_EQ(Crossover(DeviceItem(c, kXo)).highFamily, CFilter::kFamilyButterworth) << c;
        EXPECT_EQ(Crossover(DeviceItem(c, kXo)).highSlope, 5) << c;
    }

    // A typed low-pass frequency.
    TypeInto(Page().LpfFreqEdit(), "8000");
    ASSERT_EQ(Out(0).GetLpf()->GetFreq(), 8000);
    for (int c : {0, 3}) {
        ASSERT_TRUE(DeviceAgrees(c, kXo)) << c;
        EXPECT_EQ(Crossover(DeviceItem(c, kXo)).lowFreq, 8000) << c;
    }

    // The high-pass handle dragged to the right on the graph.
    CCFStatic &graph = *Page().Graph();
    const int before = Out(0).GetHpf()->GetFreq();
    const CRect r = Out(0).GetHpf()->GetMarkerRect();
    const QPoint from((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const QPoint to = from + QPoint(80, 0);
    QTest::mouseMove(&graph, from);
    QTest::mousePress(&graph, Qt::LeftButton, {}, from);
    for (int k = 1; k <= 5; ++k)
        QTest::mouseMove(&graph, from + (to - from) * k / 5);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, to);
    const int dragged = Out(0).GetHpf()->GetFreq();
    ASSERT_GT(dragged, before);
    ASSERT_TRUE(WaitUntil([&] { return Out(3).GetHpf()->GetFreq() == dragged; }, kWait))
        << "the graph reports the drag to the page";
    EXPECT_TRUE(WaitUntil([&] { return Page().HpfFreqEdit()->hasFocus(); }, kWait));
    for (int c : {0, 3}) {
        ASSERT_TRUE(DeviceAgrees(c, kXo)) << c;
        EXPECT_EQ(Crossover(DeviceItem(c, kXo)).highFreq, dragged) << c;
    }
    EXPECT_EQ(DeviceItem(1, kXo), unlinked) << "an unlinked output keeps its crossovers";
}

TEST_F(OutputEditE2E, ADelayStepInCentimetresReachesTheDevice)
{
    auto *spin = static_cast<CNumSpin *>(Page().Control(COutputDlg::IDC_DELAY_CM_SPIN));
    ASSERT_NE(spin, nullptr);
    spin->Step(1);
    QCoreApplication::processEvents();
    const int delay = StepDelayCm(0, 1);
    EXPECT_EQ(Out(0).GetDelay(), delay);
    // The delay is bytes 4 and 5 of the output's basic item.
    EXPECT_TRUE(WaitForDevice([&](const zksim::Device &) {
        const auto item = DeviceItem(0, CKTV_OutData::kBasicItem);
        return (item[4] | (item[5] << 8)) == delay;
    }));
    EXPECT_EQ(DeviceItem(0, CKTV_OutData::kBasicItem), ProgramItem(0, CKTV_OutData::kBasicItem));
}

TEST_F(OutputEditE2E, SwitchingToGeqResetsTheGroupOnTheDeviceBetweenMasterMutes)
{
    JoinNewLinkGroup(1, true);
    JoinLinkGroup(6, LinkValueOf(1));
    g_nSelOutput = 1;
    Page().RefreshChannel();
    Out(6).GetBand(0)->SetGainCode(300);
    ASSERT_TRUE(DeviceAgrees(6, 0));
    dev.ClearRequests();
    boxes.PushAnswer(IDYES);
    QTest::mouseClick(Page().EqModeButton(), Qt::LeftButton);
    EXPECT_EQ(Out(1).GetEqMode(), 1);
    EXPECT_EQ(Out(6).GetEqMode(), 1) << "the record gives its mode to the group";
    EXPECT_EQ(Out(6).GetBand(0)->GetGainCode(), 200);
    // The reset band on the device, and the master sounding again after the blocks.
    ASSERT_TRUE(DeviceAgrees(6, 0));
    ASSERT_TRUE(WaitForDevice([](const zksim::Device &d) {
        int volumes = 0;
        for (const auto &f : d.Requests())
            volumes += f.cmd == CMD_WRITE && f.type == OBJ_SYSTEM && f.channel == SYS_VOLUME;
        return volumes >= 2;
    }));
    std::vector<int> blocks;
    for (const auto &f : dev.Requests())
        if (f.cmd == CMD_WRITE && f.type == OBJ_OUTPUT && f.payload.size() == DeviceImage::kOutSize)
            blocks.push_back(f.channel);
    EXPECT_EQ(blocks, (std::vector<int>{1, 6}));
    std::vector<zksim::Frame> writes;
    for (const auto &f : dev.Requests())
        if (f.cmd == CMD_WRITE)
            writes.push_back(f);
    // The master is muted before the first block and sounds again after the last.
    std::vector<int> order;
    for (const auto &f : writes)
        if (f.type == OBJ_SYSTEM && f.channel == SYS_VOLUME)
            order.push_back(-1);
        else if (f.type == OBJ_OUTPUT && f.payload.size() == DeviceImage::kOutSize)
            order.push_back(f.channel);
    EXPECT_EQ(order, (std::vector<int>{-1, 1, 6, -1}));
}

TEST_F(OutputEditE2E, LinkButtonClicksJoinSuspendAndRejoinAnOutputThatKeepsSounding)
{
    // Output 0, the selected one, is shaped first.
    TypeInto(Page().GainEdit(7), "-4");
    ASSERT_TRUE(WaitUntil([&] { return Settled(); }, kWait));

    // A click on output 0 starts a group; a click on output 5 joins the selected output's group
    // and takes its settings, muted while they are copied.
    ASSERT_TRUE(ClickLink(0));
    ASSERT_TRUE(ClickLink(5));
    ASSERT_NE(LinkValueOf(5), 0);
    ASSERT_EQ(LinkValueOf(5), LinkValueOf(0));
    ASSERT_TRUE(WaitUntil([&] { return Settled(); }, kWait));
    ASSERT_TRUE(DeviceAgrees(0, 7));
    ASSERT_TRUE(DeviceAgrees(5, 7));
    EXPECT_EQ(DeviceItem(5, 7), DeviceItem(0, 7)) << "the joined output took the group's equaliser";
    EXPECT_EQ(DeviceItem(5, CKTV_OutData::kBasicItem)[0], 1) << "and keeps sounding";
    EXPECT_EQ(DeviceItem(0, CKTV_OutData::kBasicItem)[0], 1);
    EXPECT_EQ(DeviceItem(0, CKTV_OutData::kLimitItem)[6], LinkValueOf(0)) << "the device knows the group";
    EXPECT_EQ(DeviceItem(5, CKTV_OutData::kLimitItem)[6], LinkValueOf(0));

    // An edit of output 0 reaches the linked output.
    TypeInto(Page().GainEdit(7), "2");
    ASSERT_TRUE(DeviceAgrees(0, 7));
    EXPECT_EQ(Out(5).GetBand(7)->GetGainCode(), Out(0).GetBand(7)->GetGainCode());
    EXPECT_TRUE(DeviceAgrees(5, 7));

    // A second click suspends output 5: the next edit of output 0 no longer reaches it.
    ASSERT_TRUE(ClickLink(5));
    EXPECT_EQ(LinkValueOf(5), 0);
    TypeInto(Page().GainEdit(7), "3");
    ASSERT_TRUE(DeviceAgrees(0, 7));
    EXPECT_NE(DeviceItem(5, 7), DeviceItem(0, 7));
    EXPECT_EQ(DeviceItem(5, CKTV_OutData::kLimitItem)[6], 0);

    // Without an edit of its own, a third click rejoins it: it takes output 0's settings again
    // and still sounds.
    ASSERT_TRUE(ClickLink(5));
    EXPECT_EQ(LinkValueOf(5), LinkValueOf(0));
    ASSERT_TRUE(WaitUntil([&] { return Settled(); }, kWait));
    ASSERT_TRUE(DeviceAgrees(5, 7));
    EXPECT_EQ(DeviceItem(5, 7), DeviceItem(0, 7));
    EXPECT_EQ(DeviceItem(5, CKTV_OutData::kBasicItem)[0], 1);
    EXPECT_EQ(DeviceItem(5, CKTV_OutData::kLimitItem)[6], LinkValueOf(0));
}

TEST_F(OutputEditE2E, AConnectionReadRebuildsTheLinkGroupsTheDeviceHolds)
{
    // Output 6 joins output 0's group and suspends it.
    ASSERT_TRUE(ClickLink(0));
    ASSERT_TRUE(ClickLink(6));
    ASSERT_TRUE(ClickLink(6));
    ASSERT_TRUE(WaitForDevice([&](const zksim::Device &) {
        return Settled() && DeviceItem(0, CKTV_OutData::kLimitItem)[6] == LinkValueOf(0) &&
               DeviceItem(6, CKTV_OutData::kLimitItem)[6] == 0;
    })) << "the device knows output 0's group and that output 6 left it";

    // Meanwhile the device came to hold outputs 2 and 5 in group 1 and nothing else linked.
    zksim::Image img = dev.CurrentImage();
    for (int c = 0; c < 8; ++c)
        img[DeviceImage::kOutOffset + std::size_t(c) * DeviceImage::kOutSize +
            std::size_t(CKTV_OutData::kLimitItem) * DeviceImage::kItemSize + 6] = (c == 2 || c == 5) ? 1 : 0;
    dev.SetCurrentImage(img);
    // Connect is clicked twice: the link closes and opens again, and the device is read.
    view->Controller().OnConnectButton();
    ASSERT_TRUE(WaitUntil([] { return !g_bDeviceOnline.load(); }, kWait));
    view->Controller().OnConnectButton();
    ASSERT_NO_FATAL_FAILURE(WaitForConnectionRead());

    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(LinkValueOf(c), (c == 2 || c == 5) ? 1 : 0) << c;
        EXPECT_EQ(Page().Strip(c)->LinkButton()->GetCheck(), (c == 2 || c == 5) ? 1 : 0) << c;
        EXPECT_EQ(g_LinkSuspend[std::size_t(c)].suspended.load(), 0) << c << ": the device's groups replace the old ones";
    }
    EXPECT_EQ(g_LinkGroupUsed[0].load(), 1);
    EXPECT_EQ(g_LinkGroupCount[0].load(), 2);
    EXPECT_EQ(g_LinkGroupMask[0].load(), (1 << 2) | (1 << 5));
    for (std::size_t g = 1; g < g_LinkGroupUsed.size(); ++g)
        EXPECT_EQ(g_LinkGroupUsed[g].load(), 0) << g;

    // Output 6 no longer remembers a group: with the unlinked output 0 selected, a click starts a
    // new group instead of taking group 1's settings.
    const auto band6 = DeviceItem(6, 3);
    ASSERT_TRUE(ClickLink(6));
    EXPECT_EQ(LinkValueOf(6), 2);
    EXPECT_EQ(g_LinkGroupMask[0].load(), (1 << 2) | (1 << 5));

    // Output 2, selected by its strip, takes an edit; its group follows on the device, the rest not.
    QTest::mouseClick(Page().Strip(2)->ChannelButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([] { return g_nSelOutput.load() == 2; }, kWait));
    TypeInto(Page().GainEdit(3), "5");
    ASSERT_EQ(Out(2).GetBand(3)->GetGainCode(), 250);
    EXPECT_TRUE(DeviceAgrees(2, 3));
    EXPECT_TRUE(DeviceAgrees(5, 3));
    EXPECT_EQ(DeviceItem(5, 3), DeviceItem(2, 3)) << "the group the device holds follows the edit";
    EXPECT_EQ(DeviceItem(6, 3), band6);
}

TEST_F(OutputEditE2E, AValueTypedAfterAKeyStepOffThePageReachesTheControlTheStepLandedOn)
{
    // Right from the last band's gain edit lands on the master volume; Left from the high-pass
    // edit on the delay of the last output. What is typed next goes there, not to the edit the
    // step started from.
    const auto masterVolume = [&] { return int(dev.SysBlock(5)[0]); };
    const auto lastDelay = [&] {
        const auto item = DeviceItem(7, CKTV_OutData::kBasicItem);
        return item[4] | (item[5] << 8);
    };
    const struct {
        const char *name;
        CNumEdit *from;
        Qt::Key key;
        QWidget *to;
        const char *typed;
        std::function<int()> onDevice;
        int expected;
    } cases[] = {
        {"Right from band 31's gain", Page().GainEdit(30), Qt::Key_Right, Page().MasterStrip()->VolumeEdit(), "-20",
         masterVolume, 40},
        {"Left from the high-pass", Page().HpfFreqEdit(), Qt::Key_Left, Page().Strip(7)->DelayEdit(), "1", lastDelay,
         48},
    };
    const int gain30 = Out(0).GetBand(30)->GetGainCode(), highPass = Out(0).GetHpf()->GetFreq();
    const auto band30 = DeviceItem(0, 30), crossover = DeviceItem(0, CKTV_OutData::kCrossoverItem);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.onDevice(), c.expected);
        c.from->setFocus();
        ASSERT_TRUE(WaitUntil([&] { return c.from->hasFocus(); }, kWait));
        QTest::keyClick(c.from, c.key);
        ASSERT_TRUE(WaitUntil([&] { return c.to->hasFocus(); }, kWait));
        // The user types into whatever holds the focus now and ends with Enter.
        QWidget *focus = QApplication::focusWidget();
        if (auto *line = qobject_cast<QLineEdit *>(focus))
            line->selectAll();
        else if (auto *number = qobject_cast<CNumEdit *>(focus))
            number->selectAll();
        QTest::keyClicks(focus, QString::fromLatin1(c.typed));
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_TRUE(WaitUntil([&] { return c.onDevice() == c.expected; }, kWait));
    }
    EXPECT_EQ(int(g_nMasterVolume), 40);
    EXPECT_EQ(Out(7).GetDelay(), 48);
    EXPECT_EQ(Out(0).GetBand(30)->GetGainCode(), gain30);
    EXPECT_EQ(Out(0).GetHpf()->GetFreq(), highPass);
    ASSERT_TRUE(WaitUntil([&] { return Settled(); }, kWait));
    EXPECT_EQ(DeviceItem(0, 30), band30) << "band 31 keeps its gain on the device";
    EXPECT_EQ(DeviceItem(0, CKTV_OutData::kCrossoverItem), crossover) << "the high-pass keeps its frequency";
}
