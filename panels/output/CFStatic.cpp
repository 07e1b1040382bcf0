#include "panels/output/CFStatic.h"

#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTVEQ.h"
#include "model/KTV_Data.h"
#include "model/OutputPageContract.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/WindowMessages.h"
#include "platform/qt/WndTimers.h"
#include "res/Strings.h"
#include "res/Skins.h"

#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QStaticText>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

QRect ToQ(const CRect &r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
QPoint ToPoint(const QPointF &p) { return QPoint(int(std::floor(p.x())), int(std::floor(p.y()))); }

// The colours of the graph.
const QColor kGround(56, 55, 55);
const QColor kGridLine(90, 89, 89);
const QColor kSelectedFill(39, 36, 36);
const QColor kInputSelectedFill(68, 86, 98);
const QColor kActive(255, 0, 0);
const QColor kFreqLabel(224, 224, 224);
const QColor kGainLabel(100, 100, 100);
const QColor kOverlayCurve(100, 100, 100);
const QColor kShownCurve(255, 1, 85);

// The look of each display mode's plot.
struct ModeStyle {
    QColor fill;
    QColor frame;
    QColor selectedFill;
    int lineDivisions;  // rows of the horizontal grid lines (8 lines are drawn)
    bool logo;
    bool bezier;
};
ModeStyle StyleOf(int mode)
{
    switch (mode) {
    case CCFStatic::kModeEmpty:
        return {Qt::black, Qt::white, kSelectedFill, 12, false, false};
    case CCFStatic::kModeEffect:
    case CCFStatic::kModeMic:
        return {Qt::black, QColor(0, 180, 0), kInputSelectedFill, 12, false, true};
    case CCFStatic::kModeMusic:
        return {Qt::black, kGridLine, kInputSelectedFill, 8, false, true};
    default:
        return {kGround, kGridLine, kSelectedFill, 8, true, false};
    }
}

// A text colour the system fixes, brought to a readable contrast on the ground it is drawn on by
// moving it toward white (or black on a light ground) as little as it takes.
QColor ReadableOn(QColor text, QColor ground)
{
    const QColor goal = ground.lightnessF() < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 0; step <= 20; ++step) {
        const double t = step / 20.0;
        const QColor c = QColor::fromRgbF(float(text.redF() + (goal.redF() - text.redF()) * t),
                                          float(text.greenF() + (goal.greenF() - text.greenF()) * t),
                                          float(text.blueF() + (goal.blueF() - text.blueF()) * t));
        if (Skins::Contrast(c, ground) >= Skins::MinTextContrast)
            return c;
    }
    return goal;
}

const QFont &LabelFont()
{
    static const QFont f = MakePointFont(QStringLiteral("Arial"), 85);
    return f;
}
const QFont &MarkerFont()
{
    static const QFont f = MakePointFont(QStringLiteral("Arial"), 90);
    return f;
}

// The brand watermark of the output view: the product name, a shade above the ground, centred
// in the 300 x 96 area at (330, 31). Drawn as text laid out once, so no image of it is kept and
// a redraw of the plot costs only the glyphs.
void DrawWatermark(QPainter &p)
{
    static const QFont font = [] {
        QFont f = MakeFont(QStringLiteral("Arial"), -44, 700);
        f.setLetterSpacing(QFont::PercentageSpacing, 110);
        return f;
    }();
    static QStaticText text = [] {
        QStaticText t(QStringLiteral("ZK-470"));
        t.setTextFormat(Qt::PlainText);
        t.prepare(QTransform(), font);
        return t;
    }();
    const QSizeF size = text.size();
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    p.setPen(QColor(66, 65, 65));
    p.drawStaticText(QPointF(330 + (300 - size.width()) / 2, 31 + (96 - size.height()) / 2), text);
    p.restore();
}

} // namespace

CCFStatic::CCFStatic(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_pTimers = new CWndTimers(this, [this](int id) { OnTimer(id); });
    m_layout = graph::ComputeLayout(CRect{0, 0, width(), height()});
}

CCFStatic::~CCFStatic() { m_pOwner = nullptr; }

// ---- binding --------------------------------------------------------------------------------------

void CCFStatic::SetData(CKTV_Data *root, int type)
{
    m_pRoot = root;
    m_nDataType = type;
    m_bLayoutDone = true;
    CalcLayout();
}

