// Renders every control of this folder's UI layer in its states and languages to PNG files under
// ZK_TEST_OUTPUT, so a person can look at them. The checks only make sure something was drawn.

#include "controls/BitButton.h"
#include "controls/ButtonRadio.h"
#include "controls/DELAC.h"
#include "controls/DisplayDlg.h"
#include "controls/FontStatic.h"
#include "controls/GradientProgressCtrl.h"
#include "controls/GroupBoxEx.h"
#include "controls/HyLink.h"
#include "controls/InitDlg.h"
#include "controls/MessageBox.h"
#include "controls/MuteStatic.h"
#include "controls/SLamp.h"
#include "controls/Show_Link.h"
#include "controls/TransparentStatic.h"

#include "platform/GlobalData.h"
#include "platform/qt/QtGlobals.h"
#include "res/Skins.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QDir>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString outputDir()
{
    const QByteArray env = qgetenv("ZK_TEST_OUTPUT");
    QString dir = env.isEmpty() ? QDir::tempPath() + QStringLiteral("/zk-test-output") : QString::fromLocal8Bit(env);
    QDir().mkpath(dir);
    return dir;
}

bool save(const QImage &img, const QString &name)
{
    return !img.isNull() && img.save(outputDir() + QLatin1Char('/') + name);
}

struct LanguageScope {
    explicit LanguageScope(bool chinese) : saved(g_bChinese.load()) { g_bChinese = chinese ? 1 : 0; }
    ~LanguageScope() { g_bChinese = saved; }
    int saved;
};

// A sheet of labelled cells on the console background.
class Sheet {
public:
    Sheet(int cols, int cellW, int cellH, int rows) : m_cols(cols), m_w(cellW), m_h(cellH), m_img(cols * cellW, rows * cellH, QImage::Format_RGB32)
    {
        m_img.fill(QColor::fromRgb(Skins::Palette::Background));
    }
    void add(const QString &label, const QImage &img)
    {
        QPainter p(&m_img);
        const int x = (m_n % m_cols) * m_w, y = (m_n / m_cols) * m_h;
        p.setPen(QColor::fromRgb(Skins::Palette::TextDim));
        p.drawText(QRect(x + 8, y + 4, m_w - 16, 16), Qt::AlignLeft | Qt::AlignVCenter, label);
        p.drawImage(x + 8, y + 22, img);
        ++m_n;
    }
    const QImage &image() const { return m_img; }

private:
    int m_cols, m_w, m_h, m_n = 0;
    QImage m_img;
};

