#include "controls/MemoryDC.h"

#include <QImage>
#include <QPaintDevice>

CMemoryDC::CMemoryDC(QPainter *target, QRect rect, bool copyBackground) : m_pTarget(target)
{
    QPaintDevice *dev = target->device();
    m_bOffScreen = dev && dev->devType() != QInternal::Printer;
    if (rect.isEmpty())
        rect = target->hasClipping() ? target->clipBoundingRect().toAlignedRect()
                                     : QRect(0, 0, dev ? dev->width() : 0, dev ? dev->height() : 0);
    m_rect = rect;
    if (!m_bOffScreen || rect.isEmpty()) {
        m_bOffScreen = false;
        m_pPainter = target;
        return;
    }
    const qreal dpr = dev->devicePixelRatioF();
    m_surface = QPixmap(rect.size() * dpr);
    m_surface.setDevicePixelRatio(dpr);
    bool copied = false;
    if (copyBackground) {
        if (dev->devType() == QInternal::Pixmap) {
            const QPixmap *src = static_cast<const QPixmap *>(dev);
            m_surface = src->copy(QRect(rect.topLeft() * dpr, rect.size() * dpr));
            m_surface.setDevicePixelRatio(dpr);
            copied = true;
        } else if (dev->devType() == QInternal::Image) {
            const QImage *src = static_cast<const QImage *>(dev);
            m_surface = QPixmap::fromImage(src->copy(QRect(rect.topLeft() * dpr, rect.size() * dpr)));
            m_surface.setDevicePixelRatio(dpr);
            copied = true;
        }
    }
    if (!copied)
        m_surface.fill(target->background().color());
    m_own.begin(&m_surface);
    m_own.setFont(target->font());
    m_own.setPen(target->pen());
    m_own.setBrush(target->brush());
    m_own.translate(-rect.topLeft());  // draw in the target's coordinates
    m_pPainter = &m_own;
}

void CMemoryDC::CopyToTarget()
{
    if (!m_bOffScreen || m_bCopied)
        return;
    m_bCopied = true;
    m_own.end();
    m_pTarget->drawPixmap(m_rect.topLeft(), m_surface);
}

CMemoryDC::~CMemoryDC() { CopyToTarget(); }
