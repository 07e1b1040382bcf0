// The input page as a user opens and uses it, against the simulated device behind the
// in-process HID transport: the view's hidden button 2819 opens the page, an input is picked and
// a band gain typed, and the device's own system block and music-input block say what arrived.
#include "app/InputPageDlg.h"
#include "app/VRX530View.h"

#include "controls/BitButton.h"
#include "controls/DisplayDlg.h"
#include "controls/NumEdit.h"
#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/Music_InData.h"
#include "panels/input/InPutDlg.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/WindowMessages.h"
#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/support/TestDoubles.h"

#include <QMenu>
#include <QTimer>

#include "tests/app/ConnectedViewFixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {


struct InputPageE2E : ConnectedView {

    // Item `item` of music input n as the program and as the device hold it.
    static std::array<std::uint8_t, 8> ProgramItem(int n, int item)
    {
        std::lock_guard lock(g_csImage);
        const auto span = g_CurImage.Item(OBJ_MUSIC, n, item);
        std::array<std::uint8_t, 8> out{};
        std::copy(span.begin(), span.end(), out.begin());
        return out;
    }
    std::array<std::uint8_t, 8> DeviceItem(int n, int item) const
    {
        const zksim::Image img = dev.CurrentImage();
        std::array<std::uint8_t, 8> out{};
        const std::size_t at = DeviceImage::kMusicOffset + std::size_t(n) * DeviceImage::kMusicSize +
                               std::size_t(item) * DeviceImage::kItemSize;
        std::copy_n(img.begin() + std::ptrdiff_t(at), 8, out.begin());
        return out;
    }
};

}  // namespace

TEST_F(InputPageE2E, APickedInputAndATypedBandGainReachTheDevice)
{
    const auto before = DeviceItem(3, 4);
    bool ran = false;
    // The page runs in its own modal loop: the user's steps go in from a timer inside it.
    QTimer::singleShot(0, view.get(), [&] {
        ran = true;
        auto *dlg = qobject_cast<CInputPageDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr) << "button 2819 opens the input page";
        CInPutDlg *page = dlg->Page();
        dlg->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == dlg; }, kWait));

        QTest::mouseClick(page->InputButton(3), Qt::LeftButton);
        EXPECT_TRUE(WaitUntil([&] { return dev.SysBlock(2)[0] == 3; }, kWait)) << "AUX1 chosen on the device";
        EXPECT_EQ(page->InputButton(3)->GetCheck(), 1);

        TypeInto(page->GainEdit(4), "6");
        EXPECT_EQ(doc->GetMusicIn(3)->GetBand(4)->GetGainCode(), 260);
        EXPECT_TRUE(WaitUntil([&] {
            return !doc->GetMusicIn(3)->GetBand(4)->GetChanged() && DeviceItem(3, 4) == ProgramItem(3, 4);
        }, kWait)) << "the band's packet reached the device's AUX1 block";
        EXPECT_NE(DeviceItem(3, 4), before);
        EXPECT_EQ(DeviceItem(0, 4), ProgramItem(0, 4)) << "S/PDIF's band is as it was";

        // The device goes back to S/PDIF on its own while the user types band 5's gain: the page
        // shows the input it now edits, and the typed value goes to the input it was typed for.
        const auto spdifBefore = DeviceItem(0, 5);
        const auto aux1Before = DeviceItem(3, 5);
        CNumEdit *edit = page->GainEdit(5);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "-3");
        ASSERT_TRUE(edit->IsPending());
        std::array<std::uint8_t, 15> status{};
        dev.SetStatus(status);
        EXPECT_TRUE(WaitUntil([&] { return page->InputButton(0)->GetCheck() == 1; }, kWait));
        EXPECT_EQ(page->InputButton(3)->GetCheck(), 0);
        EXPECT_EQ(g_nSelInput.load(), 0);
        EXPECT_EQ(doc->GetMusicIn(3)->GetBand(5)->GetGainCode(), 170) << "the typed value is kept";
        EXPECT_TRUE(WaitForDevice([&](const zksim::Device &) {
            const auto item = DeviceItem(3, 5);
            return item == ProgramItem(3, 5) && item != aux1Before;
        })) << "and reaches the device's AUX1 block";
        EXPECT_EQ(DeviceItem(0, 5), spdifBefore) << "S/PDIF's band is as it was";
        EXPECT_EQ(edit->IsPending(), 0);
        dlg->reject();
    });
    view->OnViewCommand(CVRX530View::IDC_INPUT_PAGE);
    EXPECT_TRUE(ran);
    EXPECT_EQ(g_pInputPage, nullptr) << "the closed page is no longer called";
}

// Status replies asked for before the device took a pick wait in the view's queue while the user
// picks AUX1 and types a band gain: however many there are, none reverts the pick, reloads the
// page or offers the old input's main sources, and the typed value reaches AUX1 on the device.
TEST_F(InputPageE2E, StatusRepliesFromBeforeAPickChangeNothingTheUserSees)
{
    const int before = g_nSelInput.load();
    ASSERT_NE(before, 3);
    ASSERT_EQ(g_nInputGroup.load(), 0);
    std::array<std::uint8_t, 15> status{};
    status[14] = std::uint8_t(before);  // the device plays the input the program shows
    dev.SetStatus(status);
    bool ran = false;
    QTimer::singleShot(0, view.get(), [&] {
        ran = true;
        auto *dlg = qobject_cast<CInputPageDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        CInPutDlg *page = dlg->Page();
        dlg->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == dlg; }, kWait));
        CNumEdit *edit = page->GainEdit(4);
        {
            LetStatusRepliesPileUp(5);  // each reports the input from before the pick
            // The worker waits until the backlog is handled: no reply to anything newer can come.
            std::lock_guard lock(g_csLink);
            SendMessageTo(page, WM_COMMAND, WPARAM(CInPutDlg::IDC_INPUT + 3), 0);  // the click on AUX1
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, "6");
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            EXPECT_EQ(g_nSelInput.load(), 3);
            EXPECT_EQ(page->InputButton(3)->GetCheck(), 1);
            EXPECT_EQ(page->InputButton(before)->GetCheck(), 0);
            // The page's own refresh after the click comes behind the backlog: the typed value
            // is stored for AUX1, not overwritten.
            EXPECT_EQ(doc->GetMusicIn(3)->GetBand(4)->GetGainCode(), 260);
            EXPECT_EQ(edit->text(), "6.0");

            // The main-source menu offers AUX1's sources: S/PDIF, Hi.Level, AUX2, AUX3 and OFF.
            SendMessageTo(page, WM_COMMAND, WPARAM(CInPutDlg::IDC_SOURCE), 0);
            auto *menu = page->findChild<QMenu *>();
            ASSERT_NE(menu, nullptr);
            std::vector<bool> offered;
            for (QAction *a : menu->actions())
                offered.push_back(a->isEnabled());
            menu->close();
            EXPECT_EQ(offered, (std::vector<bool>{true, true, false, false, true, true, true}));
        }
        EXPECT_TRUE(WaitForDevice([&](const zksim::Device &d) {
            return d.SysBlock(2)[0] == 3 && DeviceItem(3, 4) == ProgramItem(3, 4);
        })) << "AUX1 and its band on the device";
        EXPECT_EQ(g_nSelInput.load(), 3);
        dlg->reject();
    });
    view->OnViewCommand(CVRX530View::IDC_INPUT_PAGE);
    EXPECT_TRUE(ran);
}
