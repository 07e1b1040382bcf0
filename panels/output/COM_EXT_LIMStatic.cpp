#include "panels/output/COM_EXT_LIMStatic.h"

#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr QColor kLabelColour(200, 200, 200);
constexpr QColor kFrameColour(0, 180, 0);
constexpr QColor kGridColour(21, 100, 21);
constexpr QColor kUnityColour(195, 195, 195);
constexpr QColor kKneeColour(255, 255, 0);

CPoint ToCPoint(const QPointF &p)
{
    const QPoint q = p.toPoint();
    return CPoint{q.x(), q.y()};
}
QPointF ToQ(const limcurve::PointF &p) { return QPointF(p.x, p.y); }
}  // namespace

CCOM_EXT_LIMStatic::CCOM_EXT_LIMStatic(QWidget *parent, int ctrlId) : QWidget(parent)
{
    if (ctrlId)
        SetCtrlId(this, ctrlId);
    m_font = MakeFont(QStringLiteral("Arial"), 14);
    // A press takes the keyboard focus, as a static control with the notify style does.
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    CalcLayout();
}

CCOM_EXT_LIMStatic::~CCOM_EXT_LIMStatic() = default;

void CCOM_EXT_LIMStatic::CalcLayout()
{
    m_layout = limcurve::ComputeLayout(CRect{0, 0, width(), height()});
    UpdateKnee();
}

void CCOM_EXT_LIMStatic::SetMode(int mode)
{
    m_nMode = mode;
    if (mode != kModeLimiter)
        m_tracker.Reset();
    UpdateCursorShape();
    update();
}

void CCOM_EXT_LIMStatic::SetLinkedControls(CNumSpin *spin, CNumEdit *edit)
{
    m_pSpin1 = spin;
    m_pEdit1 = edit;
}

void CCOM_EXT_LIMStatic::SetLinkedControls2(CNumSpin *spin, CNumEdit *edit)
{
    m_pSpin2 = spin;
    m_pEdit2 = edit;
}

void CCOM_EXT_LIMStatic::SelectChannel(int i)
{
    if (!m_pRoot || i < 0 || i > 7)
        return;
    m_nChannel = i;
    m_pOut = m_pRoot->GetOut(i);
    m_clrCurve = g_clrOutCurve[static_cast<std::size_t>(i)];
    m_tracker.Reset();
    Refresh();
}

void CCOM_EXT_LIMStatic::Refresh()
{
    if (!m_pOut)
        return;
    m_nThreshold = m_pOut->GetLimitThreshold();
    UpdateKnee();
    Paint();
}

void CCOM_EXT_LIMStatic::UpdateKnee()
{
    // The hit area is where the knee is drawn; nothing can be hit before an output is shown.
    m_rcKnee = m_pOut ? limcurve::KneeRect(m_layout, m_nThreshold) : CRect{};
}

void CCOM_EXT_LIMStatic::UpdateCursorShape()
{
    // The north-east / south-west sizing cursor over the knee, the arrow elsewhere.
    const Qt::CursorShape shape = m_tracker.Hover() ? Qt::SizeBDiagCursor : Qt::ArrowCursor;
    if (cursor().shape() != shape)
        setCursor(shape);
}

void CCOM_EXT_LIMStatic::TrackKnee(CPoint p)
{
    if (const auto t = m_tracker.Move(m_layout, m_rcKnee, p, m_nThreshold))
        DragThreshold(*t);
    UpdateCursorShape();
}

void CCOM_EXT_LIMStatic::DragThreshold(int threshold)
{
    // Without controls the curve only shows the record's limiter: the knee stays where the record
    // puts it, so the curve never shows a threshold that is neither stored nor sent.
    if (!m_pSpin1 || !m_pOut)
        return;
    m_nThreshold = threshold;
    for (CNumSpin *spin : {m_pSpin1.data(), m_pSpin2.data()})
        if (spin)
            spin->SetPos(threshold);
    for (CNumEdit *edit : {m_pEdit1.data(), m_pEdit2.data()})
        if (edit)
            edit->SetHighlight(1);
    m_pOut->SetLimitThreshold(threshold);
    UpdateKnee();
    Paint();
}

void CCOM_EXT_LIMStatic::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    CalcLayout();
}

void CCOM_EXT_LIMStatic::mouseMoveEvent(QMouseEvent *e)
{
    // A release the control never saw (the grab went elsewhere) ends the drag as a release would.
    if (m_tracker.Dragging() && !(e->buttons() & Qt::LeftButton))
        m_tracker.Release();
    if (m_nMode == kModeLimiter)
        TrackKnee(ToCPoint(e->position()));
    e->accept();
}

void CCOM_EXT_LIMStatic::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (m_nMode == kModeLimiter) {
        // A touch or pen press comes without a move before it: the hover is found at the press.
        if (!m_tracker.Dragging())
            TrackKnee(ToCPoint(e->position()));
        m_tracker.Press();
    }
    e->accept();
}

void CCOM_EXT_LIMStatic::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    if (m_nMode == kModeLimiter)
        m_tracker.Release();
    e->accept();
}

void CCOM_EXT_LIMStatic::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (m_nMode != kModeLimiter)
        return;
    const limcurve::Layout &l = m_layout;

    p.setFont(m_font);
    p.setPen(kLabelColour);
    const QFontMetrics fm(m_font);
    // Digits fill the ascent above the baseline and nothing below it.
    const auto width = [&fm](const char *text) { return fm.horizontalAdvance(QString::fromLatin1(text)); };
    for (const limcurve::Label &label : limcurve::FittingLabels(l, width, fm.ascent()))
        p.drawText(label.x, label.y + fm.ascent(), QString::fromLatin1(label.text));

    // Frame and grid, one pixel wide; lines stop one pixel short of their end, like the frame.
    const CRect &plot = l.plot;
    p.setPen(QPen(kFrameColour, 1));
    p.setBrush(Qt::NoBrush);
    if (!plot.IsRectEmpty())
        p.drawRect(plot.left, plot.top, plot.Width() - 1, plot.Height() - 1);
    p.setPen(QPen(kGridColour, 1));
    for (int y : limcurve::GridLinesY(l))
        p.drawLine(plot.left, y, plot.right - 2, y);
    for (int x : limcurve::GridLinesX(l))
        p.drawLine(x, plot.bottom - 1, x, plot.top + 1);

    if (m_pOut)
        DrawCurve(p);
}

void CCOM_EXT_LIMStatic::DrawCurve(QPainter &p)
{
    const limcurve::Layout &l = m_layout;
    p.save();
    p.setClipRect(rect());
    p.setRenderHint(QPainter::Antialiasing);
    QPen unity(kUnityColour, 2, Qt::DashLine);
    p.setPen(unity);
    p.drawLine(ToQ(l.start), ToQ(l.refEnd));

    const QPointF knee = ToQ(limcurve::Knee(l, m_nThreshold));
    const QPointF end = ToQ(limcurve::CurveEnd(l, m_nThreshold));
    QPainterPath curve(ToQ(l.start));
    curve.lineTo(knee);
    curve.lineTo(end);
    p.setPen(QPen(m_clrCurve, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(curve);

    const CRect &k = m_rcKnee;
    p.setPen(QPen(kKneeColour, 2));
    p.setBrush(kKneeColour);
    p.drawEllipse(QRectF(k.left, k.top, k.Width(), k.Height()));
    p.restore();
}