void CCFStatic::CalcLayout()
{
    m_layout = graph::ComputeLayout(CRect{0, 0, width(), height()});
    if (m_pRoot && !m_layout.plot.IsRectEmpty()) {
        if (m_nDataType == kDataMusic)
            m_pRoot->SetMusicPlotRect(m_layout.plot);
        else if (m_nDataType == kDataOutput)
            m_pRoot->SetOutPlotGeometry(m_layout.plot);  // the paint sums the curves it draws
    }
    m_pTimers->SetTimer(kNotifyTimer, kNotifyTimerMs);
    m_bPlotDirty = true;
    update();
}

void CCFStatic::Bind(CKTVEQ *set, int scanLimit)
{
    m_tracker.Bind(set, scanLimit);
    UpdateCursorShape();
}

void CCFStatic::ShowEffect()
{
    if (!m_pRoot)
        return;
    m_pOut = nullptr;
    m_pInput = &m_pRoot->GetEffect();
    m_nKind = 0;
    m_nMode = kModeEffect;
    m_nNotifyCode = 0;
    Bind(&m_pInput->GetEq(), -1);
    Redraw(-1);
}

void CCFStatic::ShowMicInput(int i)
{
    CInputRecord *mic = m_pRoot ? m_pRoot->GetMicIn(i) : nullptr;
    if (!mic)
        return;
    m_pOut = nullptr;
    m_pInput = mic;
    m_nKind = 1;
    m_nMode = kModeMic;
    m_nNotifyCode = 0x100 + i;
    Bind(&mic->GetEq(), -1);
    Redraw(-1);
}

void CCFStatic::ShowMusicInput(int i)
{
    CInputRecord *in = m_pRoot ? m_pRoot->GetMusicIn(i) : nullptr;
    if (!in)
        return;
    m_pOut = nullptr;
    m_pInput = in;
    m_nKind = 2;
    m_nMode = kModeMusic;
    m_nNotifyCode = i;
    Bind(&in->GetEq(), kMusicScanBands);
    Redraw(-1);
}

void CCFStatic::ShowOutput(int i)
{
    CKTV_OutData *out = m_pRoot ? m_pRoot->GetOut(i) : nullptr;
    if (!out)
        return;
    m_pOut = out;
    m_pInput = nullptr;
    m_nKind = 3;
    m_nMode = kModeOutput;
    m_nNotifyCode = 0x300 + i;
    m_nShownOutput = i;
    Bind(&out->GetEq(), -1);
    Redraw(-1);
}

void CCFStatic::SetMode(int mode)
{
    if (mode < kModeEmpty || mode > kModeOutput)
        return;
    m_nMode = mode;
    m_tracker.SetScanLimit(mode == kModeMusic ? kMusicScanBands : -1);
    Redraw(-1);
}

CKTVEQ *CCFStatic::ShownEq() const
{
    switch (m_nMode) {
    case kModeOutput:
        return m_pOut ? &m_pOut->GetEq() : nullptr;
    case kModeEffect:
    case kModeMic:
    case kModeMusic:
        return m_pInput ? &m_pInput->GetEq() : nullptr;
    default:
        return nullptr;
    }
}

const CurvePointF *CCFStatic::ShownCurve() const
{
    if (m_nMode == kModeOutput)
        return m_pOut ? m_pOut->m_ptCurveF : nullptr;
    if (m_nMode >= kModeEffect && m_nMode <= kModeMusic)
        return m_pInput ? m_pInput->m_ptCurveF : nullptr;
    return nullptr;
}

void CCFStatic::UpdateShownCurve()
{
    if (m_nMode == kModeOutput && m_pOut) {
        m_pOut->UpdateCurve();
    } else if (m_pInput && m_pRoot) {
        // Each input record keeps its own curve update.
        if (m_nMode == kModeEffect)
            m_pRoot->GetEffect().UpdateCurve();
        else if (m_nMode == kModeMic)
            static_cast<CMIC_InData *>(m_pInput)->UpdateCurve();
        else if (m_nMode == kModeMusic)
            static_cast<CMusic_InData *>(m_pInput)->UpdateCurve();
    }
}

// ---- drawing --------------------------------------------------------------------------------------

void CCFStatic::Redraw(int item)
{
    // Effect and microphone views keep their active element; only the area and the label follow
    // the requested one.
    if (item >= 0 && m_nMode != kModeEffect && m_nMode != kModeMic)
        m_tracker.Select(item);
    CKTVEQ *eq = ShownEq();
    m_nRequested = (item >= 0 && eq && item < eq->GetSize()) ? item : -1;
    InvalidatePlot();
}

