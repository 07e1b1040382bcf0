// Renders the controls of this folder in their states onto console panels and writes them as PNG
// files under $ZK_TEST_OUTPUT, for a person to look at. Each test also checks that the picture is
// not blank.

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/BtnPng.h"
#include "controls/ColorListCtrl.h"
#include "controls/ComBoxBtn.h"
#include "controls/DropBtn.h"
#include "controls/DropListBox.h"
#include "controls/DropWnd.h"
#include "controls/EnTabCtrl.h"
#include "controls/ListCtrlCl.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/SkinButton.h"
#include "controls/SpinBtn.h"
#include "controls/WarnDlg.h"
#include "controls/XPButton.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"
#include "res/Skins.h"
#include "tests/controls/CtrlTestKit.h"

#include <QLabel>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A dark console panel with small captions.
class Panel : public RecordingPage {
public:
    explicit Panel(QSize size)
    {
        InitQtGlobals();
        resize(size);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(Skins::Palette::Background));
        setPalette(pal);
    }
    void Caption(int x, int y, const QString &text)
    {
        auto *l = new QLabel(text, this);
        l->setStyleSheet(QStringLiteral("color: #8C95A3; font: 11px 'Liberation Sans';"));
        l->move(x, y);
        l->adjustSize();
    }
    QPixmap Shot()
    {
        setFocusPolicy(Qt::StrongFocus);
        show();
        setFocus();
        QCoreApplication::processEvents();
        return grab();
    }
};

bool NotBlank(const QPixmap &pix)
{
    const QImage img = pix.toImage();
    const QRgb first = img.pixel(0, 0);
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3)
            if (img.pixel(x, y) != first)
                return true;
    return false;
}

CNumEdit *AddEdit(Panel &panel, QRect at, int type, const char *unit, int min, int max, int value, CNumSpin **spinOut = nullptr)
{
    auto *edit = new CNumEdit(&panel);
    edit->setGeometry(at);
    edit->setFont(MakeFont("Arial", 14));
    auto *spin = new CNumSpin(&panel);
    spin->setGeometry(at.right() + 2, at.top(), 14, at.height());
    spin->SetBuddy(edit);
    edit->SetType(type, unit);
    spin->SetRange(min, max);
    edit->SetScale(0.1);
    edit->SetOffset(60);
    edit->SetType(type, unit);
    spin->SetPos(value);
    if (spinOut)
        *spinOut = spin;
    return edit;
}

