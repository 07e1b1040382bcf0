// The skinned controls in their states: message boxes, the transfer popup, buttons, statics,
// numeric edits, sliders, selectors, tabs and lists.

#include "gallery/Gallery.h"

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/BtnPng.h"
#include "controls/ButtonRadio.h"
#include "controls/ColorListCtrl.h"
#include "controls/ComBoxBtn.h"
#include "controls/DELAC.h"
#include "controls/DisplayDlg.h"
#include "controls/DropBtn.h"
#include "controls/DropListBox.h"
#include "controls/EnTabCtrl.h"
#include "controls/FontStatic.h"
#include "controls/GradientProgressCtrl.h"
#include "controls/GroupBoxEx.h"
#include "controls/HyLink.h"
#include "controls/InitDlg.h"
#include "controls/ListCtrlCl.h"
#include "controls/MessageBox.h"
#include "controls/MuteStatic.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/SLamp.h"
#include "controls/Show_Link.h"
#include "controls/SkinButton.h"
#include "controls/SpinBtn.h"
#include "controls/TransparentStatic.h"
#include "controls/WarnDlg.h"
#include "controls/XPButton.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WndTimers.h"
#include "res/Skins.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

using Gallery::Chinese;
using Gallery::On;
using Gallery::Sheet;
using Gallery::Shot;

namespace {

QString Tr(const char *en, const char *zh) { return QString::fromUtf8(Chinese() ? zh : en); }

// A dark console panel with small captions, the page controls are placed on.
class Panel : public QWidget {
public:
    explicit Panel(QSize size)
    {
        resize(size);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(Skins::Palette::Background));
        setPalette(pal);
    }
    void Caption(int x, int y, const QString &text)
    {
        auto *l = new QLabel(text, this);
        l->setStyleSheet(QStringLiteral("color: #8C95A3; font: 12px 'Liberation Sans';"));
        l->move(x, y);
        l->adjustSize();
    }
    QImage Picture()
    {
        setFocusPolicy(Qt::StrongFocus);
        show();
        setFocus();
        QCoreApplication::processEvents();
        return grab().toImage();
    }
};

}  // namespace

ZK_GALLERY(message_boxes)
{
    struct Box {
        const char *en, *zh;
        unsigned type;
        int code;
    } boxes[] = {
        {"Connection failure!", "连接失败  请检查USB线缆是否插好或\n该设备已经连接上了另一软件!", MB_OK, 2000},
        {"Whether Restore All EQ?", "是否恢复所有均衡?", MB_YESNO, 2001},
        {"Load WIFI factory default success", "恢复WIFI出厂设置成功", MB_OKCANCEL, 0},
        {"Not find help file!", "没有发现帮助文件!", 6, -4},
    };
    Sheet sheet(2, 420, 220, 3);
    for (const auto &b : boxes) {
        CMessageBox box(Chinese() ? b.zh : b.en, b.type, g_strProductName, b.code);
        box.InitDialog();
        sheet.Add(box.windowTitle(), Shot(box));
        box.hide();
    }
    CInitDlg init;
    init.InitDialog();
    sheet.Add(Tr("confirmation", "确认"), Shot(init));
    init.hide();
    return sheet.Image();
}

ZK_GALLERY(transfer_popup)
{
    const int saved = g_bTransferring.load();
    QWidget owner;
    CDisplayDlg dlg(&owner);
    g_bTransferring = 1;
    dlg.Show(0);
    dlg.Progress()->SetRange(0, 40);
    dlg.Progress()->SetPos(26);
    Sheet sheet(3, 420, 200, 1);
    sheet.Add(QStringLiteral("running"), Shot(dlg));
    dlg.OnTimer();
    sheet.Add(QStringLiteral("running, blink"), Shot(dlg));
    g_bTransferring = 0;
    dlg.Progress()->SetPos(40);
    dlg.OnTimer();
    sheet.Add(QStringLiteral("end"), Shot(dlg));
    dlg.Hide();
    g_bTransferring = saved;
    return sheet.Image();
}

ZK_GALLERY(gradient_progress)
{
    Sheet sheet(2, 330, 60, 3);
    for (int pos : {0, 25, 50, 75, 99, 100}) {
        CGradientProgressCtrl bar;
        bar.resize(300, 22);
        bar.SetShowPercent(1);
        bar.SetTextColor(RGB(255, 255, 255));
        bar.SetBkColor(RGB(40, 44, 52));
        bar.SetRange(0, 100);
        bar.SetPos(pos);
        sheet.Add(QStringLiteral("position %1 of 100").arg(pos), bar.grab().toImage());
    }
    return sheet.Image();
}

