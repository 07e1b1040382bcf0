#include "controls/BitButton.h"

#include "controls/CtrlMessages.h"
#include "platform/qt/HandCursor.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "platform/qt/WndTimers.h"
#include "res/Skins.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

CBitButton::CBitButton(QWidget *parent, int ctrlId, unsigned style) : QAbstractButton(parent)
{
    SetCtrlId(this, ctrlId);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, true);
    setFocusPolicy(Qt::TabFocus);
    setCursor(HandCursor());
    m_pPressTimer = new CWndTimers(this, [this](int) { onPressTimer(); });
    connect(this, &QAbstractButton::clicked, this, [this] { onClicked(); });
    PreSubclassWindow(style);
}

void CBitButton::PreSubclassWindow(unsigned style)
{
    m_nStyle = style;
    switch (style & 0xF00) {
    case BS_LEFT: m_nAlign = DT_LEFT; break;
    case BS_RIGHT: m_nAlign = DT_RIGHT; break;
    default: m_nAlign = DT_CENTER; break;
    }
    const unsigned s = style & 0xFF;
    // A template that is already owner-drawn is a push button the class paints.
    if ((s & 0xF) == BS_OWNERDRAW)
        m_nKind = PushKind;
    else if ((s & 3) == 3)
        m_nKind = CheckKind;
    else if ((s & 9) == 9)
        m_nKind = RadioKind;
    else
        m_nKind = PushKind;
    update();
}

void CBitButton::SetBitmaps(int normal, int hover, int pressed, int checkedNormal, int checkedHover,
                            int checkedPressed)
{
    m_idNormal = normal;
    m_idHover = hover;
    m_idPressed = pressed;
    m_idCheckedNormal = checkedNormal ? checkedNormal : normal;
    m_idCheckedHover = checkedHover ? checkedHover : hover;
    m_idCheckedPressed = checkedPressed ? checkedPressed : pressed;
    syncSize();
    redraw();
}

void CBitButton::SetCheckedBitmap(int id)
{
    m_idCheckedNormal = m_idCheckedHover = m_idCheckedPressed = id;
    syncSize();
    redraw();
}

void CBitButton::SetDisabledBitmaps(int unchecked, int checked)
{
    m_idDisabledUnchecked = unchecked;
    m_idDisabledChecked = checked;
    syncSize();
    redraw();
}

void CBitButton::SetAltBitmaps(int unchecked, int checked)
{
    m_idAltNormal = unchecked;
    m_idAltChecked = checked;
}

void CBitButton::SetAltLook(int flag)
{
    if (flag == m_bAltLook)
        return;
    m_bAltLook = flag;
    syncSize();
    redraw();
}

void CBitButton::SetStateTextColors(COLORREF n, COLORREF h, COLORREF p, COLORREF cn, COLORREF ch, COLORREF cp)
{
    const COLORREF c[6] = {n, h, p, cn, ch, cp};
    std::copy(std::begin(c), std::end(c), m_clr);
}

void CBitButton::SetStateFonts(const QFont *n, const QFont *h, const QFont *p, const QFont *cn, const QFont *ch,
                               const QFont *cp)
{
    m_pFont[0] = n;
    m_pFont[1] = h;
    m_pFont[2] = p;
    m_pFont[3] = cn ? cn : n;
    m_pFont[4] = ch ? ch : h;
    m_pFont[5] = cp ? cp : p;
}

void CBitButton::SetTextPlacement(int flag, int topOffset)
{
    m_bPlacement = flag;
    m_nPlacementTop = topOffset;
}

void CBitButton::SetCheck(int check)
{
    m_nCheck = check;
    if (!check) {
        for (auto &linked : m_pLinked)
            if (linked)
                linked->SetHover(0);
    }
    syncSize();
    redraw();
}

void CBitButton::SetHover(int hover)
{
    m_bHover = hover;
    syncSize();
    redraw();
}

void CBitButton::SetLinkedButtons(CBitButton *first, CBitButton *second)
{
    m_pLinked[0] = first;
    m_pLinked[1] = second;
}

void CBitButton::ShowWindow(int showCommand)
{
    if (showCommand == SW_HIDE) {
        m_pLinked[0] = nullptr;
        m_pLinked[1] = nullptr;
    }
    setVisible(showCommand != SW_HIDE);
}

void CBitButton::SetHandCursor(int on)
{
    m_bHandOn = on;
    if (on)
        setCursor(HandCursor());
    else
        unsetCursor();
}

bool CBitButton::PressTimerActive() const { return m_pPressTimer->IsActive(kPressTimer); }

CBitButton::Look CBitButton::currentLook() const
{
    if (!isEnabled()) {
        // Without disabled bitmaps of its own a disabled button keeps its resting look.
        const int disabled = m_nCheck ? m_idDisabledChecked : m_idDisabledUnchecked;
        return {disabled ? disabled : (m_nCheck ? m_idCheckedNormal : m_idNormal), m_clrDisabled, m_pFontDisabled};
    }
    const bool hover = m_bHover != 0;
    const bool pressed = hover && m_bPressed;  // the pressed look needs the hover look
    const int base = m_nCheck ? 3 : 0;
    if (!hover) {
        int id = m_nCheck ? (m_bAltLook ? m_idAltChecked : m_idCheckedNormal) : (m_bAltLook ? m_idAltNormal : m_idNormal);
        return {id, m_clr[base], m_pFont[base]};
    }
    if (!pressed)
        return {m_nCheck ? m_idCheckedHover : m_idHover, m_clr[base + 1], m_pFont[base + 1]};
    return {m_nCheck ? m_idCheckedPressed : m_idPressed, m_clr[base + 2], m_pFont[base + 2]};
}