void CCFStatic::InvalidatePlot()
{
    m_bPlotDirty = true;
    update(ToQ(m_layout.plot));
}

void CCFStatic::EnableGraph(int enable)
{
    // The whole control is drawn again.
    m_painted.valid = false;
    m_bPlotDirty = true;
    update();
    setEnabled(enable != 0);
}

void CCFStatic::ResetSelection(int enable)
{
    m_tracker.ClearActive();
    EnableGraph(enable);
    m_bPlotDirty = true;
    update();
}

void CCFStatic::ClearActiveItem()
{
    m_tracker.ClearActive();
    InvalidatePlot();
}

void CCFStatic::DrawFrame(QPainter &p)
{
    p.fillRect(rect(), kGround);
    p.setFont(LabelFont());
    const int lineH = QFontMetrics(LabelFont()).height();
    // The system's grey for the gain labels reads too faintly on the ground; it is lightened to
    // the least contrast text must keep.
    static const QColor gainText = ReadableOn(kGainLabel, kGround);
    p.setPen(gainText);
    for (const graph::FrameLabel &l : graph::GainLabels(m_layout))
        p.drawText(QRect(l.x, l.y, graph::kPlotLeft - l.x, lineH), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromLatin1(l.text.data(), qsizetype(l.text.size())));
    p.setPen(kFreqLabel);
    for (const graph::FrameLabel &l : graph::FreqLabels(m_layout))
        p.drawText(QRect(l.x, l.y, 40, lineH), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromLatin1(l.text.data(), qsizetype(l.text.size())));
}

void CCFStatic::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    const qreal dpr = devicePixelRatioF();
    const QRect plot = ToQ(m_layout.plot);
    // The frame (ground and axis labels) is cheap to draw and is drawn straight into the window,
    // only where the plot does not cover it.
    if (const QRegion frame = e->region().subtracted(QRegion(plot)); !frame.isEmpty()) {
        p.save();
        p.setClipRegion(frame);
        DrawFrame(p);
        p.restore();
    }
    if (plot.isEmpty() || !e->region().intersects(plot))
        return;
    if (!m_bEverPainted) {
        // The first paint draws the plot straight into the window: the buffer, which only pays
        // for itself when later paints redraw a part of the plot, is made by the next paint.
        m_bEverPainted = true;
        const QRegion dirty = e->region() & QRegion(plot);
        p.save();
        p.setClipRegion(dirty);
        DrawPlot(p, plot, dirty);
        p.restore();
        m_lastDrawn = dirty;
        m_painted.valid = false;
        m_bPlotDirty = true;
        return;
    }
    if (m_plot.deviceIndependentSize() != QSizeF(plot.size()) || m_plot.devicePixelRatio() != dpr) {
        m_plot = QImage(plot.size() * dpr, QImage::Format_ARGB32_Premultiplied);
        m_plot.setDevicePixelRatio(dpr);
        m_painted.valid = false;
        m_bPlotDirty = true;
    }
    m_lastDrawn = QRegion();
    if (m_bPlotDirty && !m_plot.isNull()) {
        SceneState now;
        CaptureScene(now);
        const QRegion dirty = SceneChanges(now);
        m_lastDrawn = dirty;
        if (!dirty.isEmpty()) {
            QPainter bp(&m_plot);
            bp.translate(-plot.topLeft());
            bp.setClipRegion(dirty);
            DrawPlot(bp, plot, dirty);
        }
        m_painted = std::move(now);
        m_bPlotDirty = false;
    }
    p.drawImage(plot.topLeft(), m_plot);
}

int CCFStatic::SelectedIndex() const
{
    // Effect and microphone views fill and label the requested element, the others the active one.
    if ((m_nMode == kModeEffect || m_nMode == kModeMic) && m_nRequested >= 0)
        return m_nRequested;
    return m_tracker.ActiveIndex();
}

CFilter *CCFStatic::SelectedItem() const
{
    CKTVEQ *eq = ShownEq();
    const int i = SelectedIndex();
    return (eq && i >= 0) ? eq->GetAt(i) : nullptr;
}

QRect CCFStatic::LabelPlate(const QString &text, const CRect &box) const
{
    const QFontMetrics fm(MarkerFont());
    QRect plate(0, 0, fm.horizontalAdvance(text) + 8, fm.height() + 2);
    plate.moveCenter(ToQ(box).center());
    return plate;
}

