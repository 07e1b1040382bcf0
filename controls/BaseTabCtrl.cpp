#include "controls/BaseTabCtrl.h"

#include "platform/qt/HandCursor.h"
#include "platform/qt/QtGlobals.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>

namespace {
constexpr int kTabPadding = 24;
constexpr int kFirstTabX = 2;
}

CBaseTabCtrl::CBaseTabCtrl(QWidget *parent, int paintMode) : QWidget(parent)
{
    setMouseTracking(true);
    SetPaintMode(paintMode);
    Layout();
}

CBaseTabCtrl::~CBaseTabCtrl() = default;

void CBaseTabCtrl::SetBkColor(COLORREF colour)
{
    m_clrBack = colour;
    update();
}

bool CBaseTabCtrl::SetPaintMode(int mode)
{
    if (mode < 0 || mode > 2)
        return false;
    m_nPaintMode = mode;
    update();
    return true;
}

void CBaseTabCtrl::SetTabFont(const QFont &f)
{
    setFont(f);
    Layout();
}

int CBaseTabCtrl::InsertItem(int index, const QString &text, int image)
{
    index = std::clamp(index, 0, GetItemCount());
    m_tabs.insert(m_tabs.begin() + index, Tab{text, image, {}});
    if (m_nSel < 0)
        m_nSel = 0;
    else if (index <= m_nSel && GetItemCount() > 1)
        ++m_nSel;
    Layout();
    return index;
}

bool CBaseTabCtrl::DeleteAllItems()
{
    m_tabs.clear();
    m_nSel = -1;
    Layout();
    return true;
}

int CBaseTabCtrl::SetCurSel(int index)
{
    const int old = m_nSel;
    if (index < 0 || index >= GetItemCount())
        return -1;
    m_nSel = index;
    update();
    return old;
}

QString CBaseTabCtrl::GetItemText(int index) const
{
    return index >= 0 && index < GetItemCount() ? m_tabs[size_t(index)].text : QString();
}

int CBaseTabCtrl::GetItemImage(int index) const
{
    return index >= 0 && index < GetItemCount() ? m_tabs[size_t(index)].image : -1;
}

bool CBaseTabCtrl::GetItemRect(int index, QRect &r) const
{
    if (index < 0 || index >= GetItemCount())
        return false;
    r = m_tabs[size_t(index)].rect;
    return true;
}

QRect CBaseTabCtrl::AdjustRect() const
{
    const int row = RowHeight();
    return QRect(0, row + 2, width(), std::max(0, height() - row - 2)).adjusted(4, 4, -4, -4);
}

int CBaseTabCtrl::RowHeight() const
{
    if (m_bRowHeightStale) {
        m_bRowHeightStale = false;
        m_nRowHeight = std::max(20, QFontMetrics(font()).height() + 10);
    }
    return m_nRowHeight;
}

void CBaseTabCtrl::Layout()
{
    // With no tabs there is only the row height to lay out, and it is measured when asked for: a
    // control that holds no tab (the view's) loads no face for it.
    if (m_tabs.empty()) {
        m_bRowHeightStale = true;
        update();
        return;
    }
    m_bRowHeightStale = false;
    const QFontMetrics fm(font());
    m_nRowHeight = std::max(20, fm.height() + 10);
    int x = kFirstTabX;
    for (Tab &t : m_tabs) {
        const int imageWidth = (t.image >= 0 && !m_images.empty()) ? 19 : 0;
        const int w = fm.horizontalAdvance(t.text) + kTabPadding + imageWidth;
        t.rect = QRect(x, 2, w, m_nRowHeight);
        x += w;
    }
    update();
}

void CBaseTabCtrl::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    Layout();
}

int CBaseTabCtrl::HitTest(QPoint p) const
{
    for (int i = GetItemCount() - 1; i >= 0; --i)
        if (m_tabs[size_t(i)].rect.contains(p))
            return i;
    return -1;
}

void CBaseTabCtrl::Erase(QPainter &p)
{
    const QRect client = rect();
    p.fillRect(client, palette().window());
    if (m_tabs.empty())
        return;
    QRect row;
    for (const Tab &t : m_tabs)
        row = row.united(t.rect);
    const int rowHeight = row.height();
    row.adjust(-2, -3, 2, 3);
    const QColor fill = ToQColor(BackgroundOr3DFace());
    p.fillRect(QRect(client.left(), client.top(), client.width(), row.top() + 3 - client.top()), fill);
    p.fillRect(QRect(client.left(), client.top(), 2, rowHeight + 2), fill);
    const int right = client.left() + row.width() - 2;
    p.fillRect(QRect(right, client.top(), client.right() - right + 1, rowHeight + 2), fill);
}

void CBaseTabCtrl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    Erase(p);
    if (m_nPaintMode == 0) {
        // The system look: the style's own tab shapes.
        for (int i = 0; i < GetItemCount(); ++i) {
            QStyleOptionTab opt;
            opt.initFrom(this);
            opt.rect = m_tabs[size_t(i)].rect;
            opt.text = m_tabs[size_t(i)].text;
            if (i == m_nSel)
                opt.state |= QStyle::State_Selected;
            style()->drawControl(QStyle::CE_TabBarTab, &opt, &p, this);
        }
        return;
    }
    p.setFont(font());
    TabDrawItem item;
    item.ctlId = 0;
    item.dc = &p;
    item.rcItem = rect();
    item.rcItem.setTop(AdjustRect().top() - 4 - 2);
    if (m_nPaintMode == 2)
        DrawMainBorder(item);
    if (m_tabs.empty())
        return;
    for (int i = GetItemCount() - 1; i >= 0; --i) {
        if (i == m_nSel)
            continue;
        item.itemId = i;
        item.itemState = 0;
        item.rcItem = m_tabs[size_t(i)].rect.adjusted(0, 0, 0, -2);
        DrawItem(item);
        DrawItemBorder(item);
    }
    if (m_nSel >= 0) {
        item.itemId = m_nSel;
        item.itemState = ODS_SELECTED;
        item.rcItem = m_tabs[size_t(m_nSel)].rect.adjusted(0, -2, 0, 2);
        DrawItem(item);
        DrawItemBorder(item);
    }
}

void CBaseTabCtrl::mousePressEvent(QMouseEvent *e)
{
    const int hit = HitTest(e->position().toPoint());
    if (e->button() == Qt::LeftButton && hit >= 0 && hit != m_nSel) {
        SetCurSel(hit);
        emit selectionChanged(hit);
    }
    e->accept();
}

void CBaseTabCtrl::mouseMoveEvent(QMouseEvent *e)
{
    const int hit = HitTest(e->position().toPoint());
    m_bOverChoosable = (hit >= 0 && hit != 3 && hit != m_nSel) ? 1 : 0;
    setCursor(m_bOverChoosable ? HandCursor() : QCursor(Qt::ArrowCursor));
    e->accept();
}

void CBaseTabCtrl::leaveEvent(QEvent *e)
{
    m_bOverChoosable = 0;
    unsetCursor();
    QWidget::leaveEvent(e);
}

// A derived class supplies the drawing; the base draws nothing.
void CBaseTabCtrl::DrawItem(const TabDrawItem &) {}
void CBaseTabCtrl::DrawMainBorder(const TabDrawItem &) {}
void CBaseTabCtrl::DrawItemBorder(const TabDrawItem &) {}
COLORREF CBaseTabCtrl::GetTabColor(bool) { return RGB(255, 0, 0); }
COLORREF CBaseTabCtrl::GetTabTextColor(bool) { return kColourWindowText; }
