// The double-byte aligned edit, the password edit, the click-to-command combo box, the warning
// dialog and the file dialog's path buffer.

#include "controls/Adv_ComBox.h"
#include "controls/ChEnEdit.h"
#include "controls/FileDialogEx.h"
#include "controls/PassWordEdit.h"
#include "controls/WarnDlg.h"
#include "platform/GlobalData.h"
#include "tests/controls/CtrlTestKit.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(ChEnEdit, AlignsDoubleByteCharactersOnEvenBytes)
{
    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        {"A中", "A 中"},      {"AB中", "AB中"},         {"中A中", "中A 中"},     {"ABC中文D", "ABC 中文D"},
        {"中文", "中文"},     {"A中B中", "A 中B 中"},   {"", ""},               {"Music 1", "Music 1"},
        {"A高电平", "A 高电平"},  // GBK trail bytes below 0x80 do not confuse whole-character counting
        {"€中", "€ 中"},          // the euro sign is one GBK byte
        {"€€中", "€€中"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CChEnEdit::AlignText(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
    EXPECT_EQ(CChEnEdit::GbkLength(QString::fromUtf8("A中")), 3);
    EXPECT_EQ(CChEnEdit::GbkLength(QString::fromUtf8("A€😀")), 4);  // a character GBK lacks counts as a cell
}

// A shown, active page with the edit and a line edit to move the focus to.
struct ChEnEditPage {
    RecordingPage page;
    CChEnEdit *edit = new CChEnEdit(&page);
    QLineEdit *other = new QLineEdit(&page);

    bool Show()
    {
        other->move(0, 40);
        page.show();
        page.activateWindow();
        return QTest::qWaitForWindowActive(&page);
    }
};

TEST(ChEnEdit, TypingAndFocusLoss)
{
    ChEnEditPage rig;
    ASSERT_TRUE(rig.Show());
    auto *edit = rig.edit;
    auto *other = rig.other;
    edit->setFocus();
    QTest::keyClicks(edit, "A");
    QKeyEvent han(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("中"));
    QCoreApplication::sendEvent(edit, &han);
    EXPECT_EQ(edit->text(), QString::fromUtf8("A 中"));

    edit->setText(QString::fromUtf8("B文"));
    other->setFocus();
    edit->setFocus();
    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->text(), QString::fromUtf8("B 文"));

    edit->EnableAlign(false);
    edit->setText(QString::fromUtf8("C文"));
    edit->setFocus();
    other->setFocus();
    EXPECT_EQ(edit->text(), QString::fromUtf8("C文"));
}

// A paste from the edit's menu goes to the caret: opening the menu does not align the text (which
// would move the caret to the end); the focus loss after it does.
TEST(ChEnEdit, PasteFromItsMenuGoesToTheCaret)
{
    ChEnEditPage rig;
    ASSERT_TRUE(rig.Show());
    auto *edit = rig.edit;
    auto *other = rig.other;
    QGuiApplication::clipboard()->setText(QStringLiteral("BC"));
    edit->setText(QString::fromUtf8("A中"));  // not aligned yet, as after deleting the blank
    edit->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return edit->hasFocus(); }, 5000));
    edit->setCursorPosition(1);
    const QPoint at(5, 5);
    QContextMenuEvent right(QContextMenuEvent::Mouse, at, edit->mapToGlobal(at));
    QCoreApplication::sendEvent(edit, &right);
    ASSERT_TRUE(ClickMenuItem(QStringLiteral("&Paste")));
    EXPECT_EQ(edit->text(), QString::fromUtf8("ABC中"));
    other->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return other->hasFocus(); }, 5000));
    EXPECT_EQ(edit->text(), QString::fromUtf8("ABC 中"));
}

TEST(PassWordEdit, TakesLettersDigitsAndBackspaceOnly)
{
    RecordingPage page;
    auto *edit = new CPassWordEdit(&page);
    page.show();
    edit->setFocus();
    QTest::keyClicks(edit, "ab-_ 9Z");
    QKeyEvent han(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("中"));
    QCoreApplication::sendEvent(edit, &han);
    EXPECT_EQ(edit->text(), "ab9Z");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "ab9");
}

