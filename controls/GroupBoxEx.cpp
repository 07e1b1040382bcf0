#include "controls/GroupBoxEx.h"

#include "controls/SxLogFont.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int kEdge = 2;    // SM_CXEDGE / SM_CYEDGE
constexpr int kBorder = 1;  // SM_CXBORDER / SM_CYBORDER
}

CGroupBoxEx::CGroupBoxEx(QWidget *parent, int ctrlId, const QString &title, unsigned style, unsigned exStyle)
    : QWidget(parent), m_nStyle(style), m_nExStyle(exStyle)
{
    SetCtrlId(this, ctrlId);
    setWindowTitle(title);
    m_clrLine1 = m_clrDisabled1 = shadowColour();
    m_clrLine2 = m_clrDisabled2 = highlightColour();
    m_fontTitle = CSxLogFont(100, 700, 0, QStringLiteral("Arial")).CreatePointFontIndirect();
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    PreSubclassWindow();
}

CGroupBoxEx::~CGroupBoxEx() = default;

COLORREF CGroupBoxEx::shadowColour() const { return ToColorRef(palette().color(QPalette::Dark)); }
COLORREF CGroupBoxEx::highlightColour() const { return ToColorRef(palette().color(QPalette::Light)); }

void CGroupBoxEx::PreSubclassWindow()
{
    m_strTitle = windowTitle();
    switch (m_nStyle & 0x300) {
    case BS_RIGHT: m_nAlign = 0x200; break;
    case BS_CENTER: m_nAlign = 0x300; break;
    default: m_nAlign = 0x100; break;
    }
    m_nBoxStyle = (m_nStyle & BS_FLAT) ? 0 : 1;  // both paint the etched frame
    m_bHideTitle = (m_nExStyle & 0xC0) != 0;
}

QRect CGroupBoxEx::BoxRect() const
{
    // The window rectangle less the window edges, at the current size.
    QRect r = rect();
    if (m_nExStyle & WS_EX_DLGMODALFRAME) {
        r.adjust(2 * kEdge, 2 * kEdge, -2 * kEdge, -2 * kEdge);
        r.setLeft(r.left() - 1);
    }
    if (m_nExStyle & WS_EX_CLIENTEDGE) {
        r.adjust(kEdge + 1, kEdge + 1, -(kEdge + 1), -(kEdge + 1));
        r.setLeft(r.left() - 1);
        if (m_nExStyle & WS_EX_DLGMODALFRAME)
            r.setRight(r.right() + 1);
    }
    if (m_nExStyle & WS_EX_STATICEDGE) {
        r.adjust(2 * kBorder, 2 * kBorder, -2 * kBorder, -2 * kBorder);
        r.setLeft(r.left() - 1);
    }
    return r;
}

void CGroupBoxEx::resizeEvent(QResizeEvent *e)
{
    update();
    QWidget::resizeEvent(e);
}

void CGroupBoxEx::SetText(const QString &title, bool redraw)
{
    m_strTitle = title;
    setWindowTitle(title);
    if (redraw)
        repaint();
}

void CGroupBoxEx::SetLineColors(COLORREF c1, COLORREF c2, bool redraw)
{
    m_clrLine1 = c1 ? c1 : m_clrDisabled1;
    m_clrLine2 = c2 ? c2 : m_clrDisabled2;
    if (redraw)
        update();
}

void CGroupBoxEx::GetLineColors(COLORREF &c1, COLORREF &c2) const
{
    c1 = m_clrLine1;
    c2 = m_clrLine2;
}

void CGroupBoxEx::SetTextColor(COLORREF colour, bool redraw)
{
    m_clrText = colour;
    if (redraw)
        update();
}

void CGroupBoxEx::SetTitleFont(const CSxLogFont *font)
{
    m_fontTitle = font ? font->CreatePointFontIndirect()
                       : CSxLogFont(80, 400, 0, QStringLiteral("MS Sans Serif")).CreatePointFontIndirect();
    update();
}

void CGroupBoxEx::SetAlignment(int alignment)
{
    m_nAlign = (alignment == 0x100 || alignment == 0x200 || alignment == 0x300) ? alignment : 0x100;
    update();
}

void CGroupBoxEx::SetTitleOffsets(int x, int y)
{
    m_nOffsetX = x;
    m_nOffsetY = y;
    update();
}

