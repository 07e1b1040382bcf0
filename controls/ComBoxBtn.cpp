#include "controls/ComBoxBtn.h"

#include "controls/CtrlMessages.h"
#include "controls/DropListBox.h"
#include "controls/DropWnd.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/HandCursor.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

namespace {
constexpr int kFontHeight = 14;

// The drop-down look drawn when the owner gave no skin: a console field with an arrow well.
void PaintPlainField(QPainter &p, const QRect &r, bool hover, bool enabled)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF f = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(f.topLeft(), f.bottomLeft());
    const QColor base(Skins::Palette::Panel);
    g.setColorAt(0, base.lighter(hover ? 135 : 118));
    g.setColorAt(1, base.darker(115));
    p.setPen(QColor(hover ? Skins::Palette::Accent : Skins::Palette::Frame));
    p.setBrush(g);
    p.drawRoundedRect(f, 3, 3);
    const qreal well = std::min<qreal>(18, f.width() / 3);
    const QRectF arrowArea(f.right() - well, f.top(), well, f.height());
    p.setPen(QColor(Skins::Palette::Frame));
    p.drawLine(QPointF(arrowArea.left(), f.top() + 3), QPointF(arrowArea.left(), f.bottom() - 3));
    const QPointF c = arrowArea.center();
    QPolygonF tri;
    tri << QPointF(c.x() - 4, c.y() - 2) << QPointF(c.x() + 4, c.y() - 2) << QPointF(c.x(), c.y() + 3);
    p.setPen(Qt::NoPen);
    p.setBrush(enabled ? QColor(hover ? Skins::Palette::Accent : Skins::Palette::Text) : QColor(Skins::Palette::TextDim));
    p.drawPolygon(tri);
}
}  // namespace

CComBoxBtn::CComBoxBtn(QWidget *parent) : QAbstractButton(parent)
{
    m_fontNormal = MakeFont(QStringLiteral("Arial"), kFontHeight, 400);
    m_fontHover = m_fontNormal;
    setMouseTracking(true);
    setCursor(HandCursor());
    setFocusPolicy(Qt::StrongFocus);
    CMessageTable::Ensure(this)->On(WM_COMBOXBTN_SELECT, [this](WPARAM w, LPARAM) { return OnListSelect(int(w)); });
}

CComBoxBtn::~CComBoxBtn() = default;

// Making the popup changes nothing a caller sees of the button, so the accessors stay const.
CDropWnd *CComBoxBtn::DropWnd() const { return const_cast<CComBoxBtn *>(this)->MakeDrop(); }

CDropListBox *CComBoxBtn::List() const
{
    const CDropWnd *drop = DropWnd();
    return drop ? drop->List() : nullptr;
}

CDropWnd *CComBoxBtn::MakeDrop()
{
    if (m_pDrop || !m_late.wanted)
        return m_pDrop;
    m_pDrop = m_late.Make(this);
    if (!m_pDrop)
        return nullptr;
    CDropListBox *l = m_pDrop->List();
    for (const QString &text : std::as_const(m_items))
        l->AddItem(text);
    l->SetCurSel(m_nCurSel);
    m_items.clear();
    return m_pDrop;
}

void CComBoxBtn::changeEvent(QEvent *e)
{
    m_late.NoteChange(e, m_pDrop != nullptr);
    QAbstractButton::changeEvent(e);
}

int CComBoxBtn::Count() const { return m_pDrop ? m_pDrop->List()->GetCount() : int(m_items.size()); }

void CComBoxBtn::SetBitmaps(int normalId, int hoverId)
{
    m_nNormalBitmap = normalId;
    m_nHoverBitmap = hoverId;
    const QSize s = Skins::Has(SkinType::Bitmap, normalId) ? Skins::NaturalSize(SkinType::Bitmap, normalId) : QSize();
    if (!s.isEmpty())
        resize(s);
    update();
}

int CComBoxBtn::CreateDropList(QWidget *owner, int notifyId)
{
    m_nDropWidth = width();
    m_late.Want(m_fontNormal);
    m_pOwner = owner;
    m_nNotifyId = notifyId;
    return 1;
}

void CComBoxBtn::AddString(const QString &text) { InsertString(Count(), text); }

void CComBoxBtn::InsertString(int index, const QString &text)
{
    if (m_pDrop) {
        m_pDrop->List()->InsertItem(index, text);
        return;
    }
    if (!m_late.wanted)
        return;
    // As the list does it: the second item makes the saved selection (the first item until a
    // pick, which needs the list) current, and an insert above the current item moves it down.
    if (m_items.size() == 1)
        m_nCurSel = 0;
    index = std::clamp(index, 0, int(m_items.size()));
    if (m_nCurSel >= index)
        ++m_nCurSel;
    m_items.insert(index, text);
}

void CComBoxBtn::ResetContent()
{
    if (m_pDrop) {
        m_pDrop->List()->ResetContent();
    } else {
        m_items.clear();
        m_nCurSel = -1;
    }
}

void CComBoxBtn::SetCurSel(int index)
{
    if (!m_late.wanted)
        return;
    if (index < 0 || index >= Count())
        index = -1;  // nothing to show for an index the list does not hold
    if (m_pDrop)
        m_pDrop->List()->SetCurSel(index);
    else
        m_nCurSel = index;
    // The saved selection stays the last picked item: a close without a pick goes back to it.
    setText(index < 0 ? QString() : m_pDrop ? m_pDrop->List()->GetText(index) : m_items.at(index));
    repaint();
}