ZK_GALLERY(bitmap_buttons)
{
    Sheet sheet(4, 200, 70, 6);
    struct Look {
        const char *name;
        int check, hover;
        bool press, enabled;
    } looks[] = {{"normal", 0, 0, false, true},  {"hover", 0, 1, false, true},          {"pressed", 0, 1, true, true},
                 {"checked", 1, 0, false, true}, {"checked hover", 1, 1, false, true}, {"disabled", 0, 0, false, false}};
    const QColor bg = QColor::fromRgb(Skins::Palette::Background);
    const int page = Chinese() ? 4310 : 4300;
    const int connect = Chinese() ? 8751 : 8753;
    for (const auto &l : looks) {
        QWidget holder;
        CBitButton b(&holder, 2561);
        b.SetBitmaps(page, page + 1, page + 2, page + 2, page + 2, page + 2);
        b.SetDisabledBitmaps(page, page + 2);
        b.setEnabled(l.enabled);
        b.SetCheck(l.check);
        b.SetHover(l.hover);
        if (l.press)
            QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(3, 3));
        sheet.Add(QStringLiteral("page %1").arg(QLatin1String(l.name)), On(b, bg));
        if (l.press)
            QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(3, 3));
    }
    for (const auto &l : looks) {
        QWidget holder;
        CBitButton b(&holder, 1413);
        b.SetBitmaps(connect, connect - 11, connect - 11);
        b.setEnabled(l.enabled);
        b.SetHover(l.hover);
        sheet.Add(QStringLiteral("connect %1").arg(QLatin1String(l.name)), On(b, bg));
    }
    {
        // A disabled button used as a text display.
        QWidget holder;
        CBitButton name(&holder, 2770);
        name.SetDisabledBitmaps(718, 716);
        name.SetTextColor(RGB(255, 255, 255));
        name.SetTextFormat(DT_LEFT);
        name.SetTextOffset(10);
        name.setText(Tr("Custom", "自定义"));
        name.setEnabled(false);
        sheet.Add(QStringLiteral("preset name display"), On(name, Qt::black));
    }
    QWidget page2;
    page2.resize(160, 60);
    CDELAC sel(&page2, 2815);
    sheet.Add(QStringLiteral("delay unit selector"), On(sel, Qt::black));
    sel.OnCm();
    sheet.Add(QStringLiteral("delay unit: cm"), On(sel, Qt::black));
    for (int id : {4946, 4948}) {
        QWidget holder;
        CBitButton b(&holder, id);
        b.SetBitmaps(id, id + 1, id + 1);
        sheet.Add(QStringLiteral("window button %1").arg(id), On(b, Qt::black));
        b.SetHover(1);
        sheet.Add(QStringLiteral("window button %1 hover").arg(id), On(b, Qt::black));
    }
    return sheet.Image();
}

ZK_GALLERY(labels_lamps_frames)
{
    Sheet sheet(3, 260, 80, 5);
    const QColor bg = QColor::fromRgb(Skins::Palette::Panel);
    {
        CManualTimerClock clock;
        CFontStatic s;
        s.resize(230, 24);
        s.SetFontStatic(QString(), 16, RGB(228, 232, 238), 0x20);
        s.SetText(Tr("Output 1  Gain", "输出 1  增益"));
        sheet.Add(QStringLiteral("font static, centred"), On(s, bg));
        s.SetBkColor(RGB(40, 180, 230));
        s.SetTextColor(RGB(255, 255, 255));
        s.SetFontStyle(0x40);
        sheet.Add(QStringLiteral("font static, filled, left"), On(s, bg));
        s.StartAlarm();
        clock.Advance(1000);
        sheet.Add(QStringLiteral("font static, alarm"), On(s, bg));
        s.StopAlarm();
    }
    {
        CTransparentStatic t(nullptr, 0, SS_CENTER | SS_CENTERIMAGE);
        t.resize(230, 24);
        t.SetTextColor(RGB(140, 149, 163));
        t.SetText(Tr("Firmware version V1.00", "固件版本 V1.00"));
        sheet.Add(QStringLiteral("transparent static"), On(t, bg));
        CHyLink link(nullptr, 0, SS_CENTER | SS_CENTERIMAGE);
        link.resize(230, 24);
        link.SetWindowText(QStringLiteral("http://www.example.com"));
        sheet.Add(QStringLiteral("web link"), On(link, bg));
        CMuteStatic m;
        m.resize(60, 24);
        sheet.Add(QStringLiteral("mute static on"), On(m, bg));
        m.SetState(0);
        sheet.Add(QStringLiteral("mute static off"), On(m, bg));
    }
    {
        CShow_Link s;
        s.resize(230, 22);
        s.SetText(QString::fromStdString(Chinese() ? g_strNotConnectedCn : g_strNotConnectedEn));
        s.StartBlink();
        sheet.Add(QStringLiteral("link status"), On(s, bg));
        s.OnTimer();
        sheet.Add(QStringLiteral("link status, blink"), On(s, bg));
        s.StopBlink();
        s.SetText(QString::fromStdString(Chinese() ? g_strConnectedCn : g_strConnectedEn));
        sheet.Add(QStringLiteral("link status, connected"), On(s, bg));
    }
    {
        CSLamp lamp;
        lamp.resize(130, 12);
        lamp.SetLevel(0x26);
        sheet.Add(QStringLiteral("level lamp 0x26"), On(lamp, bg));
        lamp.SetLevel(0x79);
        sheet.Add(QStringLiteral("level lamp 0x79"), On(lamp, bg));
    }
    {
        QWidget dlg;
        dlg.resize(230, 50);
        CGroupBoxEx box(&dlg, 0, Tr("Update", "升级"), BS_GROUPBOX | BS_CENTER);
        box.resize(230, 50);
        box.SetTextColor(RGB(228, 232, 238));
        sheet.Add(QStringLiteral("group box"), On(box, bg));
        box.setEnabled(false);
        sheet.Add(QStringLiteral("group box, disabled"), On(box, bg));
    }
    {
        QWidget holder;
        holder.resize(120, 24);
        CButtonRadio r(Tr("Network", "网络"), &holder, 0);
        r.resize(120, 24);
        r.SetTextColor(RGB(228, 232, 238));
        r.setChecked(true);
        sheet.Add(QStringLiteral("radio button"), On(r, bg));
    }
    return sheet.Image();
}

