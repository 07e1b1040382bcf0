#include "controls/DropWnd.h"

#include "controls/CtrlMessages.h"
#include "controls/DropListBox.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QMouseEvent>
#include <QPainter>

CDropWnd::CDropWnd(QWidget *owner) : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint), m_pOwner(owner)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_pList = new CDropListBox(this);
    connect(m_pList, &CDropListBox::picked, this, &CDropWnd::OnPicked);
}

CDropWnd::~CDropWnd() = default;

CDropWnd *CDropWnd::Create(QWidget *owner)
{
    if (!owner)
        return nullptr;
    return new CDropWnd(owner);
}

void CDropWnd::ShowAt(const QRect &dropRect)
{
    setGeometry(dropRect.adjusted(-1, -1, 1, 1));
    m_bPicked = false;
    show();
    raise();
    m_pList->setFocus(Qt::PopupFocusReason);
}

void CDropWnd::Hide() { hide(); }

void CDropWnd::OnPicked(int index)
{
    // Picks come from a click on an item or from Enter inside the open list.
    m_bPicked = true;
    hide();
    if (m_pOwner && index >= 0)
        SendMessageTo(m_pOwner, WM_COMBOXBTN_SELECT, WPARAM(index), 0);
}

void CDropWnd::mousePressEvent(QMouseEvent *e)
{
    // While the list is open it holds the mouse, so a press anywhere reaches it first and closes
    // it. A press on the button that opened it only closes the list: it is not handed on to the
    // button as a fresh press, which would open the list again at once. Presses elsewhere are
    // handed on, so the control under the mouse still gets its click.
    const QPoint global = e->globalPosition().toPoint();
    const bool onOwner = m_pOwner && QRect(m_pOwner->mapToGlobal(QPoint(0, 0)), m_pOwner->size()).contains(global);
    setAttribute(Qt::WA_NoMouseReplay, onOwner);
    QWidget::mousePressEvent(e);
}

void CDropWnd::SetCloseWhenMouseLeaves(bool on)
{
    m_bCloseOnLeave = on;
    setMouseTracking(on);
}

void CLateDropWnd::NoteChange(const QEvent *e, bool made)
{
    if (e->type() == QEvent::EnabledChange && wanted && !made)
        enabledChanged = true;
}

CDropWnd *CLateDropWnd::Make(QWidget *owner) const
{
    CDropWnd *drop = wanted ? CDropWnd::Create(owner) : nullptr;
    if (!drop)
        return nullptr;
    drop->List()->SetListFont(listFont);
    // A popup made with the list would have followed the button's enabled state since.
    if (enabledChanged && !owner->isEnabled())
        drop->FollowDisabledOwner();
    return drop;
}

void CDropWnd::FollowDisabledOwner()
{
    // Disabled as a child is by its parent: not by its own call, which the owner's enabling
    // would leave in place.
    setEnabled(false);
    setAttribute(Qt::WA_ForceDisabled, false);
}

void CDropWnd::mouseMoveEvent(QMouseEvent *e)
{
    // The open list receives the mouse wherever it is.
    if (m_bCloseOnLeave) {
        const QPoint global = e->globalPosition().toPoint();
        const bool onOwner = m_pOwner && QRect(m_pOwner->mapToGlobal(QPoint(0, 0)), m_pOwner->size()).contains(global);
        if (!onOwner && !geometry().contains(global))
            Hide();
    }
    QWidget::mouseMoveEvent(e);
}

void CDropWnd::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    m_pList->setGeometry(rect().adjusted(1, 1, -1, -1));
}

void CDropWnd::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    m_bShown = true;
}

void CDropWnd::hideEvent(QHideEvent *e)
{
    QWidget::hideEvent(e);
    m_bShown = false;
    if (!m_bPicked)
        m_pList->SetCurSel(m_pList->GetSavedSel());  // closed without a pick: show what was chosen
    m_bPicked = false;
    emit closed();
}

void CDropWnd::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(ToQColor(RGB(13, 133, 138)));
    p.setBrush(ToQColor(m_pList->BackColour()));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