int CComBoxBtn::GetCurSel() const { return m_pDrop ? m_pDrop->List()->GetCurSel() : m_nCurSel; }

void CComBoxBtn::SetHighlight(int on)
{
    if (on == m_bHighlight)
        return;
    m_bHighlight = on;
    update();
}

void CComBoxBtn::SetHighlightLook(int bitmapId, COLORREF colour)
{
    m_nHighlightBitmap = bitmapId;
    m_clrHighlight = colour;
}

void CComBoxBtn::SetTextColors(COLORREF normal, COLORREF hover)
{
    m_clrNormal = normal;
    m_clrHover = hover;
    update();
}

void CComBoxBtn::SetFonts(const QFont &normal, const QFont &hover)
{
    m_fontNormal = normal;
    m_fontHover = hover;
    update();
}

QRect CComBoxBtn::DropRect() const
{
    int h = kDropMaxHeight;
    if (m_pDrop)
        h = m_pDrop->List()->DropHeight(kDropMaxHeight);
    else if (m_late.wanted && !m_items.isEmpty())
        h = CDropListBox::DropHeightFor(Count(), CDropListBox::ItemHeightFor(m_late.listFont), kDropMaxHeight);
    const QRect button(mapToGlobal(QPoint(0, 0)), size());
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
    QRect r(button.left(), button.bottom(), m_nDropWidth > 0 ? m_nDropWidth : width(), h);
    if (r.bottom() > work.bottom())
        r.moveBottom(button.top() - 1);  // no room below: open upwards, ending on the button's top edge
    return r;
}

void CComBoxBtn::OpenList()
{
    CDropWnd *drop = MakeDrop();
    if (!drop)
        return;
    drop->ShowAt(DropRect());
    update();
}

LRESULT CComBoxBtn::OnListSelect(int index)
{
    CDropListBox *l = List();
    if (!l || index < 0 || index >= l->GetCount())
        return 0;
    setText(l->GetText(index));
    m_bHover = 1;
    repaint();
    if (QWidget *p = parentWidget())
        PostMessageTo(p, WM_COMBOXBTN_SELECT, WPARAM(m_nNotifyId), LPARAM(index));
    l->SetSavedSel(index);
    return 0;
}

void CComBoxBtn::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_bHover = 0;
    setFocus(Qt::MouseFocusReason);
    if (m_pDrop && m_pDrop->IsShown()) {
        if (!DropRect().contains(e->globalPosition().toPoint()))
            m_pDrop->Hide();
    } else {
        OpenList();
    }
    update();
    e->accept();
}

void CComBoxBtn::mouseReleaseEvent(QMouseEvent *e) { e->accept(); }

void CComBoxBtn::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_bHover) {
        m_bHover = 1;
        update();
    }
    const QPoint pt = e->position().toPoint();
    if (m_bHoverOpen && pt != m_ptLast) {
        m_ptLast = pt;
        if (QWidget *p = parentWidget()) {
            if (m_pDrop && m_pDrop->IsShown()) {
                SendMessageTo(p, WM_CTRL_MOUSEMOVE, WPARAM(-1), LPARAM(GetCtrlId(this)));
                m_pDrop->List()->setFocus();
            } else if (!hasFocus()) {
                SendMessageTo(p, WM_CTRL_MOUSEMOVE, WPARAM(MouseKeyFlags(e->buttons(), e->modifiers())), LPARAM(GetCtrlId(this)));
            }
        }
    }
    e->accept();
}

void CComBoxBtn::leaveEvent(QEvent *e)
{
    m_bHover = 0;
    update();
    QAbstractButton::leaveEvent(e);
}

void CComBoxBtn::focusOutEvent(QFocusEvent *e)
{
    m_bHover = 0;
    QAbstractButton::focusOutEvent(e);
}

void CComBoxBtn::wheelEvent(QWheelEvent *e)
{
    e->accept();
    const int count = Count();
    if (count == 0)
        return;  // an empty list has nothing to step to
    m_nWheel = std::clamp(m_nWheel + e->angleDelta().y(), -120, 120);
    if (m_nWheel != -120 && m_nWheel != 120)
        return;
    const int cur = GetCurSel();
    const int next = m_nWheel < 0 ? std::min(cur + 1, count - 1) : std::max(cur - 1, 0);
    m_nWheel = 0;
    SetCurSel(next);
    if (QWidget *p = parentWidget())
        PostMessageTo(p, WM_COMBOXBTN_SELECT, WPARAM(m_nNotifyId), LPARAM(next));
}

void CComBoxBtn::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    const bool enabled = isEnabled();
    int id;
    COLORREF colour;
    const QFont *font = &m_fontNormal;
    if (!enabled) {
        id = m_nDisabledBitmap;
        colour = m_clrDisabled;
    } else if (m_bHover) {
        id = m_nHoverBitmap;
        colour = m_clrHover;
        font = &m_fontHover;
    } else {
        id = m_nNormalBitmap;
        colour = m_bHighlight ? m_clrHighlight : m_clrNormal;
    }
    if (id && Skins::Has(SkinType::Bitmap, id))
        p.drawPixmap(r, Skins::Bitmap(id, r.size()));
    else
        PaintPlainField(p, r, enabled && m_bHover, enabled);
    const QString t = text();
    if (!t.isEmpty()) {
        p.setFont(*font);
        p.setPen(ToQColor(colour));
        const QRect area = r.adjusted(5, 0, -20, 0);
        p.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, p.fontMetrics().elidedText(t, Qt::ElideRight, area.width()));
    }
}
