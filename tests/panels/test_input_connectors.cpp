// The input-connector picture: which connector a click on the panel hits in each AUX mode, what
// it tells the page, and which connector shows the selected input.

#include "controls/BtnPng.h"
#include "model/DeviceImage.h"
#include "panels/input/InMode_Dlg.h"
#include "panels/input/InputMessages.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"

#include <gtest/gtest.h>

#include <QTest>

#include <vector>

namespace {

class ConnectorPicture : public ::testing::Test {
protected:
    ConnectorPicture()
    {
        QtTestApp();
        ResetDeviceImageGlobals();
        page.resize(1100, 700);
        picture = new CInMode_Dlg(&page);
        picture->move(221, 462);
        CMessageTable::Ensure(&page)->On(WM_INMODE_SELECT, [this](WPARAM w, LPARAM l) {
            EXPECT_EQ(w, 0u);
            selects.push_back(int(l));
            return LRESULT(0);
        });
        page.show();
    }
    ~ConnectorPicture() override { ResetDeviceImageGlobals(); }

    void Mode(int mode, int selected)
    {
        g_nInputGroup = mode;
        g_nSelInput = selected;
        picture->ShowAuxButtons();
        picture->CheckSelectedInput();
    }
    // The checked connectors, in table order.
    std::vector<int> Checked() const
    {
        std::vector<int> ids;
        for (const auto &c : inmode::kConnectors)
            if (picture->Button(c.id)->GetCheck())
                ids.push_back(c.id);
        return ids;
    }
    // A click at a point of the picture given in its template's dialog units; the inputs the page
    // heard of.
    std::vector<int> ClickAt(int x, int y)
    {
        selects.clear();
        const QPoint at = DluRect(x, y, 1, 1, DialogUnitsOf(MakePointFont(QStringLiteral("Arial"), 80))).topLeft();
        QWidget *hit = picture->childAt(at);
        if (hit)
            QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(picture, at));
        else
            QTest::mouseClick(picture, Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
        return selects;
    }

    QApplication &app = QtTestApp();
    QWidget page;
    CInMode_Dlg *picture = nullptr;
    std::vector<int> selects;
};

TEST_F(ConnectorPicture, TheConnectorUnderAClickDependsOnTheAuxMode)
{
    struct Case {
        int mode;
        int x, y;  // dialog units, a little inside a connector's top-left corner or in a gap
        int input; // what the page hears, -1 for nothing
    } cases[] = {
        {0, 66, 30, 1},   {0, 428, 35, 0},  {0, 505, 35, 2},  // Hi.Level, S/PDIF, Phone in every mode
        {0, 195, 35, 3},  {0, 271, 35, 4},  {0, 347, 35, 5},  // three two-channel AUX inputs
        {1, 195, 35, 3},  {1, 271, 35, -1}, {1, 347, 35, 4},  // four-channel AUX1 and AUX2
        {1, 406, 96, -1},                                     // mode 1's AUX3 connector never shows
        {2, 195, 35, 3},  {2, 347, 35, -1}, {2, 406, 96, -1}, // one six-channel AUX1
        {2, 428, 35, 0},
        {0, 20, 100, -1}, {0, 585, 100, -1},                  // the bare panel
    };
    for (const auto &c : cases) {
        Mode(c.mode, 6);
        const auto heard = ClickAt(c.x, c.y);
        if (c.input < 0)
            EXPECT_TRUE(heard.empty()) << "mode " << c.mode << " at " << c.x << "," << c.y;
        else
            EXPECT_EQ(heard, std::vector<int>{c.input}) << "mode " << c.mode << " at " << c.x << "," << c.y;
    }
}

TEST_F(ConnectorPicture, TheSelectedInputIsCheckedOnTheConnectorOfItsMode)
{
    struct Case {
        int mode, selected;
        std::vector<int> checked;
    } cases[] = {
        {0, 0, {2705}}, {0, 1, {2704}}, {0, 2, {2715}}, {0, 3, {2706}}, {0, 4, {2707}}, {0, 5, {2708}}, {0, 6, {}},
        {1, 3, {2710}}, {1, 4, {2711}}, {1, 5, {2710}},  // AUX3 from the device shows on AUX1
        {2, 3, {2713}}, {2, 4, {2713}}, {2, 5, {}},
    };
    for (const auto &c : cases) {
        // A fresh picture each time: leaving a mode leaves its hidden connectors as they were.
        delete picture;
        picture = new CInMode_Dlg(&page);
        Mode(c.mode, c.selected);
        EXPECT_EQ(Checked(), c.checked) << "mode " << c.mode << " input " << c.selected;
    }
}

TEST_F(ConnectorPicture, AClickChecksANewInputAndTellsThePageEvenForTheSelectedOne)
{
    Mode(0, 3);
    ASSERT_EQ(Checked(), std::vector<int>{2706});
    QTest::mouseClick(picture->Button(2708), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(selects, std::vector<int>{5});
    EXPECT_EQ(Checked(), std::vector<int>{2708}) << "AUX1 unchecked, AUX3 checked";

    // The page has not moved the selection yet: the selected input is still 3.
    g_nSelInput = 5;
    selects.clear();
    QTest::mouseClick(picture->Button(2708), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(selects, std::vector<int>{5}) << "the same input again";
    EXPECT_EQ(Checked(), std::vector<int>{2708});
}

TEST_F(ConnectorPicture, TheLayoutHidesTheSpdifAndPhoneConnectorsAndAModeSwitchTheAuxOnes)
{
    picture->ShowSpdifButton(false);
    picture->ShowPhoneButton(false);
    EXPECT_FALSE(picture->Button(2705)->isVisible());
    EXPECT_FALSE(picture->Button(2715)->isVisible());
    picture->ShowPhoneButton(true);
    EXPECT_TRUE(picture->Button(2715)->isVisible());

    g_nInputGroup = 1;
    picture->ShowAuxButtons();
    g_nInputGroup = 7;  // not a mode: nothing changes
    picture->ShowAuxButtons();
    for (int id : {2710, 2711})
        EXPECT_TRUE(picture->Button(id)->isVisible()) << id;
    for (int id : {2706, 2707, 2708, 2712, 2713, 2714})
        EXPECT_FALSE(picture->Button(id)->isVisible()) << id;
}

}  // namespace