namespace {

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

}  // namespace

ZK_GALLERY(numeric_edits)
{
    Panel panel(QSize(440, 200));
    panel.Caption(10, 8, QStringLiteral("Delay (resting)"));
    AddEdit(panel, QRect(10, 24, 100, 22), 0, "ms", 0, 960, 480);
    panel.Caption(140, 8, QStringLiteral("Delay in cm (focused)"));
    CNumEdit *focused = AddEdit(panel, QRect(140, 24, 100, 22), 1, "cm", 0, 960, 480);
    focused->SetHighlight(1);
    panel.Caption(270, 8, QStringLiteral("Gain off"));
    AddEdit(panel, QRect(270, 24, 100, 22), 23, "", 0, 600, 0);
    panel.Caption(10, 62, QStringLiteral("Frequency"));
    AddEdit(panel, QRect(10, 78, 100, 22), 8, "", 20, 20000, 1000);
    panel.Caption(140, 62, QStringLiteral("Q"));
    AddEdit(panel, QRect(140, 78, 100, 22), 11, "", 0, 295, 52);
    panel.Caption(270, 62, QStringLiteral("Ratio"));
    AddEdit(panel, QRect(270, 78, 100, 22), 40, "", 1, 191, 16);

    const char *states[] = {"step button resting", "minus", "active", "plus"};
    for (int s = 0; s < 4; ++s) {
        const int x = 10 + s * 105;
        panel.Caption(x, 118, QString::fromLatin1(states[s]));
        CNumSpin *spin = nullptr;
        CNumEdit *e = AddEdit(panel, QRect(x, 134, 90, 20), 0, "", 0, 960, 240 + s * 10, &spin);
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
            QMouseEvent move(QEvent::MouseMove, QPointF(where), b->mapToGlobal(QPointF(where)), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(b, &move);
        }
        e->UpdateText();
    }
    panel.Caption(10, 172, QStringLiteral("Step buttons with skins 804-807 of the delay fields"));
    return panel.Picture();
}

ZK_GALLERY(sliders)
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
        panel.Caption(20 + i * 70, 10, QString::fromLatin1(cases[i].caption));
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
    panel.Caption(240, 10, QStringLiteral("with lit channel"));
    return panel.Picture();
}

ZK_GALLERY(dropdowns)
{
    Panel panel(QSize(460, 180));
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
        panel.Caption(10 + i * 150, 12, QString::fromLatin1(i == 0 ? "selector" : i == 1 ? "selector, skin 701" : "disabled"));
    }
    panel.Caption(10, 70, QStringLiteral("open list"));
    auto *list = new CDropListBox(&panel);
    list->SetListFont(MakeFont("Arial", 14));
    list->AddGroupItem("Crossover", 1, RGB(40, 180, 230), RGB(255, 255, 255));
    for (const char *t : items)
        list->AddGroupItem(t, 1, RGB(255, 255, 255), RGB(255, 255, 255));
    list->setGeometry(10, 88, 130, 5 * list->GetItemHeight());
    list->SetCurSel(2);
    auto *drop = new CDropBtn(&panel);
    drop->setGeometry(170, 88, 140, 24);
    drop->Setup("Butterworth", 0, 0, 0, 0, 0, 2, RGB(38, 42, 49), RGB(52, 57, 67), RGB(40, 180, 230));
    panel.Caption(170, 70, QStringLiteral("drop-down button"));
    return panel.Picture();
}

