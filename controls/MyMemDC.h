#pragma once
// Off-screen drawing over a rectangle of a target painter: draw into this painter with the
// target's coordinates; the pixels are copied to the target when it goes out of scope. A target
// that is a printer is drawn on directly.

#include <QPainter>
#include <QPixmap>

class CMyMemDC {
public:
    CMyMemDC(QPainter &target, const QRect &clip);
    ~CMyMemDC();
    CMyMemDC(const CMyMemDC &) = delete;
    CMyMemDC &operator=(const CMyMemDC &) = delete;

    QPainter &Painter() { return m_offscreen ? m_painter : m_target; }
    QPainter *operator->() { return &Painter(); }

private:
    QPainter &m_target;
    QRect m_clip;
    QPixmap m_pixmap;
    QPainter m_painter;
    bool m_offscreen = false;
};