QRect CCFStatic::SelectedLabelPlate(const QString &text, const CFilter &selected) const
{
    const QRect usual = LabelPlate(text, selected.GetGeometry().label);
    std::vector<CRect> markers;
    if (const CKTVEQ *eq = ShownEq()) {
        markers.reserve(std::size_t(eq->GetSize()));
        for (int i = 0; i < eq->GetSize(); ++i)
            if (const CFilter *f = eq->GetAt(i); f && f != &selected)
                markers.push_back(f->GetMarkerRect());
    }
    const CRect plate{usual.left(), usual.top(), usual.right() + 1, usual.bottom() + 1};
    const CRect placed = graph::PlaceLabelClearOfMarkers(plate, selected.GetMarkerRect(), markers, m_layout.plot);
    return QRect(QPoint(placed.left, placed.top), QPoint(placed.right - 1, placed.bottom - 1));
}

void CCFStatic::CaptureScene(SceneState &now)
{
    now.valid = true;
    now.mode = m_nMode;
    now.active = m_tracker.ActiveIndex();
    now.selected = SelectedIndex();
    now.shown = m_nShownOutput;
    now.enabled = isEnabled();
    now.chinese = g_bChinese != 0;
    now.plot = ToQ(m_layout.plot);
    CKTVEQ *eq = ShownEq();
    if (m_nMode == kModeEmpty || !eq)
        return;
    UpdateShownCurve();
    if (const CurvePointF *c = ShownCurve())
        for (int i = 0; i < kFreqPoints; ++i)
            now.curve[std::size_t(i)] = c[i].y;
    if (m_nMode == kModeOutput && m_pRoot) {
        for (int o = 0; o < CKTV_Data::kOutputs; ++o) {
            if (o == m_nShownOutput || !g_CurveOverlayFlags[std::size_t(o)].load(std::memory_order_relaxed))
                continue;
            CKTV_OutData *out = m_pRoot->GetOut(o);
            if (!out)
                continue;
            now.overlayMask |= 1 << o;
            out->UpdateCurve();
            for (int i = 0; i < kFreqPoints; ++i)
                now.overlay[std::size_t(o)][std::size_t(i)] = out->m_ptCurveF[i].y;
        }
    }
    const int n = eq->GetSize();
    now.markers.resize(std::size_t(n));
    for (int i = 0; i < n; ++i)
        if (const CFilter *f = eq->GetAt(i))
            now.markers[std::size_t(i)] = f->GetMarkerRect();
    if (CFilter *sel = SelectedItem()) {
        const CPoint *poly = sel->GetPolygon();
        now.polygon.assign(poly, poly + CFilter::kPolyPoints);
        // The visible part of the area: where it leaves its closing line.
        const int base = poly[0].y;
        int x0 = INT_MAX, x1 = INT_MIN, y0 = base, y1 = base;
        for (int i = 1; i + 1 < CFilter::kPolyPoints; ++i) {
            if (poly[i].y == base)
                continue;
            x0 = std::min(x0, poly[i - 1].x);
            x1 = std::max(x1, poly[i + 1].x);
            y0 = std::min(y0, poly[i].y);
            y1 = std::max(y1, poly[i].y);
        }
        if (x0 <= x1)
            now.fill = QRect(QPoint(x0, y0), QPoint(x1, y1)).adjusted(-1, -1, 1, 1);
        const graph::ElementGeometry g = sel->GetGeometry();
        now.handles[0] = g.leftHandle;
        now.handles[1] = g.rightHandle;
        const std::string label = sel->GetCurveLabel();
        now.label = QString::fromUtf8(label.data(), qsizetype(label.size()));
        now.labelPlate = now.label.isEmpty() ? QRect() : SelectedLabelPlate(now.label, *sel).adjusted(-2, -2, 2, 2);
    }
}