ZK_GALLERY(xp_png_skin_buttons)
{
    Panel panel(QSize(460, 160));
    for (int i = 0; i < 2; ++i) {
        auto *b = new CXPButton(&panel);
        b->move(10 + i * 60, 30);
        b->SetBitmaps(1042, 1042, 1042, 1043, 1043, 1043);
        b->SetCheck(i == 0);
        panel.Caption(10 + i * 60, 12, QString::fromLatin1(i == 0 ? "XP on" : "XP off"));
    }
    for (int i = 0; i < 3; ++i) {
        auto *b = new CBtnPng(&panel);
        b->move(150 + i * 50, 30);
        b->LoadImages(582, 583, 584);
        b->LoadCheckedImages(584, 584, 584);
        b->SetCheck(i == 1);
        if (i == 2)
            b->SetHover(1);
    }
    panel.Caption(150, 12, QStringLiteral("PNG: normal, checked, hover"));
    auto *s1 = new CSkinButton(&panel, 1, BS_PUSHBUTTON);
    s1->setText(Tr("Connect", "连接"));
    s1->setGeometry(10, 110, 110, 30);
    auto *s2 = new CSkinButton(&panel, 2, BS_AUTORADIOBUTTON);
    s2->setText(QStringLiteral("USB"));
    s2->setGeometry(130, 110, 80, 30);
    s2->SetCheck(1);
    auto *s3 = new CSkinButton(&panel, 3, BS_PUSHBUTTON);
    s3->setText(Tr("Disabled", "禁用"));
    s3->setGeometry(220, 110, 110, 30);
    s3->setEnabled(false);
    panel.Caption(10, 92, QStringLiteral("skin buttons: push, checked radio, disabled"));
    return panel.Picture();
}

ZK_GALLERY(tab_and_lists)
{
    Panel panel(QSize(640, 360));
    auto *tab = new CEnTabCtrl(&panel);
    tab->setGeometry(10, 10, 620, 120);
    tab->SetBkColor(RGB(0x1B, 0x1E, 0x23));  // the console's colour, as the view gives its tab control
    tab->SetPaintMode(2);
    CEnTabCtrl::EnableCustomLook(true, 0x1F);
    for (const QString &t : {Tr("Output", "输出"), Tr("Input", "输入"), Tr("Mixer", "混音"), QString(), Tr("Link", "联调")})
        tab->InsertItem(tab->GetItemCount(), t);
    tab->SetCurSel(0);

    const COLORREF rowBack = RGB(38, 42, 49), rowText = RGB(228, 232, 238), firstCol = RGB(46, 51, 60);
    auto *list = new CListCtrlCl(&panel);
    list->setGeometry(10, 140, 300, 200);
    list->InsertColumn(0, Tr("Output", "输出"), LVCFMT_LEFT, 90);
    list->InsertColumn(1, Tr("Gain", "增益"), LVCFMT_CENTER, 90);
    list->InsertColumn(2, Tr("Delay", "延时"), LVCFMT_RIGHT, 100);
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
    colour->setHorizontalHeaderLabels({Tr("Source", "音源"), Tr("Level", "电平")});
    colour->setRowCount(5);
    colour->SetBkColor(rowBack);
    for (int r = 0; r < 5; ++r) {
        colour->setItem(r, 0, new QTableWidgetItem(Tr("Input %1", "输入 %1").arg(r + 1)));
        colour->setItem(r, 1, new QTableWidgetItem(QString::number(-6 * r)));
        colour->SetRowColor(r, rowText, r % 2 ? firstCol : rowBack);
    }
    colour->SetRowColor(1, RGB(255, 255, 255), RGB(13, 133, 138));
    colour->SetCellColor(3, 1, RGB(255, 59, 48), RGB(60, 30, 34));
    const QImage img = panel.Picture();
    CEnTabCtrl::EnableCustomLook(false, 0);
    return img;
}

ZK_GALLERY(warning_dialog)
{
    CWarnDlg dlg;
    dlg.m_strMessage = Tr("The firmware file is damaged.", "固件文件已损坏。");
    dlg.OnInitDialog();
    const QImage img = Shot(dlg);
    dlg.hide();
    return img;
}

ZK_GALLERY(file_dialog)
{
    // The file dialog the preset and firmware commands open (Qt's own, in the console palette).
    QFileDialog dlg(nullptr, Tr("Open", "打开"), QDir::tempPath(), QStringLiteral("*.qxds (*.qxds)"));
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.resize(640, 400);
    const QImage img = Shot(dlg);
    dlg.hide();
    return img;
}
