// The output map reset question and the two link prompts: the answer each returns for each way
// the user closes it, and their texts by language and pair.
#include "panels/input/All_Link_Dlg.h"
#include "panels/input/CH_Link_Dlg.h"
#include "panels/output/ReSetDlg.h"

#include "controls/ButtonRadio.h"
#include "controls/TransparentStatic.h"
#include "res/Strings.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs the dialog modally and does `act` once it is the active window; the modal result.
template <class Dlg>
int RunWith(Dlg &dlg, const std::function<void(Dlg &)> &act)
{
    QTimer::singleShot(0, &dlg, [&] {
        if (!WaitUntil([&] { return QApplication::activeWindow() == &dlg; }, 5000))
            ADD_FAILURE() << "the dialog never became active";
        act(dlg);
    });
    return dlg.DoModal();
}

struct Prompts : ::testing::Test {
    void SetUp() override
    {
        QtTestApp();
        g_bChinese = 0;
    }
    void TearDown() override { g_bChinese = 0; }
};

TEST_F(Prompts, TheMapResetQuestionAnswersEmptyDefaultOrCancel)
{
    struct Case {
        const char *what;
        std::function<void(CReSetDlg &)> act;
        int modal;
        int result;
    };
    const Case cases[] = {
        {"Emptied", [](CReSetDlg &d) { QTest::mouseClick(d.EmptyButton(), Qt::LeftButton); }, IDOK, 1},
        {"Enter", [](CReSetDlg &d) { QTest::keyClick(&d, Qt::Key_Return); }, IDOK, 1},
        {"Default", [](CReSetDlg &d) { QTest::mouseClick(d.DefaultButton(), Qt::LeftButton); }, IDOK, 2},
        {"Cancel", [](CReSetDlg &d) { QTest::mouseClick(d.CancelButton(), Qt::LeftButton); }, IDCANCEL, 0},
        {"Esc", [](CReSetDlg &d) { QTest::keyClick(&d, Qt::Key_Escape); }, IDCANCEL, 0},
        {"close box", [](CReSetDlg &d) { d.close(); }, IDCANCEL, 0},
    };
    for (const Case &c : cases) {
        CReSetDlg dlg;
        EXPECT_EQ(RunWith<CReSetDlg>(dlg, c.act), c.modal) << c.what;
        EXPECT_EQ(dlg.m_nResult, c.result) << c.what;
    }
}

TEST_F(Prompts, TheMapResetQuestionSpeaksTheUiLanguage)
{
    for (bool chinese : {false, true}) {
        g_bChinese = chinese;
        CReSetDlg dlg;
        dlg.InitDialog();
        EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8(chinese ? "提示" : "Prompting"));
        EXPECT_EQ(dlg.EmptyButton()->text(), QString::fromUtf8(chinese ? "清空" : "Emptied"));
        EXPECT_EQ(dlg.DefaultButton()->text(), QString::fromUtf8(chinese ? "默认" : "Default"));
        EXPECT_EQ(dlg.CancelButton()->text(), QString::fromUtf8(chinese ? "取消" : "Cancel"));
        EXPECT_EQ(dlg.Message()->text(),
                  QString::fromUtf8(chinese ? "输出配置清空或恢复默认" : "The output map emptied or restore default"));
        EXPECT_LE(dlg.fontMetrics().horizontalAdvance(dlg.Message()->text()), dlg.Message()->width());
    }
}

TEST_F(Prompts, TheSidesPromptReturnsTheCheckedDirectionOnOkOnly)
{
    struct Case {
        const char *what;
        std::function<void(CAll_Link_Dlg &)> act;
        int modal;
        int choice;
    };
    const Case cases[] = {
        {"OK untouched", [](CAll_Link_Dlg &d) { QTest::mouseClick(d.OkButton(), Qt::LeftButton); }, IDOK,
         CAll_Link_Dlg::kLeftToRight},
        {"second, then OK",
         [](CAll_Link_Dlg &d) {
             QTest::mouseClick(d.SecondChoice(), Qt::LeftButton);
             QTest::keyClick(&d, Qt::Key_Return);
         },
         IDOK, CAll_Link_Dlg::kRightToLeft},
        {"Cancel", [](CAll_Link_Dlg &d) { QTest::mouseClick(d.CancelButton(), Qt::LeftButton); }, IDCANCEL, 0},
    };
    for (const Case &c : cases) {
        CAll_Link_Dlg dlg;
        EXPECT_EQ(RunWith<CAll_Link_Dlg>(dlg, c.act), c.modal) << c.what;
        EXPECT_EQ(dlg.m_nChoice, c.choice) << c.what;
    }
}