void CGroupBoxEx::SetBoxStyle(int style)
{
    m_nBoxStyle = (style == Etched || style == Double || style == Flat) ? style : Etched;
    update();
}

void CGroupBoxEx::Reinitialise()
{
    PreSubclassWindow();
    repaint();
}

int CGroupBoxEx::TopLineY() const
{
    const int h0 = QFontMetrics(font()).height();
    return BoxRect().top() + h0 / 2 - 1;
}

std::pair<int, int> CGroupBoxEx::TitleGap() const
{
    const int w1 = QFontMetrics(m_fontTitle).horizontalAdvance(m_strTitle);
    const QRect b = BoxRect();
    if (m_nAlign == 0x200) {
        const int x1 = b.left() + b.width() - m_nOffsetX;
        return {x1 - w1, x1};
    }
    if (m_nAlign == 0x300) {
        const int x0 = (b.width() - w1) / 2;
        return {x0, x0 + w1};
    }
    const int x0 = b.left() + m_nOffsetX;
    return {x0, x0 + w1};
}

void CGroupBoxEx::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect box = BoxRect();
    if (m_bFill)
        p.fillRect(box, ToQColor(m_clrFill));
    const int y = TopLineY();
    const auto [x0, x1] = m_strTitle.isEmpty() || m_bHideTitle ? std::pair{TitleGap().first, TitleGap().first}
                                                                 : TitleGap();
    const int w = m_nLineWidth;
    const bool enabled = isEnabled();
    QPen pen1(ToQColor(enabled ? m_clrLine1 : m_clrDisabled1), w, Qt::SolidLine, Qt::SquareCap);
    QPen pen2(ToQColor(enabled ? m_clrLine2 : m_clrDisabled2), w, Qt::SolidLine, Qt::SquareCap);
    // Windows rectangles are exclusive at right and bottom.
    const int l = box.left(), r = box.left() + box.width(), b = box.top() + box.height();
    auto poly = [&p](QPen pen, std::initializer_list<QPoint> pts) {
        p.setPen(pen);
        QPolygon poly;
        for (const QPoint &pt : pts)
            poly << pt;
        p.drawPolyline(poly);
    };
    if (m_nBoxStyle == Flat) {
        poly(pen1, {{x0, y}, {l, y}, {l, b - 1}, {r - 1, b - 1}, {r - 1, y}, {x1, y}});
    } else if (m_nBoxStyle == Double) {
        poly(pen1, {{x0, y}, {l, y}, {l, b - 1}, {r - 1, b - 1}, {r - 1, y}, {x1, y}});
        poly(pen2, {{x0, y - w}, {l - w, y - w}, {l - w, b - 1 + w}, {r - 1 + w, b - 1 + w}, {r - 1 + w, y - w}, {x1, y - w}});
    } else {
        // Etched: a shadow frame and a highlight frame one line width inside-below it. Pixel
        // coordinates: the last row and column of the box are b - 1 and r - 1.
        const int rb = r - 1, bb = b - 1;
        poly(pen1, {{x0, y}, {l, y}, {l, bb - w}, {rb - w, bb - w}, {rb - w, y}, {x1, y}});
        poly(pen2, {{x0, y + w}, {l + w, y + w}, {l + w, bb - 2 * w}});
        poly(pen2, {{l, bb}, {rb, bb}, {rb, y}});
        poly(pen2, {{rb - 2 * w, y + w}, {x1, y + w}});
    }
    if (!m_strTitle.isEmpty() && !m_bHideTitle && enabled) {
        p.setFont(m_fontTitle);
        const QRect tr(x0, y - m_nOffsetY, x1 - x0, m_nOffsetY);
        const QColor text = ToQColor(m_clrText);
        if (!m_bFill && Skins::Contrast(text, QColor::fromRgb(Skins::Palette::Panel)) < Skins::MinTextContrast) {
            // A title colour that would not read on the console's dark dialogs gets a plate.
            const QRect ink = p.fontMetrics().boundingRect(tr, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_strTitle);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(Skins::ReadableBackdrop(text));
            p.drawRoundedRect(QRectF(ink).adjusted(-3, -1, 3, 1), 2, 2);
        }
        p.setPen(text);
        p.drawText(tr, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, m_strTitle);
    }
}
