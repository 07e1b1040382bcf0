// The lock log: its two logs, the time stamp, Clear and the boxes it publishes.
#include "app/LockDataDlg.h"

#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

TEST(LockLog, AppendsToEachLogAsTheFlagsSay)
{
    QtTestApp();
    CLockDataDlg dlg;
    dlg.InitDialog();
    // Both flags 0 continue the current line; a new-line flag ends it.
    dlg.AppendWriteLog(QStringLiteral("A1"), 0, 0);
    dlg.AppendWriteLog(QStringLiteral("B2"), 0, 1);
    dlg.AppendWriteLog(QStringLiteral("C3"), 0, 1);
    dlg.AppendReadLog(QStringLiteral("51"), 0, 0);
    EXPECT_EQ(dlg.WriteLog()->toPlainText(), QStringLiteral("A1B2\nC3\n"));
    EXPECT_EQ(dlg.ReadLog()->toPlainText(), QStringLiteral("51"));

    // The time stamp follows the text, in the counter's seconds.
    dlg.AppendReadLog(QStringLiteral(" ack"), 1, 1);
    const QString read = dlg.ReadLog()->toPlainText();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^51 ack \\(延时\\(秒\\)=\\d+\\.\\d{6} \\)\\n$")).match(read).hasMatch())
        << read.toStdString();
}

TEST(LockLog, ClearAndShowEmptyBothLogsButNotTheBoxes)
{
    QtTestApp();
    CLockDataDlg dlg;
    dlg.InitDialog();
    const auto fill = [&] {
        dlg.AppendWriteLog(QStringLiteral("12"), 0, 1);
        dlg.AppendReadLog(QStringLiteral("34"), 0, 1);
        dlg.WriteCount()->setText(QStringLiteral("7"));
        dlg.ReadCount()->setText(QStringLiteral("9"));
    };
    fill();
    dlg.ClearButton()->click();
    EXPECT_TRUE(dlg.WriteLog()->toPlainText().isEmpty());
    EXPECT_TRUE(dlg.ReadLog()->toPlainText().isEmpty());
    EXPECT_EQ(dlg.WriteCount()->text(), QStringLiteral("7"));
    EXPECT_EQ(dlg.ReadCount()->text(), QStringLiteral("9"));

    fill();
    dlg.ShowLog();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.isModal());
    EXPECT_TRUE(dlg.WriteLog()->toPlainText().isEmpty());
    EXPECT_TRUE(dlg.ReadLog()->toPlainText().isEmpty());
    dlg.hide();
}

TEST(LockLog, PublishesItsBoxesWhileItExistsAndTakesOnlyDigitsFromTheKeyboard)
{
    QtTestApp();
    {
        CLockDataDlg dlg;
        EXPECT_EQ(g_pLockWriteCountEdit, nullptr);
        dlg.InitDialog();
        EXPECT_EQ(g_pLockWriteCountEdit, dlg.WriteCount());
        EXPECT_EQ(g_pLockReadCountEdit, dlg.ReadCount());

        QTest::keyClicks(dlg.WriteLog(), QStringLiteral("a1-b2 3"));
        EXPECT_EQ(dlg.WriteLog()->toPlainText(), QStringLiteral("123"));
    }
    EXPECT_EQ(g_pLockWriteCountEdit, nullptr);
    EXPECT_EQ(g_pLockReadCountEdit, nullptr);
}

TEST(LockLog, TextsFollowTheLanguage)
{
    QtTestApp();
    g_bChinese = 1;
    CLockDataDlg dlg;
    dlg.InitDialog();
    EXPECT_EQ(dlg.ClearButton()->text(), QStringLiteral("清除"));
    SetUiLanguage(false);
    EXPECT_EQ(dlg.ClearButton()->text(), QStringLiteral("Clear"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Lock"));
}