QColor CBitButton::PlainFaceColor() { return QColor::fromRgb(Skins::Palette::PanelLight); }

int CBitButton::CurrentBitmap() const { return currentLook().bitmap; }

void CBitButton::syncSize()
{
    if (m_nKind != PushKind)
        return;
    const int id = CurrentBitmap();
    if (!id)
        return;
    const QSize s = Skins::NaturalSize(SkinType::Bitmap, id);
    if (!s.isEmpty() && s != size())
        resize(s);
}

QSize CBitButton::sizeHint() const
{
    const int id = CurrentBitmap();
    if (id && m_nKind == PushKind)
        return Skins::NaturalSize(SkinType::Bitmap, id);
    return QSize(64, 22);
}

void CBitButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_nKind != PushKind) {
        // Check boxes and radio buttons keep the system's own look.
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.text = text();
        opt.state |= m_nCheck ? QStyle::State_On : QStyle::State_Off;
        if (m_bPressed)
            opt.state |= QStyle::State_Sunken;
        style()->drawControl(m_nKind == CheckKind ? QStyle::CE_CheckBox : QStyle::CE_RadioButton, &opt, &p, this);
        return;
    }
    syncSize();
    const Look look = currentLook();
    if (look.bitmap)
        p.drawPixmap(rect(), Skins::Bitmap(look.bitmap, size()));
    else
        p.fillRect(rect(), PlainFaceColor());

    const QString words = text();
    QRect r = rect();
    if (!isEnabled()) {
        // Owners use a disabled button as a text display: its text is drawn even when empty.
        p.setFont(m_pFontDisabled ? *m_pFontDisabled : font());
        p.setPen(ToQColor(m_clrDisabled));
        r.setLeft(r.left() + m_nDisabledOffset);
        p.drawText(r, AlignmentFromDrawText(m_nDisabledFormat | DT_VCENTER | DT_SINGLELINE), words);
        return;
    }
    if (words.isEmpty())
        return;
    p.setFont(look.font ? *look.font : font());
    p.setPen(ToQColor(look.colour));
    if (m_bPlacement) {
        r.setTop(r.top() + m_nPlacementTop);
        p.drawText(r, AlignmentFromDrawText(m_nAlign | DT_CENTER | DT_VCENTER) | Qt::TextWordWrap, words);
    } else {
        p.drawText(r, Qt::AlignCenter, words);
    }
}

void CBitButton::postToParent(QWidget *receiver, WPARAM w)
{
    if (receiver)
        PostMessageTo(receiver, WM_BITBUTTON_PRESS, w, 0);
}

void CBitButton::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::RightButton) {
        if (m_bPressReports)
            postToParent(parentWidget(), kRightClick);
        QAbstractButton::mousePressEvent(e);
        return;
    }
    if (e->button() == Qt::LeftButton) {
        if (m_bPressReports) {
            m_pPressReceiver = parentWidget();
            m_pPressTimer->SetTimer(kPressTimer, kPressDelayMs);
        }
        m_bPressed = true;
        update();
    }
    QAbstractButton::mousePressEvent(e);
}

void CBitButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_bPressed = false;
        update();
    }
    QAbstractButton::mouseReleaseEvent(e);
}

void CBitButton::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && m_bPressReports) {
        m_pPressTimer->KillTimer(kPressTimer);
        postToParent(parentWidget(), kDoubleClick);
        // The second press of a double click is a press like any other for the button itself.
        m_bPressed = true;
        update();
        QAbstractButton::mousePressEvent(e);
        return;
    }
    if (e->button() == Qt::LeftButton) {
        m_bPressed = true;
        update();
    }
    QAbstractButton::mouseDoubleClickEvent(e);
}

void CBitButton::onPressTimer()
{
    // One report per press.
    m_pPressTimer->KillTimer(kPressTimer);
    postToParent(m_pPressReceiver, kSingleClick);
}

// The mouse came over the button: the hover look, shared with the linked buttons while this one is
// not checked.
void CBitButton::startHover()
{
    m_bHover = 1;
    if (!m_nCheck)
        for (auto &linked : m_pLinked)
            if (linked)
                linked->SetHover(1);
    syncSize();
    update();
}

void CBitButton::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pt = e->position().toPoint();
    if (!m_bHover && rect().contains(pt))
        startHover();
    if (m_bMoveNotify && pt != m_ptLastMove) {
        m_ptLastMove = pt;
        SendMessageTo(parentWidget(), WM_CTRL_MOUSEMOVE, MouseKeyFlags(e->buttons(), e->modifiers()),
                      LPARAM(GetCtrlId(this)));
    }
    QAbstractButton::mouseMoveEvent(e);
}

void CBitButton::enterEvent(QEnterEvent *e)
{
    if (!m_bHover)
        startHover();
    QAbstractButton::enterEvent(e);
}

void CBitButton::leaveEvent(QEvent *e)
{
    m_bHover = 0;
    syncSize();
    update();
    if (!m_nCheck)
        for (auto &linked : m_pLinked)
            if (linked)
                linked->SetHover(0);
    QAbstractButton::leaveEvent(e);
}

void CBitButton::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::EnabledChange) {
        if (!isEnabled())
            m_bPressed = false;
        syncSize();
        update();
    }
    QAbstractButton::changeEvent(e);
}

void CBitButton::onClicked()
{
    // Check boxes and radio buttons of the automatic styles keep their own mark, as the system's do.
    if (m_nKind == CheckKind && (m_nStyle & 0xF) == BS_AUTOCHECKBOX)
        SetCheck(!m_nCheck);
    else if (m_nKind == RadioKind && (m_nStyle & 0xF) == BS_AUTORADIOBUTTON)
        SetCheck(1);
    NotifyParent(this, BN_CLICKED);
}
