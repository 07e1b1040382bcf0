#include "controls/DropBtn.h"

#include "controls/CtrlMessages.h"
#include "controls/DropListBox.h"
#include "controls/DropWnd.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

CDropBtn::CDropBtn(QWidget *parent) : QAbstractButton(parent)
{
    m_font = MakeFont(QStringLiteral("Arial"), 15, 400);
    setFocusPolicy(Qt::StrongFocus);
    CMessageTable::Ensure(this)->On(WM_COMBOXBTN_SELECT, [this](WPARAM w, LPARAM) { return OnListSelect(int(w)); });
}

CDropBtn::~CDropBtn() = default;

// Making the popup changes nothing a caller sees of the button, so the accessors stay const.
CDropWnd *CDropBtn::DropWnd() const { return const_cast<CDropBtn *>(this)->MakeDrop(); }

CDropListBox *CDropBtn::List() const
{
    const CDropWnd *drop = DropWnd();
    return drop ? drop->List() : nullptr;
}

CDropWnd *CDropBtn::MakeDrop()
{
    if (m_pDrop || !m_late.wanted)
        return m_pDrop;
    m_pDrop = m_late.Make(this);
    if (!m_pDrop)
        return nullptr;
    m_pDrop->SetCloseWhenMouseLeaves(true);
    // Once the list is gone the hover look follows the mouse again.
    connect(m_pDrop, &CDropWnd::closed, this, [this] {
        const int hover = underMouse() ? 1 : 0;
        if (hover != m_bHover) {
            m_bHover = hover;
            repaint();
        }
    });
    return m_pDrop;
}

void CDropBtn::changeEvent(QEvent *e)
{
    m_late.NoteChange(e, m_pDrop != nullptr);
    QAbstractButton::changeEvent(e);
}

int CDropBtn::Setup(const QString &caption, int, int, int, int, int keptValue, int notifyId, COLORREF background,
                    COLORREF hoverBackground, COLORREF arrow, COLORREF text2, const QFont *font)
{
    setText(caption);
    if (background == kDefault) {
        m_clrBack = RGB(255, 217, 205);
        m_clrHoverBack = RGB(233, 229, 255);
    } else {
        m_clrBack = background;
        m_clrHoverBack = hoverBackground;
    }
    m_font = font ? *font : MakeFont(QStringLiteral("Arial"), 15, 400);
    m_clrArrow = arrow == kDefault ? RGB(0, 255, 0) : arrow;
    m_clrText2 = text2 == kDefault ? 0 : text2;
    m_nDropWidth = width();
    m_late.Want(m_font);
    m_nKeptValue = keptValue;
    m_nNotifyId = notifyId;
    update();
    return 1;
}

QRect CDropBtn::DropRect() const
{
    // Items reach the list only through List(), so a list not made yet is empty.
    const int h = m_pDrop ? m_pDrop->List()->DropHeight(kDropMaxHeight) : kDropMaxHeight;
    const QPoint origin = mapToGlobal(QPoint(0, height() - 1));
    return QRect(origin.x(), origin.y(), m_nDropWidth > 0 ? m_nDropWidth : width(), h);
}

void CDropBtn::OpenList()
{
    if (CDropWnd *drop = MakeDrop())
        drop->ShowAt(DropRect());
}

LRESULT CDropBtn::OnListSelect(int index)
{
    CDropListBox *l = List();
    if (!l || index < 0 || index >= l->GetCount())
        return 0;
    if (m_bShowPicked) {
        setText(l->GetText(index));
        repaint();
    }
    if (QWidget *p = parentWidget())
        PostMessageTo(p, WM_COMBOXBTN_SELECT, WPARAM(m_nNotifyId), LPARAM(index));
    l->SetSavedSel(index);
    return 0;
}

void CDropBtn::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_bHover = 0;
    if (m_pDrop && m_pDrop->IsShown()) {
        if (!DropRect().contains(e->globalPosition().toPoint()))
            m_pDrop->Hide();
    } else {
        OpenList();
    }
    update();
    e->accept();
}

void CDropBtn::mouseReleaseEvent(QMouseEvent *e) { e->accept(); }

void CDropBtn::enterEvent(QEnterEvent *e)
{
    if (!m_bHover && !(m_pDrop && m_pDrop->IsShown())) {
        m_bHover = 1;
        repaint();
    }
    QAbstractButton::enterEvent(e);
}

void CDropBtn::leaveEvent(QEvent *e)
{
    if (!(m_pDrop && m_pDrop->IsShown())) {
        m_bHover = 0;
        repaint();
    }
    QAbstractButton::leaveEvent(e);
}

QPolygon CDropBtn::ArrowPolygon(const QRect &r, int m, int h, int textHeight)
{
    const int y0 = (r.height() - textHeight) / 2;
    const int x = r.right() + 1 - m - 5;
    const int y = h / 3 + y0;
    QPolygon tri;
    tri << QPoint(x, y) << QPoint(x + m - 1, y) << QPoint(x + m / 2, y + m / 2);
    return tri;
}

void CDropBtn::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(ToQColor(m_bHover ? m_clrHoverBack : m_clrBack));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setFont(m_font);
    const QFontMetrics fm(m_font);
    const int m = fm.horizontalAdvance(QLatin1Char('M'));
    const int h = fm.height();
    const QColor arrow = ToQColor(m_clrArrow);
    p.setPen(arrow);
    p.setBrush(arrow);
    p.drawPolygon(ArrowPolygon(r, m, h, fm.height()));
    const QRect textRect(5, 0, r.width() - m - 10 - 5, r.height());
    p.setPen(arrow);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               fm.elidedText(text(), Qt::ElideRight, textRect.width()));
}