QImage grabOn(QWidget &w, QColor background)
{
    QImage img(w.size(), QImage::Format_RGB32);
    img.fill(background);
    QPainter p(&img);
    w.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

TEST(RenderControls, MessageBoxesAndConfirmation)
{
    QtTestApp();
    InitQtGlobals();
    for (bool cn : {false, true}) {
        LanguageScope lang(cn);
        struct Box {
            const char *name, *textEn, *textCn;
            unsigned type;
            int code;
        } boxes[] = {
            {"ok-prompt", "Connection failure!", "连接失败  请检查USB线缆是否插好或\n该设备已经连接上了另一软件!", MB_OK, 2000},
            {"yesno-warning", "Whether Restore All EQ?", "是否恢复所有均衡?", MB_YESNO, 2001},
            {"okcancel", "Load WIFI factory default success", "恢复WIFI出厂设置成功", MB_OKCANCEL, 0},
            {"quit", "Not find help file!", "没有发现帮助文件!", 6, -4},
        };
        for (const auto &b : boxes) {
            CMessageBox box(cn ? b.textCn : b.textEn, b.type, g_strProductName, b.code);
            box.InitDialog();
            box.show();
            EXPECT_TRUE(save(box.grab().toImage(), QStringLiteral("msgbox-%1-%2.png").arg(b.name, cn ? "cn" : "en")));
            box.hide();
        }
        CInitDlg init;
        init.InitDialog();
        init.show();
        EXPECT_TRUE(save(init.grab().toImage(), QStringLiteral("initdlg-%1.png").arg(cn ? "cn" : "en")));
        init.hide();
    }
}

TEST(RenderControls, TransferPopupAndBars)
{
    QtTestApp();
    const int saved = g_bTransferring.load();
    for (bool cn : {false, true}) {
        LanguageScope lang(cn);
        QWidget owner;
        CDisplayDlg dlg(&owner);
        g_bTransferring = 1;
        dlg.Show(0);
        dlg.Progress()->SetRange(0, 40);
        dlg.Progress()->SetPos(26);
        QCoreApplication::processEvents();
        EXPECT_TRUE(save(dlg.grab().toImage(), QStringLiteral("transfer-popup-%1.png").arg(cn ? "cn" : "en")));
        dlg.OnTimer();
        EXPECT_TRUE(save(dlg.grab().toImage(), QStringLiteral("transfer-popup-blink-%1.png").arg(cn ? "cn" : "en")));
        g_bTransferring = 0;
        dlg.Progress()->SetPos(40);
        dlg.OnTimer();
        EXPECT_TRUE(save(dlg.grab().toImage(), QStringLiteral("transfer-popup-end-%1.png").arg(cn ? "cn" : "en")));
        dlg.Hide();
    }
    g_bTransferring = saved;

    Sheet sheet(2, 330, 60, 3);
    const int positions[] = {0, 25, 50, 75, 99, 100};
    for (int pos : positions) {
        CGradientProgressCtrl bar;
        bar.resize(300, 22);
        bar.SetShowPercent(1);
        bar.SetTextColor(RGB(255, 255, 255));
        bar.SetBkColor(RGB(40, 44, 52));
        bar.SetRange(0, 100);
        bar.SetPos(pos);
        sheet.add(QStringLiteral("position %1 of 100").arg(pos), bar.grab().toImage());
    }
    EXPECT_TRUE(save(sheet.image(), QStringLiteral("gradient-progress.png")));
}

TEST(RenderControls, ButtonsInTheirStates)
{
    QtTestApp();
    for (bool cn : {false, true}) {
        LanguageScope lang(cn);
        Sheet sheet(4, 170, 70, 6);
        struct Look {
            const char *name;
            int check, hover;
            bool press, enabled;
        } looks[] = {{"normal", 0, 0, false, true},  {"hover", 0, 1, false, true},  {"pressed", 0, 1, true, true},
                     {"checked", 1, 0, false, true}, {"checked hover", 1, 1, false, true}, {"disabled", 0, 0, false, false}};
        const int page = cn ? 4310 : 4300;
        const int connect = cn ? 8751 : 8753;
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
            sheet.add(QStringLiteral("page %1").arg(QLatin1String(l.name)), grabOn(b, QColor::fromRgb(Skins::Palette::Background)));
            if (l.press)
                QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(3, 3));
        }
        for (const auto &l : looks) {
            QWidget holder;
            CBitButton b(&holder, 1413);
            b.SetBitmaps(connect, connect - 11, connect - 11);
            b.setEnabled(l.enabled);
            b.SetHover(l.hover);
            sheet.add(QStringLiteral("connect %1").arg(QLatin1String(l.name)), grabOn(b, QColor::fromRgb(Skins::Palette::Background)));
        }
        // A disabled button used as a text display, and a plain button with words and no skin.
        {
            QWidget holder;
            CBitButton name(&holder, 2770);
            name.SetDisabledBitmaps(718, 716);
            name.SetTextColor(RGB(255, 255, 255));
            name.SetTextFormat(DT_LEFT);
            name.SetTextOffset(10);
            name.setText(cn ? QStringLiteral("自定义") : QStringLiteral("Custom"));
            name.setEnabled(false);
            sheet.add(QStringLiteral("preset name display"), grabOn(name, Qt::black));
        }
        QWidget page2;
        page2.resize(160, 60);
        CDELAC sel(&page2, 2815);
        sheet.add(QStringLiteral("delay unit selector"), grabOn(sel, Qt::black));
        sel.OnCm();
        sheet.add(QStringLiteral("delay unit: cm"), grabOn(sel, Qt::black));
        for (int id : {4946, 4948}) {
            QWidget holder;
            CBitButton b(&holder, id);
            b.SetBitmaps(id, id + 1, id + 1);
            sheet.add(QStringLiteral("window button %1").arg(id), grabOn(b, Qt::black));
            b.SetHover(1);
            sheet.add(QStringLiteral("window button %1 hover").arg(id), grabOn(b, Qt::black));
        }
        EXPECT_TRUE(save(sheet.image(), QStringLiteral("buttons-%1.png").arg(cn ? "cn" : "en")));
    }
}

