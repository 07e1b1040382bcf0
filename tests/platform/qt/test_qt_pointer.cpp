// Hover and leave tracking without capture, and the hand cursor drawn by the program.

#include "platform/qt/HandCursor.h"
#include "platform/qt/HoverTracker.h"

#include "tests/platform/qt/QtTestApp.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(HoverTracker, ReportsMovesAndTheLeave)
{
    QtTestApp();
    QWidget top;
    top.resize(200, 100);
    auto *w = new QWidget(&top);
    w->setGeometry(10, 10, 50, 30);
    std::vector<QPoint> moves;
    int leaves = 0;
    auto *tracker = new CHoverTracker(
        w, [&](QPoint p, Qt::MouseButtons, Qt::KeyboardModifiers) { moves.push_back(p); }, [&] { ++leaves; });
    top.show();
    QTest::mouseMove(w, QPoint(5, 6));
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back(), QPoint(5, 6));
    EXPECT_TRUE(tracker->IsInside());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
    EXPECT_EQ(leaves, 1);
    EXPECT_FALSE(tracker->IsInside());
    EXPECT_TRUE(w->hasMouseTracking());
}

TEST(HandCursor, IsOurOwnBitmapWithTheHotSpotAtTheFingerTip)
{
    QtTestApp();
    const QCursor &c = HandCursor();
    EXPECT_EQ(c.shape(), Qt::BitmapCursor);
    EXPECT_EQ(c.hotSpot(), QPoint(11, 1));
    const QImage img = HandCursorPixmap().toImage();
    EXPECT_GT(img.pixelColor(11, 3).alpha(), 0) << "ink just below the hot spot";
    EXPECT_EQ(img.pixelColor(0, 31).alpha(), 0) << "transparent around the hand";
}

}  // namespace