TEST(Adv_ComBox, ClickIsACommandAndNeverOpensTheList)
{
    RecordingPage page;
    auto *combo = new CAdv_ComBox(&page);
    combo->addItems({"one", "two"});
    combo->setGeometry(10, 10, 100, 24);
    page.show();
    page.Clear();
    QTest::mouseClick(combo, Qt::LeftButton, {}, QPoint(50, 12));
    const auto cmds = page.Of(WM_COMMAND);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].wParam, 2729u);
    EXPECT_FALSE(combo->view()->isVisible());
}

TEST(WarnDlg, ShowsTheMessageAndTheQuitButtonInTheLanguage)
{
    QtTestApp();
    const int saved = g_bChinese.load();
    for (const bool chinese : {false, true}) {
        g_bChinese = chinese ? 1 : 0;
        CWarnDlg dlg;
        dlg.m_strMessage = "Firmware file error";
        dlg.OnInitDialog();
        EXPECT_EQ(dlg.windowTitle(), "VRX530 Software");
        EXPECT_EQ(dlg.Button()->text(), chinese ? QString::fromUtf8("退出") : QStringLiteral("Quit"));
    }
    g_bChinese = saved;
}

TEST(FileDialogEx, WalksTheChosenFiles)
{
    CFileDialogEx multi;
    multi.SetRawBuffer("/home/u/presets\0a.qxds\0b.qxds\0\0"s, OFN_EXPLORER | OFN_ALLOWMULTISELECT);
    CFileDialogEx::POSITION pos = multi.GetStartPosition();
    EXPECT_EQ(multi.GetNextPathName(pos), "/home/u/presets/a.qxds");
    ASSERT_NE(pos, CFileDialogEx::kNullPos);
    EXPECT_EQ(multi.GetNextPathName(pos), "/home/u/presets/b.qxds");
    EXPECT_EQ(pos, CFileDialogEx::kNullPos);

    CFileDialogEx one;
    one.SetRawBuffer("/home/u/one.qxds"s, OFN_EXPLORER);
    pos = one.GetStartPosition();
    EXPECT_EQ(one.GetNextPathName(pos), "/home/u/one.qxds");
    EXPECT_EQ(pos, CFileDialogEx::kNullPos);
    EXPECT_EQ(one.GetFileBaseName(), "one");
    EXPECT_EQ(one.GetFileExt(), ".qxds");
    EXPECT_EQ(one.GetFileDir(), "/home/u/");

    CFileDialogEx single;  // multi-select allowed, one file chosen
    single.SetRawBuffer("/tmp/x.bin\0\0"s, OFN_EXPLORER | OFN_ALLOWMULTISELECT);
    pos = single.GetStartPosition();
    EXPECT_EQ(single.GetNextPathName(pos), "/tmp/x.bin");
    EXPECT_EQ(pos, CFileDialogEx::kNullPos);

    CFileDialogEx old;  // old style: blanks separate
    old.SetRawBuffer("/srv/d a.bin b.bin"s, OFN_ALLOWMULTISELECT);
    pos = old.GetStartPosition();
    EXPECT_EQ(old.GetNextPathName(pos), "/srv/d/a.bin");
    EXPECT_EQ(old.GetNextPathName(pos), "/srv/d/b.bin");
    EXPECT_EQ(pos, CFileDialogEx::kNullPos);

    EXPECT_EQ(CFileDialogEx::ToNameFilters(".bin|*.bin||"), QStringList{".bin (*.bin)"});
    EXPECT_EQ(CFileDialogEx::ToNameFilters("Presets|*.qxds;*.qxda|All|*.*||"),
              (QStringList{"Presets (*.qxds *.qxda)", "All (*.*)"}));
}

}  // namespace