namespace {

// Strips of the plot where a curve moved by more than a fraction of a pixel between two
// drawings, one rectangle per run of moved segments. Points that moved less keep their painted
// value in `now`, so the difference never builds up unseen.
void CurveChanges(const std::array<float, kFreqPoints> &was, std::array<float, kFreqPoints> &now,
                  const CurvePointF *xs, int margin, QRegion &dirty)
{
    constexpr float kEps = 0.02f;
    bool moved[kFreqPoints];
    for (int i = 0; i < kFreqPoints; ++i) {
        moved[i] = std::fabs(now[std::size_t(i)] - was[std::size_t(i)]) > kEps;
        if (!moved[i])
            now[std::size_t(i)] = was[std::size_t(i)];
    }
    int i = 0;
    while (i < kFreqPoints) {
        if (!moved[i]) {
            ++i;
            continue;
        }
        // The run of points that moved, with the segments on both sides of each.
        const int first = std::max(i - 1, 0);
        int last = i;
        while (last + 1 < kFreqPoints && moved[last + 1])
            ++last;
        const int end = std::min(last + 1, kFreqPoints - 1);
        float lo = std::numeric_limits<float>::max(), hi = std::numeric_limits<float>::lowest();
        for (int k = first; k <= end; ++k) {
            lo = std::min({lo, was[std::size_t(k)], now[std::size_t(k)]});
            hi = std::max({hi, was[std::size_t(k)], now[std::size_t(k)]});
        }
        dirty += QRect(QPoint(int(std::floor(xs[first].x)) - margin, int(std::floor(lo)) - margin),
                       QPoint(int(std::ceil(xs[end].x)) + margin, int(std::ceil(hi)) + margin));
        i = last + 1;
    }
}

} // namespace

QRegion CCFStatic::SceneChanges(SceneState &now) const
{
    const SceneState &was = m_painted;
    const QRect plot = now.plot;
    if (!was.valid || now.mode != was.mode || now.active != was.active || now.selected != was.selected ||
        now.shown != was.shown || now.overlayMask != was.overlayMask || now.enabled != was.enabled ||
        now.chinese != was.chinese || now.plot != was.plot || now.markers.size() != was.markers.size())
        return plot;
    QRegion dirty;
    if (const CurvePointF *c = ShownCurve())
        CurveChanges(was.curve, now.curve, c, 3, dirty);
    if (m_pRoot)
        for (int o = 0; o < CKTV_Data::kOutputs; ++o)
            if (now.overlayMask & (1 << o))
                CurveChanges(was.overlay[std::size_t(o)], now.overlay[std::size_t(o)], m_pRoot->GetOut(o)->m_ptCurveF,
                             3, dirty);
    for (std::size_t i = 0; i < now.markers.size(); ++i)
        if (now.markers[i] != was.markers[i]) {
            dirty += ToQ(was.markers[i]);
            dirty += ToQ(now.markers[i]);
        }
    if (now.polygon != was.polygon) {
        dirty += was.fill;
        dirty += now.fill;
    }
    for (int h = 0; h < 2; ++h)
        if (now.handles[h] != was.handles[h]) {
            dirty += ToQ(was.handles[h]);
            dirty += ToQ(now.handles[h]);
        }
    if (now.label != was.label || now.labelPlate != was.labelPlate) {
        dirty += was.labelPlate;
        dirty += now.labelPlate;
    }
    return dirty & plot;
}

void CCFStatic::DrawPlot(QPainter &p, const QRect &plot, const QRegion &dirty)
{
    const ModeStyle st = StyleOf(m_nMode);
    const QRect bounds = dirty.boundingRect();
    p.fillRect(bounds, st.fill);
    p.setPen(QPen(st.frame, 1));
    p.drawRect(plot.adjusted(0, 0, -1, -1));

    CKTVEQ *eq = ShownEq();
    if (m_nMode == kModeOutput && !(g_nViewMode == 1 || g_nViewMode == 2))
        return;
    if (st.logo)
        DrawWatermark(p);
    CFilter *selected = SelectedItem();
    if (selected && m_nMode != kModeEmpty) {
        const CPoint *poly = selected->GetPolygon();
        QPoint pts[CFilter::kPolyPoints];
        for (int i = 0; i < CFilter::kPolyPoints; ++i)
            pts[i] = QPoint(poly[i].x, poly[i].y);
        p.setPen(QPen(st.selectedFill, 1));
        p.setBrush(st.selectedFill);
        p.drawPolygon(pts, CFilter::kPolyPoints);
        p.setBrush(Qt::NoBrush);
    }

    // Grid: the 26 lines from 30 Hz to 10 kHz and eight gain lines.
    p.setPen(QPen(kGridLine, 1));
    QLine lines[graph::kGridLines - 1 + 8];
    int n = 0;
    for (int k = 1; k < graph::kGridLines; ++k) {
        const int x = m_layout.gridX[std::size_t(k)];
        lines[n++] = QLine(x, plot.top(), x, plot.top() + plot.height() - 1);
    }
    for (int k = 1; k <= 8; ++k) {
        const int y = std::min(graph::PlotLineY(m_layout, k, st.lineDivisions), plot.top() + plot.height() - 1);
        lines[n++] = QLine(plot.left(), y, plot.left() + plot.width() - 1, y);
    }
    p.drawLines(lines, n);

    if (m_nMode == kModeEmpty || !eq)
        return;
    DrawCurves(p, bounds);
    DrawMarkers(p, dirty);
    DrawSelection(p);
}