TEST(Snapshots, NumericEdits)
{
    Panel panel(QSize(420, 252));
    panel.Caption(10, 8, "Delay (resting)");
    AddEdit(panel, QRect(10, 24, 90, 22), 0, "ms", 0, 960, 480);
    panel.Caption(130, 8, "Delay in cm (focused)");
    CNumEdit *focused = AddEdit(panel, QRect(130, 24, 90, 22), 1, "cm", 0, 960, 480);
    focused->SetHighlight(1);
    panel.Caption(250, 8, "Gain off");
    AddEdit(panel, QRect(250, 24, 90, 22), 23, "", 0, 600, 0);
    panel.Caption(10, 62, "Frequency");
    AddEdit(panel, QRect(10, 78, 90, 22), 8, "", 20, 20000, 1000);
    panel.Caption(130, 62, "Q");
    AddEdit(panel, QRect(130, 78, 90, 22), 11, "", 0, 295, 52);
    panel.Caption(250, 62, "Ratio");
    AddEdit(panel, QRect(250, 78, 90, 22), 40, "", 1, 191, 16);

    const char *states[] = {"step button resting", "minus", "active", "plus"};
    for (int s = 0; s < 4; ++s) {
        const int x = 10 + s * 100;
        panel.Caption(x, 118, states[s]);
        CNumSpin *spin = nullptr;
        CNumEdit *e = AddEdit(panel, QRect(x, 134, 80, 20), 0, "", 0, 960, 240 + s * 10, &spin);
        e->setFont(MakeFont("Arial", 12));
        e->CreateSpinButton(4000 + s);
        e->AttachSpin(0, spin);
        e->SetReadOnly(1);
        spin->hide();
        CSpinBtn *b = e->GetSpinButton();
        b->SetBitmaps(804, 805, 806, 807);
        b->SetActive(s != 0);
        if (s != 0) {
            const QPoint where = s == 1 ? b->MinusArea().center() : s == 3 ? b->PlusArea().center() : b->MiddleArea().center();
            QMouseEvent move(QEvent::MouseMove, QPointF(where), b->mapToGlobal(QPointF(where)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(b, &move);
        }
        e->UpdateText();
    }
    panel.Caption(10, 172, "Step buttons with skins 804-807 of the delay fields");

    // The Chinese interface: unit and off words in Chinese.
    const int savedLanguage = g_bChinese.load();
    g_bChinese = 1;
    panel.Caption(10, 200, "Chinese: ms, cm, inch, gain off");
    AddEdit(panel, QRect(10, 216, 90, 22), 0, "ms", 0, 960, 480);
    AddEdit(panel, QRect(115, 216, 90, 22), 1, "cm", 0, 960, 480);
    AddEdit(panel, QRect(220, 216, 90, 22), 2, "in", 0, 960, 960);
    AddEdit(panel, QRect(325, 216, 70, 22), 23, "", 0, 600, 0);
    g_bChinese = savedLanguage;
    const QPixmap shot = panel.Shot();
    EXPECT_TRUE(NotBlank(shot));
    EXPECT_TRUE(SaveSnapshot(shot, "controls2_numeric_edits"));
}

TEST(Snapshots, Sliders)
{
    Panel panel(QSize(400, 210));
    const struct {
        int pos;
        bool focus;
        bool enabled;
        const char *caption;
    } cases[] = {{40, false, true, "resting"}, {120, true, true, "focused"}, {200, false, false, "disabled"}};
    for (int i = 0; i < 3; ++i) {
        auto *s = new CBitmapSlider(&panel);
        s->move(20 + i * 70, 30);
        s->SetChannelBitmaps(610, 0, 0);
        s->SetThumbBitmaps(611, 613, 1);
        s->SetThumbMaskBitmap(612);
        s->SetMargin(2, 0, 2, 0);
        s->SetRange(0, 240);
        s->SetPos(cases[i].pos);
        s->SetFocusLook(cases[i].focus);
        s->Enable(cases[i].enabled);
        panel.Caption(20 + i * 70, 10, cases[i].caption);
    }
    for (int i = 0; i < 2; ++i) {
        auto *s = new CBitmapSlider(&panel);
        s->move(240 + i * 70, 30);
        s->SetChannelBitmaps(281, 283, 0);
        s->SetThumbBitmaps(280, 282, 1);
        s->SetMargin(4, 0, 4, 0);
        s->SetRange(0, 240);
        s->SetPos(i == 0 ? 60 : 180);
        s->SetFocusLook(i == 1);
    }
    panel.Caption(240, 10, "with lit channel");
    const QPixmap shot = panel.Shot();
    EXPECT_TRUE(NotBlank(shot));
    EXPECT_TRUE(SaveSnapshot(shot, "controls2_sliders"));
}

TEST(Snapshots, DropDowns)
{
    Panel panel(QSize(460, 260));
    const char *items[] = {"Linkwitz-Riley", "Butterworth", "Bessel", "OFF"};
    for (int i = 0; i < 3; ++i) {
        auto *c = new CComBoxBtn(&panel);
        c->setGeometry(10 + i * 150, 30, 130, 22);
        if (i == 1)
            c->SetBitmaps(701, 702);
        c->CreateDropList(&panel, 1);
        for (const char *t : items)
            c->AddString(t);
        c->SetCurSel(i == 1 ? 2 : i);  // the narrow skin shows a short item
        if (i == 2)
            c->setEnabled(false);
        panel.Caption(10 + i * 150, 12, i == 0 ? "selector" : i == 1 ? "selector, skin 701" : "disabled");
    }
    // The open list, drawn in place on the panel.
    panel.Caption(10, 70, "open list");
    auto *list = new CDropListBox(&panel);
    list->SetListFont(MakeFont("Arial", 14), 14);
    list->AddGroupItem("Crossover", 1, RGB(40, 180, 230), RGB(255, 255, 255));
    for (const char *t : items)
        list->AddGroupItem(t, 1, RGB(255, 255, 255), RGB(255, 255, 255));
    list->setGeometry(10, 88, 130, 5 * 14);
    list->SetCurSel(2);

    auto *drop = new CDropBtn(&panel);
    drop->setGeometry(170, 88, 140, 24);
    drop->Setup("Butterworth", 0, 0, 0, 0, 0, 2, RGB(38, 42, 49), RGB(52, 57, 67), RGB(40, 180, 230));
    panel.Caption(170, 70, "drop-down button");
    const QPixmap shot = panel.Shot();
    EXPECT_TRUE(NotBlank(shot));
    EXPECT_TRUE(SaveSnapshot(shot, "controls2_dropdowns"));
}

TEST(Snapshots, Buttons)
{
    Panel panel(QSize(460, 200));
    // XP buttons: bypass switches in both states.
    for (int i = 0; i < 2; ++i) {
        auto *b = new CXPButton(&panel);
        b->move(10 + i * 60, 30);
        b->SetBitmaps(1042, 1042, 1042, 1043, 1043, 1043);
        b->SetCheck(i == 0);
        panel.Caption(10 + i * 60, 12, i == 0 ? "XP on" : "XP off");
    }
    // PNG buttons: speaker buttons, one checked.
    for (int i = 0; i < 3; ++i) {
        auto *b = new CBtnPng(&panel);
        b->move(150 + i * 50, 30);
        b->LoadImages(582, 583, 584);
        b->LoadCheckedImages(584, 584, 584);
        b->SetCheck(i == 1);
        if (i == 2)
            b->SetHover(1);
    }
    panel.Caption(150, 12, "PNG: normal, checked, hover");
    // Skin buttons without skins (the start page's) and a checked radio.
    auto *s1 = new CSkinButton(&panel, 1, BS_PUSHBUTTON);
    s1->setText("Connect");
    s1->setGeometry(10, 110, 110, 30);
    auto *s2 = new CSkinButton(&panel, 2, BS_AUTORADIOBUTTON);
    s2->setText("USB");
    s2->setGeometry(130, 110, 80, 30);
    s2->SetCheck(1);
    auto *s3 = new CSkinButton(&panel, 3, BS_PUSHBUTTON);
    s3->setText("Disabled");
    s3->setGeometry(220, 110, 110, 30);
    s3->setEnabled(false);
    panel.Caption(10, 92, "skin buttons: push, checked radio, disabled");
    const QPixmap shot = panel.Shot();
    EXPECT_TRUE(NotBlank(shot));
    EXPECT_TRUE(SaveSnapshot(shot, "controls2_buttons"));
}

TEST(Snapshots, TabAndLists)
{
    Panel panel(QSize(640, 360));
    auto *tab = new CEnTabCtrl(&panel);
    tab->setGeometry(10, 10, 620, 120);
    tab->SetBkColor(0xEEE4E3);
    tab->SetPaintMode(2);
    CEnTabCtrl::EnableCustomLook(true, 0x1F);
    for (const char *t : {"Output", "Input", "Mixer", "", "Link"})
        tab->InsertItem(tab->GetItemCount(), t);
    tab->SetCurSel(0);

    // Both lists as a page of the console would set them up: dark rows, light text.
    const COLORREF rowBack = RGB(38, 42, 49), rowText = RGB(228, 232, 238), firstCol = RGB(46, 51, 60);
    auto *list = new CListCtrlCl(&panel);
    list->setGeometry(10, 140, 300, 200);
    list->InsertColumn(0, "Output", LVCFMT_LEFT, 90);
    list->InsertColumn(1, "Gain", LVCFMT_CENTER, 90);
    list->InsertColumn(2, "Delay", LVCFMT_RIGHT, 100);
    for (int r = 0; r < 6; ++r) {
        list->InsertItem(r, QStringLiteral("CH%1").arg(r + 1));
        list->SetItemText(r, 1, QStringLiteral("%1 dB").arg(-r * 1.5, 0, 'f', 1));
        list->SetItemText(r, 2, QStringLiteral("%1 ms").arg(r * 0.25, 0, 'f', 3));
    }
    list->SetBkColor(rowBack);
    list->SetTextColorAll(rowText);
    list->SetHeaderBkColor(70, 76, 88, 1);
    list->SetHeaderTextColor(rowText);
    list->SetColBkColor(0, firstCol);
    list->SetColTextColor(0, RGB(140, 149, 163));
    list->SetRowBkColor(2, RGB(20, 92, 118));
    list->SetRowTextColor(2, RGB(255, 255, 255));
    list->SetRowHeight(24);

    auto *colour = new CColorListCtrl(&panel);
    colour->setGeometry(320, 140, 310, 200);
    colour->setColumnCount(2);
    colour->setHorizontalHeaderLabels({"Source", "Level"});
    colour->setRowCount(5);
    colour->SetBkColor(rowBack);
    for (int r = 0; r < 5; ++r) {
        colour->setItem(r, 0, new QTableWidgetItem(QStringLiteral("Input %1").arg(r + 1)));
        colour->setItem(r, 1, new QTableWidgetItem(QStringLiteral("%1").arg(-6 * r)));
        colour->SetRowColor(r, rowText, r % 2 ? firstCol : rowBack);
    }
    colour->SetRowColor(1, RGB(255, 255, 255), RGB(13, 133, 138));
    colour->SetCellColor(3, 1, RGB(255, 59, 48), RGB(60, 30, 34));
    const QPixmap shot = panel.Shot();
    EXPECT_TRUE(NotBlank(shot));
    EXPECT_TRUE(SaveSnapshot(shot, "controls2_tab_lists"));
    CEnTabCtrl::EnableCustomLook(false, 0);
}

TEST(Snapshots, WarningDialog)
{
    QtTestApp();
    InitQtGlobals();
    CWarnDlg dlg;
    dlg.m_strMessage = "The firmware file is damaged.";
    dlg.OnInitDialog();
    dlg.show();
    QCoreApplication::processEvents();
    const QPixmap shot = dlg.grab();
    EXPECT_TRUE(NotBlank(shot));
    EXPECT_TRUE(SaveSnapshot(shot, "controls2_warn_dialog"));
    dlg.hide();
}

}  // namespace
