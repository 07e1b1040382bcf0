// The delay-unit selector, the coloured radio button, the link-status field and the factory
// reset confirmation.

#include "controls/BitButton.h"
#include "controls/ButtonRadio.h"
#include "controls/DELAC.h"
#include "controls/InitDlg.h"
#include "controls/Show_Link.h"

#include "platform/GlobalData.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct LanguageScope {
    explicit LanguageScope(bool chinese) : saved(g_bChinese.load()) { g_bChinese = chinese ? 1 : 0; }
    ~LanguageScope() { g_bChinese = saved; }
    int saved;
};

TEST(DELAC, EachUnitButtonChecksItselfAndPostsItsUnit)
{
    QtTestApp();
    QWidget page;
    std::vector<std::pair<WPARAM, LPARAM>> got;
    CMessageTable::Ensure(&page)->On(WM_GAINDLG_SELECT, [&](WPARAM w, LPARAM l) {
        got.push_back({w, l});
        return LRESULT(0);
    });
    CDELAC sel(&page, 2815);
    page.show();
    EXPECT_EQ(sel.Button(CDELAC::IDC_MS)->GetCheck(), 1) << "milliseconds at start";
    struct Case {
        int id;
        LPARAM unit;
    } cases[] = {{CDELAC::IDC_CM, 2}, {CDELAC::IDC_INCH, 3}, {CDELAC::IDC_MS, 1}, {CDELAC::IDC_CM, 2}};
    for (const auto &c : cases) {
        got.clear();
        CBitButton *b = sel.Button(c.id);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(2, 2));
        QCoreApplication::processEvents();
        ASSERT_EQ(got.size(), 1u) << c.id;
        EXPECT_EQ(got[0], (std::pair<WPARAM, LPARAM>{2815, c.unit}));
        for (int id : {CDELAC::IDC_MS, CDELAC::IDC_CM, CDELAC::IDC_INCH})
            EXPECT_EQ(sel.Button(id)->GetCheck(), id == c.id ? 1 : 0) << "clicked " << c.id << " button " << id;
    }
    // Enter and Escape close nothing.
    QTest::keyClick(&sel, Qt::Key_Escape);
    QTest::keyClick(&sel, Qt::Key_Return);
    EXPECT_TRUE(sel.isVisible());
}

TEST(ButtonRadio, TextColourAndClick)
{
    QtTestApp();
    QWidget page;
    int clicks = 0;
    CMessageTable::Ensure(&page)->On(WM_COMMAND, [&](WPARAM w, LPARAM) {
        clicks += LOWORD(w) == 3980;
        return LRESULT(0);
    });
    CButtonRadio r(QStringLiteral("USB"), &page, 3980);
    EXPECT_EQ(r.GetTextColor(), 0u);
    r.SetTextColor(RGB(200, 10, 10));
    EXPECT_EQ(r.GetTextColor(), RGB(200, 10, 10));
    EXPECT_EQ(r.palette().color(QPalette::WindowText), QColor(200, 10, 10));
    r.resize(80, 20);
    page.show();
    QTest::mouseClick(&r, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(r.isChecked());
}

TEST(ButtonRadio, BlackTextOnTheDarkConsoleGetsAPlateItReadsOn)
{
    QtTestApp();
    // A dark page, as the console's pages are.
    QWidget page;
    page.resize(120, 30);
    page.setAutoFillBackground(true);
    QPalette pal = page.palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(Skins::Palette::Background));
    page.setPalette(pal);
    CButtonRadio r(QStringLiteral("WIFI"), &page, 1799);
    r.setGeometry(10, 5, 90, 20);
    EXPECT_TRUE(r.HasPlate()) << "the default black text";
    const QImage img = page.grab().toImage();
    const QColor behind = img.pixelColor(10 + 88, 5 + 10);  // right end of the button, beside the words
    EXPECT_GE(Skins::Contrast(Qt::black, behind), Skins::MinTextContrast) << behind.name().toStdString();
    EXPECT_EQ(r.GetTextColor(), 0u) << "the text colour stays black";

    r.SetTextColor(RGB(228, 232, 238));
    EXPECT_FALSE(r.HasPlate()) << "light text reads on the console as it is";
}