namespace {

// A polyline of width w as the outline of its stroke: each point pushed out to both sides along
// the mean normal of its two segments (limited where the curve turns sharply). Filled with the
// non-zero rule and anti-aliased, it draws the same line as a pen of that width, for half the
// cost of Qt's stroker.
int StrokeOutline(const QPointF *p, int n, qreal w, QPointF *out)
{
    const qreal half = w / 2;
    for (int i = 0; i < n; ++i) {
        QPointF a = i > 0 ? p[i] - p[i - 1] : p[i + 1] - p[i];
        QPointF b = i + 1 < n ? p[i + 1] - p[i] : p[i] - p[i - 1];
        const qreal la = std::hypot(a.x(), a.y());
        const qreal lb = std::hypot(b.x(), b.y());
        if (la > 0)
            a /= la;
        if (lb > 0)
            b /= lb;
        QPointF t = a + b;
        const qreal lt = std::hypot(t.x(), t.y());
        t = lt > 1e-9 ? t / lt : b;
        const QPointF normal(-t.y(), t.x());
        // The miter length over the segment's own normal, kept within twice the half width.
        const qreal cosine = normal.x() * -b.y() + normal.y() * b.x();
        const qreal reach = half / std::max(cosine, qreal(0.5));
        out[i] = p[i] + normal * reach;
        out[2 * n - 1 - i] = p[i] - normal * reach;
    }
    return 2 * n;
}

} // namespace

void CCFStatic::DrawCurves(QPainter &p, const QRect &bounds)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setClipRect(ToQ(m_layout.plot), Qt::IntersectClip);
    QPointF pts[kFreqPoints];
    QPointF outline[2 * kFreqPoints];
    auto polyline = [&](const CurvePointF *c, const QColor &colour, qreal width, bool bezier) {
        if (bezier) {
            for (int i = 0; i < kFreqPoints; ++i)
                pts[i] = QPointF(c[i].x, c[i].y);
            // 241 points as 80 cubic segments.
            QPainterPath path(pts[0]);
            for (int i = 1; i + 2 < kFreqPoints; i += 3)
                path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
            QPen pen(colour, width);
            pen.setJoinStyle(Qt::RoundJoin);
            p.setPen(pen);
            p.drawPath(path);
            return;
        }
        // Only the segments that reach into what is drawn again.
        int first = 0;
        while (first + 1 < kFreqPoints && c[first + 1].x < bounds.left() - width)
            ++first;
        int last = kFreqPoints - 1;
        while (last > first + 1 && c[last - 1].x > bounds.right() + width)
            --last;
        const int n = last - first + 1;
        if (n < 2)
            return;
        for (int i = 0; i < n; ++i)
            pts[i] = QPointF(c[first + i].x, c[first + i].y);
        const int m = StrokeOutline(pts, n, width, outline);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPolygon(outline, m, Qt::WindingFill);
        p.setBrush(Qt::NoBrush);
    };
    if (m_nMode == kModeOutput && m_pRoot) {
        for (int i = 0; i < CKTV_Data::kOutputs; ++i) {
            if (i == m_nShownOutput || !g_CurveOverlayFlags[std::size_t(i)].load(std::memory_order_relaxed))
                continue;
            if (CKTV_OutData *o = m_pRoot->GetOut(i)) {
                o->UpdateCurve();
                polyline(o->m_ptCurveF, kOverlayCurve, 3, false);
            }
        }
    }
    UpdateShownCurve();
    if (const CurvePointF *c = ShownCurve()) {
        QColor colour = kShownCurve;
        if (m_nMode == kModeEffect || m_nMode == kModeMic)
            colour = QColor::fromRgba(m_pInput->GetCurveArgb());
        polyline(c, colour, 2, m_nMode != kModeOutput);
    }
    // The flat caption's text is empty in both languages: nothing is drawn for it.
    p.restore();
}

