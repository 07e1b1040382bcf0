// The off-screen surface: drawing lands on the target only when the surface is copied, in the
// target's coordinates, over the target's background or its copied pixels.

#include "controls/MemoryDC.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

TEST(MemoryDC, DrawsOffScreenAndCopiesOnce)
{
    QtTestApp();
    QImage target(40, 30, QImage::Format_ARGB32);
    target.fill(Qt::blue);
    QPainter p(&target);
    p.setBackground(Qt::green);
    {
        CMemoryDC mem(&p, QRect(10, 5, 20, 20));
        ASSERT_TRUE(mem.IsOffScreen());
        mem->fillRect(QRect(12, 7, 4, 4), Qt::red);  // target coordinates
        EXPECT_EQ(target.pixel(13, 8), QColor(Qt::blue).rgb());  // nothing on the target yet
        mem.CopyToTarget();
    }
    p.end();
    EXPECT_EQ(target.pixel(13, 8), QColor(Qt::red).rgb());
    EXPECT_EQ(target.pixel(25, 20), QColor(Qt::green).rgb());  // the surface started with the background
    EXPECT_EQ(target.pixel(5, 5), QColor(Qt::blue).rgb());     // outside the rectangle nothing changed
}

TEST(MemoryDC, CopiesTheBackgroundOfAnImageTarget)
{
    QtTestApp();
    QImage target(20, 20, QImage::Format_ARGB32);
    target.fill(Qt::yellow);
    QPainter p(&target);
    {
        CMemoryDC mem(&p, QRect(0, 0, 20, 20), true);
        mem->fillRect(QRect(0, 0, 5, 5), Qt::black);
    }
    p.end();
    EXPECT_EQ(target.pixel(2, 2), QColor(Qt::black).rgb());
    EXPECT_EQ(target.pixel(15, 15), QColor(Qt::yellow).rgb());
}

}  // namespace
