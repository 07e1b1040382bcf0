#include "controls/SLamp.h"

#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QPainter>

CSLamp::CSLamp(QWidget *parent, int ctrlId) : QWidget(parent)
{
    SetCtrlId(this, ctrlId);
    m_lit.fill(1);
    m_drawn.fill(1);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    Layout();
}

void CSLamp::Layout()
{
    m_nSegWidth = width() / 13;
    m_nSegHeight = height();
}

void CSLamp::resizeEvent(QResizeEvent *e)
{
    Layout();
    QWidget::resizeEvent(e);
}

COLORREF CSLamp::SegmentColor(int i, bool lit)
{
    if (!lit)
        return RGB(102, 102, 102);
    if (i < 9)
        return 0x33C800;
    if (i == 9)
        return 0x4ACCFF;
    if (i == 10)
        return 0x277FFF;
    return 0x0000ED;
}

QRect CSLamp::SegmentRect(int i) const
{
    // The layout follows the current size, also before a hidden lamp has had its resize event.
    const int w = width() / 13;
    return QRect(i * (w + 1), 0, w, height());
}

void CSLamp::SetLevel(std::uint8_t b)
{
    m_lit[11] = (b & 0x10) ? 1 : 0;
    m_lit[10] = (b & 0x20) ? 1 : 0;
    m_lit[9] = (b & 0x40) ? 1 : 0;
    const int n = b & 0x0F;
    if (n <= 9)
        for (int i = 0; i < 9; ++i)
            m_lit[size_t(i)] = i < n ? 1 : 0;
    for (int i = 0; i < kSegments; ++i) {
        if (m_lit[size_t(i)] != m_drawn[size_t(i)]) {
            m_bDirty = true;
            m_drawn[size_t(i)] = m_lit[size_t(i)];
        }
    }
    if (m_bDirty) {
        ++m_nPaints;
        update();
        m_bDirty = false;
    }
}

void CSLamp::Clear()
{
    m_lit.fill(0);
    m_drawn.fill(0);
    m_bDirty = false;
    ++m_nPaints;
    update();
}

void CSLamp::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), ToQColor(0x7F7F7F));
    for (int i = 0; i < kSegments; ++i) {
        QRect r = SegmentRect(i);
        r.setTop(r.top() + 1);
        p.fillRect(r, ToQColor(SegmentColor(i, m_drawn[size_t(i)] != 0)));
    }
}
