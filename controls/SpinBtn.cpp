#include "controls/SpinBtn.h"

#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WndTimers.h"
#include "res/Skins.h"

#include <QMouseEvent>
#include <QPainter>

CSpinBtn::CSpinBtn(QWidget *parent) : QAbstractButton(parent)
{
    m_pTimers = new CWndTimers(this, [this](int id) {
        if (id == kStepTimer)
            StepOnce();
    });
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);  // the edit keeps the focus while its button steps
    setCursor(Qt::ArrowCursor);
    ComputeAreas();
}

CSpinBtn::~CSpinBtn() = default;

void CSpinBtn::SetBitmaps(int resting, int minus, int middle, int plus)
{
    m_nBitmaps[0] = resting;
    m_nBitmaps[1] = minus;
    m_nBitmaps[2] = middle;
    m_nBitmaps[3] = plus;
    if (resting && Skins::Has(SkinType::Bitmap, resting)) {
        const QSize s = Skins::NaturalSize(SkinType::Bitmap, resting);
        if (!s.isEmpty())
            resize(s);
    }
    ComputeAreas();
    update();
}

void CSpinBtn::ComputeAreas()
{
    const int w = width();
    const int h = height();
    const double k = w / 5.5;
    const int minusRight = static_cast<int>(k);
    const int plusLeft = static_cast<int>(w - k);
    m_rcMinus = QRect(QPoint(0, 0), QPoint(minusRight - 1, h - 1));
    m_rcPlus = QRect(QPoint(plusLeft, 0), QPoint(w - 1, h - 1));
    m_rcMiddle = QRect(QPoint(minusRight, 0), QPoint(plusLeft - 1, h - 1));
}

void CSpinBtn::resizeEvent(QResizeEvent *e)
{
    QAbstractButton::resizeEvent(e);
    ComputeAreas();
}

void CSpinBtn::SetActive(int on)
{
    m_bActive = on ? 1 : 0;
    m_nState = on ? 2 : 0;
    if (!on) {
        m_bHeld = 0;
        m_pTimers->KillTimer(kStepTimer);
    }
    update();
}

void CSpinBtn::SetBuddy(int id, CNumSpin *spin)
{
    m_nSpinId = id;
    m_pSpin = spin;
}

int CSpinBtn::StateAt(QPoint p) const
{
    if (m_rcMiddle.contains(p))
        return 2;
    if (m_rcMinus.contains(p))
        return 1;
    if (m_rcPlus.contains(p))
        return 3;
    return 2;  // outside every area (only while the mouse is held): the plain active look
}

void CSpinBtn::StepOnce()
{
    if (!m_bActive || !m_pSpin)
        return;
    if (m_nState == 1)
        m_pSpin->Step(-1);
    else if (m_nState == 3)
        m_pSpin->Step(+1);
}

void CSpinBtn::mouseMoveEvent(QMouseEvent *e)
{
    if (m_bActive) {
        const int s = StateAt(e->position().toPoint());
        if (s != m_nState) {
            m_nState = s;
            update();
        }
        // The pointer resting on a held button starts the repeat.
        if (m_bHeld && !m_pTimers->IsActive(kStepTimer))
            m_pTimers->SetTimer(kStepTimer, kStepPeriodMs);
    } else if (m_nState != 0) {
        m_nState = 0;
        update();
    }
    e->accept();
}

void CSpinBtn::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_bClicked = 1;
    m_bHeld = 1;
    e->accept();
    // The click belongs to the edit: it tells its page and takes the focus, which activates us.
    if (auto *edit = qobject_cast<CNumEdit *>(parentWidget()))
        edit->ClickFromStepButton();
    if (m_bActive) {
        m_nState = StateAt(e->position().toPoint());
        update();
    }
}

void CSpinBtn::mouseReleaseEvent(QMouseEvent *e)
{
    m_bHeld = 0;
    m_pTimers->KillTimer(kStepTimer);
    e->accept();
}

void CSpinBtn::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (m_bActive)
        m_nState = StateAt(e->position().toPoint());
    StepOnce();
    e->accept();
}

void CSpinBtn::leaveEvent(QEvent *e)
{
    m_bHeld = 0;
    m_pTimers->KillTimer(kStepTimer);
    m_nState = m_bActive ? 2 : 0;
    update();
    QAbstractButton::leaveEvent(e);
}

void CSpinBtn::wheelEvent(QWheelEvent *e)
{
    e->accept();  // the wheel never steps the value
}

void CSpinBtn::keyPressEvent(QKeyEvent *e)
{
    if ((e->key() == Qt::Key_Up || e->key() == Qt::Key_Right) && parentWidget())
        parentWidget()->setFocus();
    QAbstractButton::keyPressEvent(e);
}

void CSpinBtn::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect r = rect();
    const bool enabled = isEnabled();
    int id = enabled ? m_nBitmaps[std::clamp(m_nState, 0, 3)] : m_nDisabledBitmap;
    if (id && !Skins::Has(SkinType::Bitmap, id))
        id = 0;  // an image that does not exist: the plain face
    if (id) {
        p.drawPixmap(r, Skins::Bitmap(id, r.size()));
    } else {
        // No skin: a console face with the two step marks.
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        const QColor face(Skins::Palette::Panel);
        g.setColorAt(0, face.lighter(120));
        g.setColorAt(1, face.darker(115));
        p.setPen(QColor(Skins::Palette::Frame));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        if (enabled && m_bActive) {
            const QColor lit(Skins::Palette::Accent);
            const QColor dim(Skins::Palette::TextDim);
            p.setPen(QPen(m_nState == 1 ? lit : dim, 2));
            const QPoint cm = m_rcMinus.center();
            p.drawLine(cm.x() - 4, cm.y(), cm.x() + 4, cm.y());
            const QPoint cp = m_rcPlus.center();
            p.setPen(QPen(m_nState == 3 ? lit : dim, 2));
            p.drawLine(cp.x() - 4, cp.y(), cp.x() + 4, cp.y());
            p.drawLine(cp.x(), cp.y() - 4, cp.x(), cp.y() + 4);
        }
    }
    const QString t = text();
    if (!enabled) {
        p.setPen(ToQColor(m_clrDisabledText));
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, t);
    } else if (!t.isEmpty()) {
        p.setPen(ToQColor(m_clrText));
        p.drawText(r.adjusted(0, 0, 0, id ? -5 : 0), Qt::AlignCenter | Qt::TextSingleLine, t);
    }
}