void CCFStatic::DrawMarkers(QPainter &p, const QRegion &dirty)
{
    CKTVEQ *eq = ShownEq();
    if (!eq)
        return;
    const CFilter *active = m_tracker.Active();
    const bool inputView = m_nMode == kModeEffect || m_nMode == kModeMic;
    int count = eq->GetSize();
    if (m_nMode == kModeMusic && g_nViewMode == 1)
        count = std::min(count, kMusicScanBands);
    p.setFont(MarkerFont());
    const QColor ground = StyleOf(m_nMode).fill;
    static const QColor activePlate = Skins::ReadableBackdrop(kActive);
    const bool plateActive = Skins::Contrast(kActive, ground) < Skins::MinTextContrast;
    // Marker texts, each laid out once when first drawn: "1".."99", "H", "L".
    static std::vector<QStaticText> numbers(99);
    static QStaticText high, low;
    // The text is made only the first time: a drag draws the markers at every step.
    const auto prepared = [](QStaticText &t, const auto &makeText) -> const QStaticText & {
        if (t.text().isEmpty()) {
            t.setText(makeText());
            t.setTextFormat(Qt::PlainText);
            t.prepare(QTransform(), MarkerFont());
        }
        return t;
    };
    // From the last to the first, so that lower numbers end up on top.
    for (int i = count - 1; i >= 0; --i) {
        const CFilter *f = eq->GetAt(i);
        if (!f)
            continue;
        const CRect mr = f->GetMarkerRect();
        const QRect r = ToQ(mr);
        if (!dirty.intersects(r))
            continue;
        const bool isActive = f == active && !inputView;
        const int type = f->GetType();
        const int n = std::clamp(i, 0, 98);
        const QStaticText &text =
            type == CFilter::kTypeHighPass  ? prepared(high, [] { return QStringLiteral("H"); })
            : type == CFilter::kTypeLowPass ? prepared(low, [] { return QStringLiteral("L"); })
                                            : prepared(numbers[std::size_t(n)], [n] { return QString::number(n + 1); });
        const QSizeF size = text.size();
        qreal x = r.left() + (r.width() - size.width()) / 2;
        switch (graph::MarkerTextAlign(mr, m_layout.plot, f->GetFreq())) {
        case graph::MarkerAlign::Left: x = r.left(); break;
        case graph::MarkerAlign::Right: x = r.right() + 1 - size.width(); break;
        case graph::MarkerAlign::Center: break;
        }
        if (isActive && plateActive)
            p.fillRect(r, activePlate);
        p.setPen(isActive ? kActive : QColor(Qt::white));
        p.drawStaticText(QPointF(x, r.top() + (r.height() - size.height()) / 2), text);
    }
}

void CCFStatic::DrawSelection(QPainter &p)
{
    CFilter *selected = SelectedItem();
    if (!selected)
        return;
    const bool inputView = m_nMode == kModeEffect || m_nMode == kModeMic;
    const graph::ElementGeometry g = selected->GetGeometry();
    const bool handles = selected->GetType() == CFilter::kTypePeq && (inputView || !selected->GetShortLabel());
    if (handles) {
        QColor pen = kActive;
        if (inputView && m_pInput) {
            const COLORREF c = m_pInput->GetCurveColor();
            pen = QColor(int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c)));
        }
        p.setPen(QPen(pen, 1));
        p.setBrush(kSelectedFill);
        p.drawRect(ToQ(g.leftHandle).adjusted(0, 0, -1, -1));
        p.drawRect(ToQ(g.rightHandle).adjusted(0, 0, -1, -1));
        p.setBrush(Qt::NoBrush);
    }
    const std::string label = selected->GetCurveLabel();
    if (label.empty())
        return;
    const QString text = QString::fromUtf8(label.data(), qsizetype(label.size()));
    const QColor colour = inputView ? QColor(Qt::white) : kActive;
    const QColor ground = StyleOf(m_nMode).fill;
    p.setFont(MarkerFont());
    // Below the marker as a rule, elsewhere where that would cover another marker.
    const QRect plate = SelectedLabelPlate(text, *selected);
    if (Skins::Contrast(colour, ground) < Skins::MinTextContrast) {
        // The label's fixed red reads on a dark plate fitted to the text.
        p.setPen(Qt::NoPen);
        p.setBrush(Skins::ReadableBackdrop(colour));
        p.drawRect(plate);
        p.setBrush(Qt::NoBrush);
    }
    p.setPen(colour);
    p.drawText(plate, Qt::AlignCenter | Qt::TextDontClip, text);
}

