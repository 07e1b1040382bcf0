#pragma once
// An off-screen surface over a rectangle of a painter's device: drawing goes to the surface
// through the same coordinates as the target, and the finished picture is copied to the target
// in one step when the object goes out of scope (or at CopyToTarget). On a printer the object
// draws straight onto the target.

#include <QPainter>
#include <QPixmap>
#include <QRect>

class CMemoryDC {
public:
    // target must not be null. An empty rectangle takes the target's clip box (or its whole
    // device). copyBackground copies the target's pixels of the rectangle when the target is an
    // image or pixmap; otherwise the surface starts filled with the target's background colour.
    explicit CMemoryDC(QPainter *target, QRect rect = QRect(), bool copyBackground = false);
    ~CMemoryDC();
    CMemoryDC(const CMemoryDC &) = delete;
    CMemoryDC &operator=(const CMemoryDC &) = delete;

    void CopyToTarget();
    QPainter *operator->() { return m_pPainter; }
    QPainter *Painter() { return m_pPainter; }
    bool IsOffScreen() const { return m_bOffScreen; }
    QRect Rect() const { return m_rect; }

private:
    QPainter *m_pTarget;
    QRect m_rect;
    bool m_bOffScreen = true;
    bool m_bCopied = false;
    QPixmap m_surface;
    QPainter m_own;
    QPainter *m_pPainter = nullptr;
};
