#include "controls/HeaderCtrlCl.h"

#include "platform/GlobalData.h"
#include "platform/qt/QtGlobals.h"

#include <QPainter>

CHeaderCtrlCl::CHeaderCtrlCl(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionResizeMode(QHeaderView::Fixed);  // dragging a divider does nothing
    setSectionsClickable(false);
    setHighlightSections(false);
}

CHeaderCtrlCl::~CHeaderCtrlCl() = default;

COLORREF CHeaderCtrlCl::GradientRow(int r, int g, int b, int step, int k)
{
    const auto ch = [step, k](int v) { return unsigned(std::max(0, v - step * k)); };
    return RGB(ch(r), ch(g), ch(b));
}

QSize CHeaderCtrlCl::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(int(s.height() * m_Height));
    return s;
}

void CHeaderCtrlCl::PaintGradient(QPainter &p, const QRect &r) const
{
    for (int y = r.top(), k = 0; y <= r.bottom(); ++y, ++k) {
        p.setPen(ToQColor(GradientRow(m_R, m_G, m_B, m_Gradient, k)));
        p.drawLine(r.left() + 1, y, r.right(), y);
    }
}

void CHeaderCtrlCl::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    // Under the gradients: the hairline that parts the columns.
    p.fillRect(viewport()->rect(), QColor(13, 15, 18));
    p.setFont(g_bChinese.load() ? g_fontListCn : g_fontListEn);
    const int h = viewport()->height();
    int lastRight = -1;
    for (int i = 0; i < count(); ++i) {
        if (isSectionHidden(i))
            continue;
        const QRect r(sectionViewportPosition(i), 0, sectionSize(i), h);
        PaintGradient(p, r);
        const QChar code = i < m_Format.size() ? m_Format[i] : QLatin1Char('1');
        QRect tr = r;
        Qt::Alignment align = Qt::AlignHCenter;
        if (code == QLatin1Char('0')) {
            align = Qt::AlignLeft;
            tr.setLeft(tr.left() + 3);
        } else if (code == QLatin1Char('2')) {
            align = Qt::AlignRight;
            tr.setRight(tr.right() - 3);
        }
        p.setPen(ToQColor(m_color));
        const QString title = i < m_HChar.size() ? m_HChar[i] : QString();
        p.drawText(tr, align | Qt::AlignVCenter | Qt::TextSingleLine, title);
        lastRight = std::max(lastRight, r.right());
    }
    if (lastRight + 1 < viewport()->width())
        PaintGradient(p, QRect(lastRight + 1, 0, viewport()->width() - lastRight - 1, h));
}
