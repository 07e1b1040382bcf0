// The PNG, XP and skin buttons: which look each state paints, the fallbacks for missing looks,
// hover and repeat messages, radio groups and mask shapes.

#include "controls/BitButton.h"
#include "controls/BtnPng.h"
#include "controls/CtrlMessages.h"
#include "controls/SkinButton.h"
#include "controls/XPButton.h"
#include "platform/GlobalData.h"
#include "res/Skins.h"
#include "platform/qt/WndTimers.h"
#include "tests/controls/CtrlTestKit.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// PNG ids of our own for the tests, each a flat colour so that looks can be told apart.
constexpr int kPngBase = 64000;
void RegisterFlatPngs()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (int i = 0; i < 16; ++i) {
        const QColor c = QColor::fromHsv(i * 22, 200, 200);
        Skins::RegisterPainter(SkinType::Png, kPngBase + i, QSize(40, 20),
                               [c](QPainter &p, const QRect &r, bool) { p.fillRect(r, c); });
    }
}
QRgb Centre(const QPixmap &p) { return p.toImage().pixel(p.width() / 2, p.height() / 2); }
QRgb Flat(int i) { return QColor::fromHsv(i * 22, 200, 200).rgb(); }

TEST(BtnPng, LooksAndTheirFallbacks)
{
    RecordingPage page;
    RegisterFlatPngs();
    auto *b = new CBtnPng(&page, 4600);
    b->LoadImages(kPngBase + 0, kPngBase + 1, kPngBase + 2);
    EXPECT_EQ(b->size(), QSize(40, 20));
    b->PreRender();
    // Without checked or disabled images those slots show the last look rendered before them.
    EXPECT_EQ(Centre(b->Rendered(CBtnPng::CheckedNormal)), Flat(2));
    EXPECT_EQ(Centre(b->Rendered(CBtnPng::DisabledChecked)), Flat(2));
    EXPECT_EQ(Centre(b->Rendered(CBtnPng::Hover)), Flat(1));

    auto *c = new CBtnPng(&page, 4601);
    c->LoadImages(kPngBase + 0, kPngBase + 1, kPngBase + 2);
    c->LoadCheckedImages(kPngBase + 3, kPngBase + 4, kPngBase + 5);
    c->LoadAltLanguageImages(kPngBase + 8, kPngBase + 9, kPngBase + 10, kPngBase + 11, kPngBase + 12, kPngBase + 13);
    c->PreRender();
    EXPECT_EQ(Centre(c->Rendered(CBtnPng::DisabledUnchecked)), Flat(5));
    c->SetCheck(1);
    const int saved = g_bChinese.load();
    g_bChinese = 0;
    EXPECT_EQ(c->CurrentSlot(), CBtnPng::CheckedNormal);
    g_bChinese = 1;
    EXPECT_EQ(c->CurrentSlot(), CBtnPng::LangCheckedNormal);
    EXPECT_EQ(Centre(c->Rendered(CBtnPng::LangCheckedNormal)), Flat(11));
    g_bChinese = saved;
    c->setEnabled(false);
    EXPECT_EQ(c->CurrentSlot(), CBtnPng::DisabledChecked);
}

TEST(BtnPng, ButtonWithoutImagesPaintsNothing)
{
    RecordingPage page;
    auto *b = new CBtnPng(&page, 4602);
    b->resize(30, 30);
    b->LoadImages(0, 0, 0);
    b->LoadCheckedImages(0, 0, 0);
    auto *missing = new CBtnPng(&page, 4603);  // ids that name no image
    missing->resize(30, 30);
    missing->LoadImages(987001, 987002, 987003);
    EXPECT_EQ(missing->size(), QSize(30, 30));
    QPixmap shot(b->size());
    shot.fill(Qt::transparent);
    b->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(qAlpha(Centre(shot)), 0);
    shot.fill(Qt::transparent);
    missing->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(qAlpha(Centre(shot)), 0);
}

TEST(XPButton, BitmapByStateHoverReportAndRepeat)
{
    CManualTimerClock clock;
    RecordingPage page;
    auto *b = new CXPButton(&page, 5320);
    b->setGeometry(10, 10, 40, 20);
    b->SetBitmaps(1, 2, 3, 4, 5, 6);
    EXPECT_EQ(b->GetCheck(), 1);
    EXPECT_EQ(b->CurrentBitmap(), 1);  // starts on
    b->SetCheck(0);
    EXPECT_EQ(b->CurrentBitmap(), 4);
    b->SetSelectedBitmaps(7, 8);
    b->SetSelected(1);
    EXPECT_EQ(b->CurrentBitmap(), 8);
    b->SetSelected(0);
    b->SetDisabledBitmaps(9, 10);
    b->SetDisabled(1);
    EXPECT_EQ(b->CurrentBitmap(), 10);
    EXPECT_FALSE(b->isEnabled());
    b->SetDisabled(0);

    page.show();
    b->SetHoverRect(1);
    b->EnableRepeat(1);
    page.Clear();
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), b->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(b, &enter);
    QTest::mouseMove(b, QPoint(8, 8));
    QTest::mouseMove(b, QPoint(9, 9));
    EXPECT_EQ(page.Of(WM_CTRL_MOUSEMOVE).size(), 1u);  // once, at entry
    EXPECT_EQ(b->CurrentBitmap(), 5);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(b->CurrentBitmap(), 6);  // pressed only while hovered
    clock.Advance(200);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(8, 8));
    const auto repeats = page.Of(WM_XPBUTTON_REPEAT);
    ASSERT_GE(repeats.size(), 1u);
    EXPECT_EQ(repeats[0], (RecordedMessage{WM_XPBUTTON_REPEAT, 5320, 1}));
    EXPECT_EQ(b->GetRepeatCount(), 0);
}

TEST(SkinButton, RadioGroupDrawModesAndShape)
{
    RecordingPage page;
    auto *a = new CSkinButton(&page, 1, BS_AUTORADIOBUTTON);
    auto *b = new CSkinButton(&page, 2, BS_AUTORADIOBUTTON);
    auto *check = new CSkinButton(&page, 3, BS_AUTOCHECKBOX);
    auto *push = new CSkinButton(&page, 4);
    a->setGeometry(0, 0, 60, 24);
    b->setGeometry(0, 30, 60, 24);
    check->setGeometry(0, 60, 60, 24);
    push->setGeometry(0, 90, 60, 24);
    page.show();
    a->SetCheck(1);
    QCoreApplication::processEvents();
    b->SetCheck(1);
    EXPECT_EQ(a->GetCheck(), 1);  // the uncheck is posted ...
    QCoreApplication::processEvents();
    EXPECT_EQ(a->GetCheck(), 0);  // ... and follows
    EXPECT_EQ(b->GetCheck(), 1);
    push->SetCheck(1);
    EXPECT_EQ(push->GetCheck(), 0);
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(check->GetCheck(), 1);
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(check->GetCheck(), 0);

    push->SetSkinBitmaps(0, 0, 0, 0, 0, 0, 5, 0, 0);
    EXPECT_EQ(push->DrawMode(), 2);
    push->SetSkinBitmaps(0, 0, 0, 0, 0, 0, -3, 0, 0);
    EXPECT_EQ(push->DrawMode(), 0);

    QImage mask(10, 6, QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int y = 1; y < 5; ++y)
        for (int x = 2; x < 8; ++x)
            mask.setPixel(x, y, qRgb(0, 0, 0));
    const QRegion r = CSkinButton::RegionFromMask(mask);
    EXPECT_EQ(r.boundingRect(), QRect(2, 1, 6, 4));
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
}

}  // namespace