TEST(ShowLink, BlinksRedAndStopsLight)
{
    QtTestApp();
    CShow_Link s(nullptr, 2776);
    s.resize(160, 20);
    s.SetText(QStringLiteral("Not connected devices"));
    s.StartBlink();
    s.StopBlink();
    EXPECT_FALSE(s.IsBlinking());
    EXPECT_EQ(s.PaintColor(), RGB(250, 250, 250));
    const QImage img = s.grab().toImage();
    EXPECT_EQ(img.pixelColor(1, 1), QColor(76, 76, 76));

    s.StartBlink();
    EXPECT_EQ(s.PaintColor(), RGB(250, 250, 250)) << "phase 0 first";
    s.OnTimer();
    EXPECT_EQ(s.PaintColor(), RGB(255, 0, 0));
    s.OnTimer();
    EXPECT_EQ(s.PaintColor(), RGB(250, 250, 250));

    // A text wider than the field less 19 pixels is clipped: the last 19 columns stay background.
    s.StopBlink();
    s.SetText(QString(60, QLatin1Char('W')));
    const QImage wide = s.grab().toImage();
    for (int x = 160 - 19; x < 160; ++x)
        for (int y = 0; y < 20; ++y)
            ASSERT_EQ(wide.pixelColor(x, y), QColor(76, 76, 76)) << x << "," << y;
}

TEST(InitDlg, TextsByLanguageAndResults)
{
    QtTestApp();
    struct Case {
        bool chinese;
        const char *title, *heading, *ok, *cancel;
    } cases[] = {
        {false, "Warning!", "Warning! ", "OK", "Quit"},
        {true, "恢复出厂设置", "警告!", "确定", "取消"},
    };
    for (const auto &c : cases) {
        LanguageScope lang(c.chinese);
        CInitDlg dlg;
        dlg.InitDialog();
        EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(dlg.Heading()->text(), QString::fromUtf8(c.heading));
        EXPECT_EQ(dlg.OkButton()->text(), QString::fromUtf8(c.ok));
        EXPECT_EQ(dlg.CancelButton()->text(), QString::fromUtf8(c.cancel));
        // The heading is drawn red on the dialog's own background.
        dlg.show();
        const QImage img = dlg.Heading()->grab().toImage();
        bool red = false;
        for (int y = 0; y < img.height() && !red; ++y)
            for (int x = 0; x < img.width() && !red; ++x) {
                const QColor px = img.pixelColor(x, y);
                red = px.red() > 200 && px.green() < 60 && px.blue() < 60;
            }
        EXPECT_TRUE(red) << c.title;
        EXPECT_EQ(dlg.Heading()->fontMetrics().horizontalAdvance(dlg.Heading()->text()) <= dlg.Heading()->width(), true)
            << "the heading is not cut";
        dlg.hide();
    }
    // A face wider than the template's grows the dialog rather than cutting the line.
    {
        LanguageScope lang(false);
        CInitDlg dlg;
        QFont wide = dlg.font();
        wide.setPixelSize(22);
        dlg.setFont(wide);
        dlg.InitDialog();
        QLabel *text = dlg.Text();
        EXPECT_LE(text->fontMetrics().horizontalAdvance(text->text()), text->width());
        EXPECT_LE(text->geometry().right(), dlg.width() - 1) << "the line ends inside the dialog";
        EXPECT_LE(dlg.CancelButton()->geometry().right(), dlg.width() - 1);
    }
    auto run = [](auto &&act) {
        CInitDlg dlg;
        QTimer::singleShot(0, &dlg, [&] { act(dlg); });
        return dlg.DoModal();
    };
    EXPECT_EQ(run([](CInitDlg &d) { QTest::mouseClick(d.OkButton(), Qt::LeftButton); }), IDOK);
    EXPECT_EQ(run([](CInitDlg &d) { QTest::mouseClick(d.CancelButton(), Qt::LeftButton); }), IDCANCEL);
    EXPECT_EQ(run([](CInitDlg &d) { QTest::keyClick(&d, Qt::Key_Escape); }), IDCANCEL);
    EXPECT_EQ(run([](CInitDlg &d) { d.close(); }), IDCANCEL);
}

}  // namespace
