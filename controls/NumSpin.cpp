#include "controls/NumSpin.h"

#include "controls/CtrlMessages.h"
#include "controls/NumEdit.h"
#include "controls/NumSpinStep.h"
#include "platform/qt/WindowMessages.h"
#include "platform/qt/WndTimers.h"
#include "platform/ViewServices.h"
#include "res/Skins.h"
#include "res/Strings.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {
constexpr int kRepeatTimer = 551;   // the arrows' own auto-repeat
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatPeriodMs = 60;
}

CNumSpin::CNumSpin(QWidget *parent) : QWidget(parent)
{
    m_pTimers = new CWndTimers(this, [this](int id) { OnTimer(id); });
    setFocusPolicy(Qt::NoFocus);
}

CNumSpin::~CNumSpin() = default;

CNumEdit *CNumSpin::Buddy() const { return qobject_cast<CNumEdit *>(m_pBuddy.data()); }

void CNumSpin::SetBuddy(QWidget *buddy)
{
    if (m_pBuddy)
        m_pBuddy->removeEventFilter(this);
    m_pBuddy = buddy;
    if (buddy)
        buddy->installEventFilter(this);  // the buddy's arrow keys step the spin
}

QWidget *CNumSpin::GetBuddy() const { return m_pBuddy; }

void CNumSpin::GetRange32(int &min, int &max) const
{
    min = m_nMin;
    max = m_nMax;
}

void CNumSpin::SetRange(int min, int max)
{
    m_nMin = min;
    m_nMax = max;
    if (CNumEdit *b = Buddy()) {
        b->SetRange(min, max);
        m_nMode = b->GetType();
    }
}

int CNumSpin::GetPos()
{
    if (CNumEdit *b = Buddy())
        m_nPos = b->GetValue();
    return m_nPos;
}

void CNumSpin::SetPos(int p)
{
    // A position outside the range (a record value the edit cannot show, say) gives the range
    // message through the program's message box, then is limited.
    if (p < m_nMin || p > m_nMax)
        ShowMessage(Tr(StrId::SetPosError), MB_OK, g_bChinese.load() ? -2 : -3);
    p = std::clamp(p, m_nMin, std::max(m_nMin, m_nMax));
    m_nPos = p;
    if (CNumEdit *b = Buddy())
        b->SetValue(p);
}

int CNumSpin::IsBuddyPending() const
{
    const CNumEdit *b = Buddy();
    return b ? b->IsPending() : 0;
}

int CNumSpin::GetBuddyType() const
{
    const CNumEdit *b = Buddy();
    return b ? b->GetType() : 0;
}

int CNumSpin::CommitBuddyDelay()
{
    if (CNumEdit *b = Buddy())
        m_nPos = b->CommitDelayValue();
    return m_nPos;
}

void CNumSpin::SnapToFreqGrid()
{
    CNumEdit *b = Buddy();
    if (!b)
        return;
    if (const auto next = numspin::SnapToFreqGrid(b->GetValue(), m_nPos, m_nMin, m_nMax))
        SetPos(*next);
}

// The delay step in the buddy's unit, then the page is told and the step is passed on to the
// rest of the speaker group.
void CNumSpin::FinishDelayStep(int a, int delta)
{
    CNumEdit *b = Buddy();
    if (b) {
        if (const auto p = numspin::DelayStep(b->GetType(), a, m_nPos, delta)) {
            m_nPos = std::clamp(*p, m_nMin, m_nMax);
            b->SetValue(m_nPos);
        }
    }
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    NotifyParent(this);
    PostMessageTo(parent, WM_NUMSPIN_DELAYSTEP, WPARAM(GetCtrlId(this)), LPARAM(delta));
}

