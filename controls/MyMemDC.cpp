#include "controls/MyMemDC.h"

#include <QPaintDevice>

CMyMemDC::CMyMemDC(QPainter &target, const QRect &clip) : m_target(target), m_clip(clip)
{
    QPaintDevice *dev = target.device();
    m_offscreen = dev && dev->devType() != QInternal::Printer && !clip.isEmpty();
    if (!m_offscreen)
        return;
    m_pixmap = QPixmap(clip.size());
    m_pixmap.fill(Qt::transparent);
    m_painter.begin(&m_pixmap);
    m_painter.translate(-clip.topLeft());
}

CMyMemDC::~CMyMemDC()
{
    if (!m_offscreen)
        return;
    m_painter.end();
    m_target.drawPixmap(m_clip.topLeft(), m_pixmap);
}