TEST_F(Prompts, TheSidesPromptNamesTheSameDirectionForEachChoiceInBothLanguages)
{
    for (bool chinese : {false, true}) {
        g_bChinese = chinese;
        CAll_Link_Dlg dlg;
        dlg.OnInitDialog();
        EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8(chinese ? "提示" : "Prompting"));
        EXPECT_EQ(dlg.FirstChoice()->text(), QString::fromUtf8(chinese ? "从左复制到右" : "Copy from left to right"));
        EXPECT_EQ(dlg.SecondChoice()->text(), QString::fromUtf8(chinese ? "从右复制到左" : "Copy from right to left"));
        EXPECT_EQ(dlg.OkButton()->text(), QString::fromUtf8(chinese ? "确定" : "OK"));
        EXPECT_EQ(dlg.CancelButton()->text(), QString::fromUtf8(chinese ? "取消" : "Cancel"));
        EXPECT_TRUE(dlg.FirstChoice()->isChecked());
    }
}

TEST_F(Prompts, TheChannelPromptNamesThePairsChannels)
{
    struct Case {
        int pair;
        const char *caption, *first, *second;
    };
    const Case cases[] = {
        {0, "Linking of CH1 and CH2 channel", "CH1 be applied?", "CH2 be applied?"},
        {1, "Linking of CH3 and CH4 channel", "CH3 be applied?", "CH4 be applied?"},
        {2, "Linking of CH5 and CH6 channel", "CH5 be applied?", "CH6 be applied?"},
        {3, "Link", "", ""},
        {-1, "Link", "", ""},
    };
    g_bChinese = 1;  // English texts only
    for (const Case &c : cases) {
        CCH_Link_Dlg dlg;
        dlg.m_nPair = c.pair;
        dlg.OnInitDialog();
        EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8(c.caption)) << c.pair;
        EXPECT_EQ(dlg.FirstChoice()->text(), QString::fromUtf8(c.first)) << c.pair;
        EXPECT_EQ(dlg.SecondChoice()->text(), QString::fromUtf8(c.second)) << c.pair;
    }
    CCH_Link_Dlg fresh;
    EXPECT_EQ(fresh.m_nPair, -1) << "a prompt whose pair nobody set names none";
}

TEST_F(Prompts, TheChannelPromptReturnsTheChosenChannel)
{
    CCH_Link_Dlg ok;
    ok.m_nPair = 1;
    EXPECT_EQ(RunWith<CCH_Link_Dlg>(ok, [](CCH_Link_Dlg &d) { QTest::mouseClick(d.OkButton(), Qt::LeftButton); }),
              IDOK);
    EXPECT_EQ(ok.m_nChoice, 0) << "CH3";
    CCH_Link_Dlg second;
    second.m_nPair = 1;
    EXPECT_EQ(RunWith<CCH_Link_Dlg>(second,
                                    [](CCH_Link_Dlg &d) {
                                        QTest::mouseClick(d.SecondChoice(), Qt::LeftButton);
                                        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
                                    }),
              IDOK);
    EXPECT_EQ(second.m_nChoice, 1) << "CH4";
    CCH_Link_Dlg cancelled;
    cancelled.m_nPair = 0;
    EXPECT_EQ(RunWith<CCH_Link_Dlg>(cancelled, [](CCH_Link_Dlg &d) { QTest::keyClick(&d, Qt::Key_Escape); }),
              IDCANCEL);
}

}  // namespace
