#include "controls/NumEdit.h"

#include "controls/CtrlMessages.h"
#include "controls/NumSpin.h"
#include "controls/SpinBtn.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include <vector>

CNumEdit::CNumEdit(QWidget *parent) : QLineEdit(parent)
{
    setFrame(false);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);  // no Chinese input reaches the edit
    setAlignment(Qt::AlignCenter);
    connect(this, &QLineEdit::textEdited, this, [this] { m_bPending = 1; });
    ApplyLook();
}

CNumEdit::~CNumEdit() = default;

NumEditParams CNumEdit::Params() const
{
    NumEditParams p;
    p.min = m_nMin;
    p.max = m_nMax;
    p.type = m_nType;
    p.scale = m_dScale;
    p.offset = m_dOffset;
    p.unit = m_strUnit.toStdString();
    p.temperature = m_nTemperature;
    p.chinese = g_bChinese.load() != 0;
    return p;
}

void CNumEdit::SetRange(int min, int max)
{
    m_nMin = min;
    m_nMax = max;
    m_nValue = min;
}

void CNumEdit::SetValue(int v)
{
    if (v > m_nMax || v < m_nMin)
        return;
    m_nValue = v;
    UpdateText();
}

int CNumEdit::GetValue()
{
    if (m_bPending) {
        if (const auto v = numedit::ParseSilently(text().toStdString(), m_nValue, Params()))
            m_nValue = *v;
        m_bPending = 0;
    }
    return m_nValue;
}

void CNumEdit::SetType(int type, const QString &unit)
{
    m_nType = type;
    m_strUnit = unit;
    UpdateText();
}

void CNumEdit::SetTemperature(int t)
{
    m_nTemperature = t;
    UpdateText();
}

void CNumEdit::AddValue(int delta)
{
    m_nValue = std::clamp(m_nValue + delta, m_nMin, m_nMax);
    UpdateText();
    NotifyParent(this);
}

void CNumEdit::ShowText(const QString &t)
{
    // Text set by the program is not typing: setText leaves the pending mark alone.
    if (t != text())
        setText(t);
}

int CNumEdit::UpdateText()
{
    m_nValue = numedit::StoredValue(m_nValue, Params());
    if (const auto t = numedit::Format(m_nValue, Params()))
        ShowText(QString::fromStdString(*t));
    if (m_bHasStepButton && m_pStepButton)
        m_pStepButton->setText(text());
    update();
    return 1;
}

void CNumEdit::RefreshOffText()
{
    if (m_nType == 0 || m_nType == 1 || m_nType == 2) {
        UpdateText();
        return;
    }
    QString t = text();
    const bool chinese = g_bChinese.load() != 0;
    if (t == QTr(StrId::Off, !chinese))
        t = QTr(StrId::Off, chinese);
    setText(t);
}

void CNumEdit::changeEvent(QEvent *e)
{
    // The value's words (unit, OFF) follow the language; a text the user is typing stays.
    if (e->type() == QEvent::LanguageChange && !m_bPending)
        RefreshOffText();
    QLineEdit::changeEvent(e);
}

void CNumEdit::Commit()
{
    // Only text the user changed is committed; the mark is spent by the commit, so a later
    // focus loss without typing neither re-parses (which would move a centimetre value) nor
    // notifies again.
    if (m_bPending) {
        m_bPending = 0;
        const auto r = numedit::Commit(text().toStdString(), m_nValue, Params());
        if (r.reshow || r.notify) {
            m_nValue = r.value;
            if (const auto t = numedit::Format(m_nValue, Params()))
                ShowText(QString::fromStdString(*t));
            // The step button shows the committed text too, so it is right when the page
            // next switches the edit to stepping.
            if (m_bHasStepButton && m_pStepButton)
                m_pStepButton->setText(text());
        }
        // A page that is closing (its window already hidden) is not told any more.
        if (r.notify && window()->isVisible())
            NotifyParent(this);
    }
}

int CNumEdit::CommitDelayValue()
{
    if (m_nType == 0 || m_nType == 19 || m_nType == 1 || m_nType == 2)
        Commit();
    return m_nValue;
}

void CNumEdit::SetHighlight(int on)
{
    if (on == m_bHighlight)
        return;
    m_bHighlight = on;
    ApplyLook();
    update();
}

namespace {
// The palette of a look (0 highlighted, 1 normal, 2 the dimmed normal look) over a given palette.
QPalette LookOver(QPalette pal, int look)
{
    if (look == 0) {
        pal.setColor(QPalette::Base, ToQColor(CNumEdit::kFocusColour));
        pal.setColor(QPalette::Text, Qt::black);
    } else {
        pal.setColor(QPalette::Base, Qt::transparent);
        pal.setColor(QPalette::Text, look == 1 ? QColor(255, 255, 255) : QColor(200, 200, 200));
    }
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    pal.setColor(QPalette::Highlight, QColor(40, 90, 150));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    return pal;
}

// A page holds a hundred edits over one palette: they share the palette of each look instead of
// each keeping a copy of its own.
QPalette SharedLookOver(const QPalette &over, int look)
{
    struct Entry {
        QPalette over;
        int look;
        QPalette result;
    };
    static std::vector<Entry> looks;
    for (const Entry &e : looks)
        if (e.look == look && (e.over.isCopyOf(over) || e.over == over))
            return e.result;
    if (looks.size() >= 16)
        looks.clear();
    looks.push_back({over, look, LookOver(over, look)});
    return looks.back().result;
}
}  // namespace

