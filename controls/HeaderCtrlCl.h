#pragma once
// The header of the coloured report list: a vertical grey gradient behind each column title,
// left-, centre- or right-aligned per column, in the list font of the interface language, and a
// height scaled by a factor. Columns cannot be resized by dragging.

#include "platform/WinCompat.h"

#include <QHeaderView>
#include <QStringList>

class CHeaderCtrlCl : public QHeaderView {
    Q_OBJECT
public:
    explicit CHeaderCtrlCl(QWidget *parent = nullptr);
    ~CHeaderCtrlCl() override;

    QStringList m_HChar;       // titles, one per column
    QString m_Format;          // alignment codes: '0' left, '1' centre, '2' right
    int m_R = 180, m_G = 179, m_B = 179;
    int m_Gradient = 3;
    float m_Height = 1.0f;
    int m_fontHeight = 15, m_fontWith = 0;
    COLORREF m_color = 0;

    // The colour of gradient row k (0 = top).
    static COLORREF GradientRow(int r, int g, int b, int step, int k);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    void PaintGradient(QPainter &p, const QRect &r) const;
};