// ---- interaction ----------------------------------------------------------------------------------

QCursor CCFStatic::CursorFor(CGraphTracker::Cursor c)
{
    switch (c) {
    case CGraphTracker::Cursor::SizeAll: return QCursor(Qt::SizeAllCursor);
    case CGraphTracker::Cursor::SizeWE: return QCursor(Qt::SizeHorCursor);
    case CGraphTracker::Cursor::SizeNS: return QCursor(Qt::SizeVerCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

void CCFStatic::UpdateCursorShape()
{
    const Qt::CursorShape shape = CursorFor(m_tracker.CursorShape()).shape();
    if (cursor().shape() != shape)
        setCursor(shape);
}

namespace {
bool Tracks(int mode) { return mode >= CCFStatic::kModeEffect && mode <= CCFStatic::kModeOutput; }
bool ViewModeTracks() { return g_nViewMode == 1 || g_nViewMode == 2; }
} // namespace

void CCFStatic::mouseMoveEvent(QMouseEvent *e)
{
    // A release the graph never saw (the grab went to a popup or another window) ends the drag
    // as a release would: a band never follows a pointer whose button is up.
    if (m_tracker.Dragging() && !(e->buttons() & Qt::LeftButton))
        m_tracker.EndDrag();
    if (Tracks(m_nMode) && ViewModeTracks()) {
        if (m_tracker.TrackMouse(CPoint{ToPoint(e->position()).x(), ToPoint(e->position()).y()}))
            InvalidatePlot();
        UpdateCursorShape();
    }
    e->accept();
}

void CCFStatic::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint q = ToPoint(e->position());
    const CPoint pt{q.x(), q.y()};
    if (Tracks(m_nMode)) {
        // A touch or pen press arrives without a move before it: the hover is found at the press.
        if (ViewModeTracks() && m_tracker.TrackMouse(pt))
            InvalidatePlot();
        m_tracker.BeginDrag(pt);
    } else {
        m_tracker.SetReleased(false);
    }
    UpdateCursorShape();
    e->accept();
}

void CCFStatic::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    m_tracker.SetReleased(true);
    if (Tracks(m_nMode))
        m_tracker.EndDrag();
    UpdateCursorShape();
    e->accept();
}

void CCFStatic::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    if (m_pOwner)
        PostMessageTo(m_pOwner, WM_CURVE_KILLFOCUS, 0, 0);
}

void CCFStatic::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    // The crossover label "Off" follows the language; a disabled graph draws as it is.
    if (e->type() == QEvent::LanguageChange || e->type() == QEvent::EnabledChange)
        InvalidatePlot();
}

void CCFStatic::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    CalcLayout();
}

void CCFStatic::OnTimer(int id)
{
    if (id != kNotifyTimer || !m_pOwner)
        return;
    for (int item : m_tracker.Tick())
        PostMessageTo(m_pOwner, WM_CURVE_BAND_CHANGED, WPARAM(item), LPARAM(m_nNotifyCode));
}

void CCFStatic::KillGraphTimer() { m_pTimers->KillTimer(kNotifyTimer); }

int CCFStatic::IsOutputLinked() const
{
    if (!g_bAnyLink)
        return 0;
    const int shown = std::clamp(m_nShownOutput, 0, int(g_LinkGroups.size()) - 1);
    const int group = g_LinkGroups[std::size_t(shown)];
    if (group == 0)
        return 0;
    for (int j = 0; j < int(g_LinkGroups.size()); ++j)
        if (j != shown && g_LinkGroups[std::size_t(j)] == group)
            return 1;
    return 0;
}

bool CCFStatic::MovePointerOutside()
{
    const QRect global(mapToGlobal(QPoint(0, 0)), size());
    if (!global.contains(QCursor::pos()))
        return false;
    // Just left of the graph, level with its bottom.
    const QPoint target(global.left() - 1, global.bottom());
    QCursor::setPos(target);
    if (!global.contains(QCursor::pos()))
        return true;
    // The windowing system keeps the pointer where it is (Wayland): forget the hover instead.
    m_tracker.ClearHover();
    UpdateCursorShape();
    return false;
}