void CNumEdit::ApplyLook()
{
    setAutoFillBackground(m_bHighlight != 0);
    setPalette(SharedLookOver(palette(), m_bHighlight ? 0 : m_bEnabledLook ? 1 : 2));
}

void CNumEdit::SetReadOnly(int on)
{
    update();
    if (m_bHasStepButton && m_pStepButton)
        m_pStepButton->setVisible(on != 0);
    setReadOnly(on != 0);
}

int CNumEdit::ShowWindow(int cmd)
{
    if (cmd != SW_HIDE && cmd != SW_SHOW)
        return m_bShown;
    const bool wasVisible = isVisible();
    if (m_bShown && cmd == SW_HIDE) {
        m_bShown = 0;
        hide();
        return wasVisible;
    }
    if (!m_bShown && cmd == SW_SHOW) {
        m_bShown = 1;
        show();
        return wasVisible;
    }
    if ((m_bShown && !isVisible() && cmd == SW_SHOW) || (!m_bShown && isVisible() && cmd == SW_HIDE)) {
        setVisible(cmd == SW_SHOW);
        return wasVisible;
    }
    return m_bShown;
}

int CNumEdit::EnableWindow(int on)
{
    const bool wasDisabled = !isEnabled();
    setEnabled(on != 0);
    return wasDisabled;
}

int CNumEdit::CreateSpinButton(int id)
{
    if (!m_pStepButton) {
        m_pStepButton = new CSpinBtn(this);
        SetCtrlId(m_pStepButton, id);
        m_pStepButton->setGeometry(rect());
        m_pStepButton->setFont(font());
        m_pStepButton->setText(QString());
        m_pStepButton->hide();
    }
    m_bHasStepButton = 1;
    return 1;
}

void CNumEdit::AttachSpin(int id, CNumSpin *spin)
{
    if (m_bHasStepButton && m_pStepButton)
        m_pStepButton->SetBuddy(id, spin);
}

void CNumEdit::ClickFromStepButton()
{
    NotifyParent(this);
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}

void CNumEdit::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    // Qt gives a clicked widget the focus before the press reaches it.
    m_bFocusByClick = e->reason() == Qt::MouseFocusReason;
    SetHighlight(1);
    if (m_pLinked)
        m_pLinked->update();
    if (!isReadOnly()) {
        selectAll();
    } else {
        deselect();
        if (m_bHasStepButton && m_pStepButton)
            m_pStepButton->SetActive(1);
    }
}

void CNumEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    m_bFocusByClick = false;
    Commit();
    if (m_bHasStepButton && m_pStepButton)
        m_pStepButton->SetActive(0);
    SetHighlight(0);
    update();
    if (m_pLinked)
        m_pLinked->update();
}

void CNumEdit::keyPressEvent(QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers();
    if (isReadOnly() && (mods & Qt::ShiftModifier)) {
        e->accept();
        return;
    }
    // Only single-byte characters are typed: a double-byte character is dropped.
    const QString t = e->text();
    for (const QChar ch : t) {
        if (ch.unicode() > 0x7F) {
            e->accept();
            return;
        }
    }
    // Keys the edit does not use (Enter, Escape) stay unaccepted, so a dialog around the edit
    // still gets its default button and its cancel.
    QLineEdit::keyPressEvent(e);
    if (mods & (Qt::ControlModifier | Qt::ShiftModifier))
        return;
    if (QWidget *p = parentWidget())
        PostMessageTo(p, WM_NUMEDIT_KEY, WPARAM(GetCtrlId(this)), LPARAM(VirtualKeyFromQt(e->key())));
}

void CNumEdit::inputMethodEvent(QInputMethodEvent *e)
{
    e->accept();  // composed (double-byte) input never reaches the edit
}

void CNumEdit::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QLineEdit::mousePressEvent(e);
        return;
    }
    if (parentWidget())
        NotifyParent(this);
    if (!hasFocus() || m_bFocusByClick) {
        m_bFocusByClick = false;
        // The click is not passed on: the caret is not placed and the focus gain selects all.
        setFocus(Qt::MouseFocusReason);
        m_bSwallowRelease = true;
        e->accept();
        return;
    }
    m_bSwallowRelease = false;
    QLineEdit::mousePressEvent(e);
    if (isReadOnly())
        deselect();
}

void CNumEdit::mouseDoubleClickEvent(QMouseEvent *e)
{
    QLineEdit::mouseDoubleClickEvent(e);
    if (!isReadOnly())
        selectAll();
    else
        deselect();  // read-only: no selection, as the focus gain leaves it
}

void CNumEdit::mouseMoveEvent(QMouseEvent *e)
{
    if (isReadOnly()) {
        e->accept();  // no drag selection
        return;
    }
    QLineEdit::mouseMoveEvent(e);
}

void CNumEdit::mouseReleaseEvent(QMouseEvent *e)
{
    if (m_bSwallowRelease && e->button() == Qt::LeftButton) {
        m_bSwallowRelease = false;
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void CNumEdit::resizeEvent(QResizeEvent *e)
{
    QLineEdit::resizeEvent(e);
    if (m_pStepButton)
        m_pStepButton->setGeometry(rect());
}