void CNumSpin::DeltaPos(int delta)
{
    CNumEdit *b = Buddy();
    if (b && !b->IsEnabledLook())
        return;
    const int a = IsBuddyPending() ? GetPos() : m_nPos;
    const int target = std::clamp(numspin::ArrowTarget(m_nMode, a, delta), m_nMin, std::max(m_nMin, m_nMax));
    if (target != m_nPos) {
        m_nPos = target;
        m_bChanged = 1;
    }
    if (numspin::IsGridMode(m_nMode))
        SnapToFreqGrid();
    if (m_bHeld) {
        if (m_nMode == numspin::kModeDelay) {
            // Held steps are delay steps too, and each one reaches the speaker group; the page
            // hears of the value itself through the timer and the release.
            if (b) {
                if (const auto p = numspin::DelayStep(b->GetType(), a, m_nPos, delta))
                    m_nPos = std::clamp(*p, m_nMin, m_nMax);
            }
            if (QWidget *parent = parentWidget())
                PostMessageTo(parent, WM_NUMSPIN_DELAYSTEP, WPARAM(GetCtrlId(this)), LPARAM(delta));
        }
        if (b)
            b->SetValue(m_nPos);
        return;
    }
    if (m_nMode == numspin::kModeDelay) {
        FinishDelayStep(a, delta);
        return;
    }
    if (b)
        b->SetValue(m_nPos);
    NotifyParent(this);
}

void CNumSpin::Step(int delta)
{
    const int a = GetPos();
    const int b = std::clamp(a + delta, m_nMin, std::max(m_nMin, m_nMax));
    if (b != a) {
        m_nPos = b;
        m_bChanged = 1;
    }
    if (m_bHeld)
        return;
    if (m_nMode == numspin::kModeDelay) {
        FinishDelayStep(a, delta);
        return;
    }
    if (CNumEdit *e = Buddy())
        e->SetValue(m_nPos);
    NotifyParent(this);
}

void CNumSpin::OnTimer(int id)
{
    if (id == kNotifyTimer) {
        if (m_bChanged && parentWidget()) {
            m_bChanged = 0;
            NotifyParent(this);
        }
    } else if (id == kRepeatTimer) {
        if (m_bHeld && m_nPressDelta != 0) {
            m_pTimers->SetTimer(kRepeatTimer, kRepeatPeriodMs);
            DeltaPos(m_nPressDelta);
        }
    }
}

void CNumSpin::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_pTimers->SetTimer(kNotifyTimer, m_nHeldPeriod);
    m_bHeld = 1;
    m_nPressDelta = e->position().y() < height() / 2.0 ? 1 : -1;
    update();
    DeltaPos(m_nPressDelta);
    m_pTimers->SetTimer(kRepeatTimer, kRepeatDelayMs);
}

void CNumSpin::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_bHeld = 0;
    m_nPressDelta = 0;
    m_pTimers->KillTimer(kNotifyTimer);
    m_pTimers->KillTimer(kRepeatTimer);
    if (m_bChanged) {
        m_bChanged = 0;
        NotifyParent(this);
    }
    update();
}

bool CNumSpin::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pBuddy && event->type() == QEvent::KeyPress && isEnabled()) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
            DeltaPos(k->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CNumSpin::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor frame(Skins::Palette::Frame);
    const QColor face(Skins::Palette::PanelLight);
    const QColor pressed(Skins::Palette::Accent);
    const qreal mid = r.top() + r.height() / 2;
    const QRectF up(r.left(), r.top(), r.width(), mid - r.top());
    const QRectF down(r.left(), mid, r.width(), r.bottom() - mid);
    for (int i = 0; i < 2; ++i) {
        const QRectF half = i == 0 ? up : down;
        const bool lit = m_bHeld && m_nPressDelta == (i == 0 ? 1 : -1);
        QLinearGradient g(half.topLeft(), half.bottomLeft());
        g.setColorAt(0, lit ? pressed.darker(140) : face.lighter(115));
        g.setColorAt(1, lit ? pressed.darker(180) : face.darker(120));
        p.setPen(frame);
        p.setBrush(g);
        p.drawRoundedRect(half, 2, 2);
        const qreal cx = half.center().x();
        const qreal cy = half.center().y();
        const qreal w = std::max<qreal>(3, std::min(half.width(), half.height() * 1.6) * 0.28);
        QPolygonF tri;
        if (i == 0)
            tri << QPointF(cx - w, cy + w / 2) << QPointF(cx + w, cy + w / 2) << QPointF(cx, cy - w / 2);
        else
            tri << QPointF(cx - w, cy - w / 2) << QPointF(cx + w, cy - w / 2) << QPointF(cx, cy + w / 2);
        p.setPen(Qt::NoPen);
        p.setBrush(isEnabled() ? QColor(Skins::Palette::Text) : QColor(Skins::Palette::TextDim));
        p.drawPolygon(tri);
    }
}
