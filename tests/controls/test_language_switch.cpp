// One language notice: controls and dialogs that are already up show the other language without
// being made again (captions, labels, popup texts, value words, skins with words, refilled lists).

#include "controls/BitButton.h"
#include "controls/ComBoxBtn.h"
#include "controls/DisplayDlg.h"
#include "controls/EnTabCtrl.h"
#include "controls/FontStatic.h"
#include "controls/InitDlg.h"
#include "controls/MessageBox.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/SkinButton.h"
#include "controls/WarnDlg.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "res/Skins.h"
#include "tests/controls/CtrlTestKit.h"

#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// Starts in the language asked for (without a notice) and restores the flag afterwards.
struct LanguageScope {
    explicit LanguageScope(bool chinese) : saved(g_bChinese.load()) { g_bChinese = chinese ? 1 : 0; }
    ~LanguageScope() { g_bChinese = saved; }
    int saved;
};

QString U(const char *s) { return QString::fromUtf8(s); }

bool SameImage(const QPixmap &a, const QPixmap &b)
{
    return a.toImage().convertToFormat(QImage::Format_RGB32) == b.toImage().convertToFormat(QImage::Format_RGB32);
}

// A page as the output page fills its lists: in ApplyTexts, again at each notice, keeping the
// selections.
class ListsPage : public RecordingPage {
public:
    ListsPage()
    {
        tab = new CEnTabCtrl(this);
        tab->setGeometry(0, 0, 300, 60);
        combo = new CComBoxBtn(this);
        combo->setGeometry(10, 80, 120, 24);
        show();
        combo->CreateDropList(this, 77);
        ApplyTexts();
    }
    void ApplyTexts()
    {
        const int tabSel = tab->GetCurSel();
        tab->DeleteAllItems();
        for (StrId id : {StrId::BandPeq, StrId::BandLowShelf, StrId::BandHighShelf})
            tab->InsertItem(tab->GetItemCount(), QTr(id));
        tab->SetCurSel(tabSel < 0 ? 0 : tabSel);
        const int comboSel = combo->GetCurSel();
        combo->ResetContent();
        for (StrId id : {StrId::FamilyLinkwitzRiley, StrId::FamilyButterworth, StrId::FamilyBessel})
            combo->AddString(QTr(id));
        combo->SetCurSel(comboSel < 0 ? 0 : comboSel);
    }
    CEnTabCtrl *tab;
    CComBoxBtn *combo;

protected:
    void changeEvent(QEvent *e) override
    {
        if (e->type() == QEvent::LanguageChange)
            ApplyTexts();
        QWidget::changeEvent(e);
    }
};

}  // namespace

TEST(LanguageSwitch, OpenMessageBoxFollowsWithTitleAndLabels)
{
    QtTestApp();
    LanguageScope lang(false);
    CMessageBox timed("text", MB_YESNO, "caption", 2001);
    CMessageBox fixed("text", MB_OK, "caption", -5);
    CMessageBox plain("text", MB_OKCANCEL, "caption", 0);
    for (CMessageBox *b : {&timed, &fixed, &plain})
        b->show();
    EXPECT_EQ(timed.windowTitle(), "Warning");
    EXPECT_EQ(timed.OkButton()->text(), "YES");

    SetUiLanguage(true);
    EXPECT_EQ(timed.windowTitle(), U("警告"));
    EXPECT_EQ(timed.OkButton()->text(), U("是"));
    EXPECT_EQ(timed.CancelButton()->text(), U("否"));
    EXPECT_EQ(fixed.windowTitle(), "Warning");  // code -5 is English in either language
    EXPECT_EQ(fixed.OkButton()->text(), U("确定"));
    EXPECT_EQ(plain.windowTitle(), "caption");
    EXPECT_EQ(plain.CancelButton()->text(), U("取消"));
    EXPECT_EQ(timed.TextLabel()->text(), "text");  // the caller's text stays as given
    EXPECT_TRUE(timed.CloseTimerActive());         // and the box keeps its close timer

    SetUiLanguage(false);
    EXPECT_EQ(timed.windowTitle(), "Warning");
    EXPECT_EQ(plain.OkButton()->text(), "OK");
    for (CMessageBox *b : {&timed, &fixed, &plain})
        b->hide();
}

TEST(LanguageSwitch, TransferPopupRunningAndEndTexts)
{
    QtTestApp();
    LanguageScope lang(false);
    const int savedTransfer = g_bTransferring.load();
    CDisplayDlg popup;
    g_bTransferring = 1;
    popup.Show(0);
    EXPECT_EQ(popup.windowTitle(), "Data transmission");

    SetUiLanguage(true);
    EXPECT_EQ(popup.windowTitle(), U("数据传输"));
    EXPECT_EQ(popup.Text()->GetWindowText(), U("数据正在传输中"));

    g_bTransferring = 0;
    popup.OnTimer();  // the batch ended: the end text
    EXPECT_EQ(popup.Text()->GetWindowText(), U("数据传输结束"));
    SetUiLanguage(false);
    EXPECT_EQ(popup.Text()->GetWindowText(), "End of data transmission");
    popup.Hide();

    popup.SetFactoryResetMode();
    g_bTransferring = 1;
    popup.Show(0);
    SetUiLanguage(true);
    EXPECT_EQ(popup.windowTitle(), U("高级"));
    EXPECT_EQ(popup.Text()->GetWindowText(), U("正在恢复出厂设置"));
    popup.Hide();
    g_bTransferring = savedTransfer;
}