TEST(RenderControls, LabelsLampsAndFrames)
{
    QtTestApp();
    InitQtGlobals();
    for (bool cn : {false, true}) {
        LanguageScope lang(cn);
        Sheet sheet(3, 260, 80, 5);
        const QColor bg = QColor::fromRgb(Skins::Palette::Panel);
        {
            CFontStatic s;
            s.resize(230, 24);
            s.SetFontStatic(QString(), 16, RGB(228, 232, 238), 0x20);
            s.SetText(cn ? QStringLiteral("输出 1  增益") : QStringLiteral("Output 1  Gain"));
            sheet.add(QStringLiteral("font static, centred"), grabOn(s, bg));
            s.SetBkColor(RGB(40, 180, 230));
            s.SetTextColor(RGB(255, 255, 255));
            s.SetFontStyle(0x40);
            sheet.add(QStringLiteral("font static, filled, left"), grabOn(s, bg));
            s.StartAlarm();
            QTest::qWait(1050);
            sheet.add(QStringLiteral("font static, alarm"), grabOn(s, bg));
            s.StopAlarm();
        }
        {
            CTransparentStatic t(nullptr, 0, SS_CENTER | SS_CENTERIMAGE);
            t.resize(230, 24);
            t.SetTextColor(RGB(140, 149, 163));
            t.SetText(cn ? QStringLiteral("固件版本 V1.00") : QStringLiteral("Firmware version V1.00"));
            sheet.add(QStringLiteral("transparent static"), grabOn(t, bg));
            CHyLink link(nullptr, 0, SS_CENTER | SS_CENTERIMAGE);
            link.resize(230, 24);
            link.SetWindowText(QStringLiteral("http://www.example.com"));
            sheet.add(QStringLiteral("web link"), grabOn(link, bg));
            CMuteStatic m;
            m.resize(60, 24);
            sheet.add(QStringLiteral("mute static on"), grabOn(m, bg));
            m.SetState(0);
            sheet.add(QStringLiteral("mute static off"), grabOn(m, bg));
        }
        {
            CShow_Link s;
            s.resize(230, 22);
            s.SetText(QString::fromStdString(cn ? g_strNotConnectedCn : g_strNotConnectedEn));
            s.StartBlink();
            sheet.add(QStringLiteral("link status"), grabOn(s, bg));
            s.OnTimer();
            sheet.add(QStringLiteral("link status, blink"), grabOn(s, bg));
            s.StopBlink();
            s.SetText(QString::fromStdString(cn ? g_strConnectedCn : g_strConnectedEn));
            sheet.add(QStringLiteral("link status, connected"), grabOn(s, bg));
        }
        {
            CSLamp lamp;
            lamp.resize(130, 12);
            lamp.SetLevel(0x26);
            sheet.add(QStringLiteral("level lamp 0x26"), grabOn(lamp, bg));
            lamp.SetLevel(0x79);
            sheet.add(QStringLiteral("level lamp 0x79"), grabOn(lamp, bg));
        }
        {
            QWidget dlg;
            dlg.resize(230, 50);
            CGroupBoxEx box(&dlg, 0, cn ? QStringLiteral("升级") : QStringLiteral("Update"), BS_GROUPBOX | BS_CENTER);
            box.resize(230, 50);
            box.SetTextColor(RGB(228, 232, 238));
            sheet.add(QStringLiteral("group box"), grabOn(box, bg));
            box.setEnabled(false);
            sheet.add(QStringLiteral("group box, disabled"), grabOn(box, bg));
        }
        {
            QWidget holder;
            holder.resize(120, 24);
            CButtonRadio r(cn ? QStringLiteral("网络") : QStringLiteral("Network"), &holder, 0);
            r.resize(120, 24);
            r.SetTextColor(RGB(228, 232, 238));
            r.setChecked(true);
            sheet.add(QStringLiteral("radio button"), grabOn(r, bg));
        }
        EXPECT_TRUE(save(sheet.image(), QStringLiteral("labels-%1.png").arg(cn ? "cn" : "en")));
    }
}

}  // namespace
