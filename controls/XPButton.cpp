#include "controls/XPButton.h"

#include "controls/BitButton.h"
#include "controls/CtrlMessages.h"
#include "controls/FontStatic.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/HandCursor.h"
#include "platform/qt/WindowMessages.h"
#include "platform/qt/WndTimers.h"
#include "res/Skins.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

CXPButton::CXPButton(QWidget *parent, int ctrlId) : QAbstractButton(parent)
{
    if (ctrlId)
        SetCtrlId(this, ctrlId);
    m_font = MakeFont(QStringLiteral("Arial"), 15, 700);
    m_pTimers = new CWndTimers(this, [this](int id) { OnTimer(id); });
    setCursor(HandCursor());
    setMouseTracking(true);
    connect(this, &QAbstractButton::clicked, this, [this] { NotifyParent(this, BN_CLICKED); });
}

CXPButton::~CXPButton() = default;

void CXPButton::SetBitmaps(int onNormal, int onHover, int onPressed, int offNormal, int offHover, int offPressed)
{
    m_nOn[0] = onNormal;
    m_nOn[1] = onHover;
    m_nOn[2] = onPressed;
    m_nOff[0] = offNormal;
    m_nOff[1] = offHover;
    m_nOff[2] = offPressed;
    SyncSize();
    Draw();
}

void CXPButton::SetCheck(int state)
{
    m_nState = state;
    SyncSize();
    Draw();
}

void CXPButton::SetDisabledBitmaps(int onId, int offId)
{
    m_nOnDisabled = onId;
    m_nOffDisabled = offId;
}

void CXPButton::SetDisabled(int on)
{
    m_bDisabled = on;
    SyncSize();
    Draw();
    setEnabled(on == 0);
}

void CXPButton::SetSelectedBitmaps(int onId, int offId)
{
    m_nOnSelected = onId;
    m_nOffSelected = offId;
    SyncSize();
    Draw();
}

void CXPButton::SetSelected(int on)
{
    if (on == m_bSelected)
        return;
    m_bSelected = on;
    SyncSize();
    Draw();
}

void CXPButton::SetHandCursor(int on)
{
    m_bHandCursor = on;
    setCursor(on ? HandCursor() : QCursor(Qt::ArrowCursor));
}

int CXPButton::CurrentBitmap() const
{
    const bool onState = m_nState != 0;
    if (m_bDisabled)
        return onState ? m_nOnDisabled : m_nOffDisabled;
    if (m_bSelected)
        return onState ? m_nOnSelected : m_nOffSelected;
    const int *set = onState ? m_nOn : m_nOff;
    if (m_bHover && m_bPressed)
        return set[2];
    if (m_bHover)
        return set[1];
    return set[0];
}

bool CXPButton::SyncSize()
{
    const int id = CurrentBitmap();
    if (id == 0 || !Skins::Has(SkinType::Bitmap, id))
        return false;
    const QSize natural = Skins::NaturalSize(SkinType::Bitmap, id);
    if (natural.isEmpty() || natural == size())
        return false;
    resize(natural);
    return true;
}

void CXPButton::paintEvent(QPaintEvent *)
{
    const int id = CurrentBitmap();
    if (id == 0 || !Skins::Has(SkinType::Bitmap, id))
        return;  // nothing to paint: what lies below shows
    // A skin described after the bitmaps were set (or a look of another size) sizes it here.
    if (SyncSize())
        return;  // the resize repaints at the new size
    QPainter p(this);
    p.drawPixmap(rect(), Skins::Bitmap(id, size()));
    if (!text().isEmpty() && m_pLabel)
        m_pLabel->Refresh();
}

void CXPButton::PlayHoverSound()
{
    if (!m_bSound)
        return;
    // The resources hold no wave sound: an empty name gives the plain beep, a named sound nothing.
    if (m_strSound.isEmpty())
        QApplication::beep();
}

void CXPButton::enterEvent(QEnterEvent *e)
{
    if (!m_bHover) {
        m_bHover = 1;
        update();
        if (m_bHoverSound)
            PlayHoverSound();
        const QPoint pt = e->position().toPoint();
        if (m_bMoveNotify && pt != m_ptLast) {
            m_ptLast = pt;
            if (QWidget *p = parentWidget())
                SendMessageTo(p, WM_CTRL_MOUSEMOVE, WPARAM(MouseKeyFlags(e->buttons(), e->modifiers())), LPARAM(GetCtrlId(this)));
        }
    }
    QAbstractButton::enterEvent(e);
}

void CXPButton::leaveEvent(QEvent *e)
{
    m_bHover = 0;
    update();
    QAbstractButton::leaveEvent(e);
}

void CXPButton::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_bPressed = 1;
        if (m_bRepeat) {
            m_nRepeatCount = 0;
            m_pTimers->SetTimer(kRepeatTimer, kRepeatMs);
        }
        update();
    }
    QAbstractButton::mousePressEvent(e);
}

void CXPButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_bPressed = 0;
        if (m_bRepeat) {
            m_pTimers->KillTimer(kRepeatTimer);
            m_nRepeatCount = 0;
        }
        update();
    }
    QAbstractButton::mouseReleaseEvent(e);
}

void CXPButton::OnTimer(int id)
{
    if (id != kRepeatTimer)
        return;
    ++m_nRepeatCount;
    if (QWidget *p = parentWidget())
        PostMessageTo(p, WM_XPBUTTON_REPEAT, WPARAM(GetCtrlId(this)), LPARAM(m_nRepeatCount));
}