TEST(LanguageSwitch, FactoryResetConfirmationAndQuitBoxRelabelWithoutClipping)
{
    QtTestApp();
    LanguageScope lang(true);
    CInitDlg confirm;
    confirm.InitDialog();
    CWarnDlg warn;
    warn.m_strMessage = QStringLiteral("message");
    warn.OnInitDialog();
    EXPECT_EQ(warn.Button()->text(), U("退出"));

    SetUiLanguage(false);
    EXPECT_EQ(confirm.windowTitle(), "Warning!");
    EXPECT_EQ(confirm.Heading()->text(), "Warning! ");
    EXPECT_EQ(confirm.Text()->text(), "   This operation will restore factory Settings");
    EXPECT_EQ(confirm.CancelButton()->text(), "Quit");
    EXPECT_EQ(warn.Button()->text(), "Quit");
    const auto fits = [](QLabel *l) { return l->fontMetrics().horizontalAdvance(l->text()) <= l->width(); };
    EXPECT_TRUE(fits(confirm.Heading()));
    EXPECT_TRUE(fits(confirm.Text()));
    EXPECT_LE(confirm.Text()->geometry().right(), confirm.width());

    SetUiLanguage(true);
    EXPECT_EQ(confirm.Heading()->text(), U("警告!"));
    EXPECT_EQ(confirm.OkButton()->text(), U("确定"));
    EXPECT_TRUE(fits(confirm.Text()));
}

TEST(LanguageSwitch, NumericEditShowsItsWordsInTheNewLanguageUnlessTheUserIsTyping)
{
    LanguageScope lang(false);
    RecordingPage page;
    auto *edit = new CNumEdit(&page);
    auto *spin = new CNumSpin(&page);
    spin->SetBuddy(edit);
    edit->SetType(23);
    spin->SetRange(0, 600);
    edit->SetScale(0.1);
    edit->SetOffset(60);
    edit->SetValue(0);
    EXPECT_EQ(edit->text(), "OFF");
    SetUiLanguage(true);
    EXPECT_EQ(edit->text(), U("关闭"));

    edit->SetType(0, "ms");
    spin->SetRange(0, 960);
    edit->SetValue(480);
    SetUiLanguage(false);
    EXPECT_EQ(edit->text(), "10.000MS");

    edit->setText(QStringLiteral("12"));
    edit->SetPending(1);
    SetUiLanguage(true);
    EXPECT_EQ(edit->text(), "12");
}

TEST(LanguageSwitch, SkinsWithWordsAreDrawnAgainInTheNewLanguage)
{
    LanguageScope lang(false);
    RecordingPage page;
    constexpr int kOn = 526;  // a switch face with "ON" and its Chinese word
    auto *bit = new CBitButton(&page, 100);
    bit->SetBitmaps(kOn, kOn, kOn, kOn, kOn, kOn);
    auto *skin = new CSkinButton(&page, 101);
    skin->SetSkinBitmaps(kOn, kOn, kOn, 0, 0, 0, 0, 0, 0);
    page.show();
    const QSize size = Skins::NaturalSize(SkinType::Bitmap, kOn);
    bit->resize(size);
    skin->resize(size);
    const QPixmap en = Skins::Bitmap(kOn, size, SkinLang::English);
    const QPixmap cn = Skins::Bitmap(kOn, size, SkinLang::Chinese);
    ASSERT_FALSE(SameImage(en, cn));
    EXPECT_TRUE(SameImage(skin->grab(), en));

    SetUiLanguage(true);
    EXPECT_TRUE(SameImage(bit->grab(), cn));
    EXPECT_TRUE(SameImage(skin->grab(), cn));
    SetUiLanguage(false);
    EXPECT_TRUE(SameImage(skin->grab(), en));
}

TEST(LanguageSwitch, TabAndComboListsRefilledKeepTheirSelection)
{
    LanguageScope lang(false);
    ListsPage page;
    page.tab->SetCurSel(2);
    page.combo->SetCurSel(1);
    EXPECT_EQ(page.combo->text(), "Butter_W");

    SetUiLanguage(true);
    EXPECT_EQ(page.tab->GetItemText(0), U("参量均衡"));
    EXPECT_EQ(page.tab->GetCurSel(), 2);
    EXPECT_EQ(page.combo->GetCurSel(), 1);
    EXPECT_EQ(page.combo->text(), U("巴特沃斯"));
    SetUiLanguage(false);
    EXPECT_EQ(page.tab->GetItemText(2), "Hi_Shf");
}
