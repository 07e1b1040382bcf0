#pragma once
// A 12-segment level lamp: nine green level segments and three indicator segments (amber, orange,
// red), fed one level byte at a time and repainted only when a segment changes.

#include "platform/WinCompat.h"

#include <QWidget>

#include <array>
#include <cstdint>

class CSLamp : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSegments = 12;
    explicit CSLamp(QWidget *parent = nullptr, int ctrlId = 0);

    void Layout();
    // Bits 0x10, 0x20, 0x40 light segments 11, 10, 9; the low nibble n (0..9) lights segments
    // 0..n-1 and darkens the rest of 0..8, 10..15 leave them as they are.
    void SetLevel(std::uint8_t level);
    void Clear();

    bool IsLit(int segment) const { return m_lit.at(size_t(segment)) != 0; }
    int PaintRequests() const { return m_nPaints; }
    // The rectangle of segment i (before the one-pixel drop of its top).
    QRect SegmentRect(int i) const;
    static COLORREF SegmentColor(int i, bool lit);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    int m_nSegWidth = 0;
    int m_nSegHeight = 0;
    std::array<std::uint8_t, kSegments> m_lit;
    std::array<std::uint8_t, kSegments> m_drawn;
    bool m_bDirty = true;
    int m_nPaints = 0;
};
