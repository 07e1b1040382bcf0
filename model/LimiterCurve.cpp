#include "model/LimiterCurve.h"

#include <algorithm>
#include <cmath>

namespace limcurve {

namespace {
int Trunc(double v) { return static_cast<int>(std::trunc(v)); }
int Limit(int t) { return std::clamp(t, 0, kThresholdMax); }
}  // namespace

Layout ComputeLayout(const CRect &client)
{
    Layout l;
    l.client = client;
    const int left = client.left + kInsetLeft;
    const int top = client.top + kInsetTop;
    l.plot = CRect{left, top, std::max(left, client.right - kInsetRight), std::max(top, client.bottom - kInsetBottom)};
    l.vs = static_cast<double>(l.plot.Height()) / kThresholdMax;
    l.hs = static_cast<double>(l.plot.Width()) / kThresholdMax;
    l.start = PointF{double(l.plot.left), double(l.plot.bottom - 2)};
    l.refEnd = PointF{double(l.plot.right), double(l.plot.top)};
    return l;
}

PointF Knee(const Layout &l, int threshold)
{
    const int t = Limit(threshold);
    return PointF{l.plot.left + t * l.hs, l.plot.bottom - t * l.vs};
}

PointF CurveEnd(const Layout &l, int threshold) { return PointF{double(l.plot.right), Knee(l, threshold).y}; }

CRect KneeRect(const Layout &l, int threshold)
{
    const PointF k = Knee(l, threshold);
    const int x = Trunc(k.x - kKneeSize / 2.0);
    const int y = Trunc(k.y - kKneeSize / 2.0);
    return CRect{x, y, x + kKneeSize, y + kKneeSize};
}

bool InKnee(const CRect &knee, CPoint p)
{
    return p.x >= knee.left && p.x < knee.right && p.y >= knee.top && p.y < knee.bottom;
}

std::optional<int> ThresholdAtY(const Layout &l, int y)
{
    if (!(l.vs > 0.0))
        return std::nullopt;
    const double t = (l.plot.bottom - y) / l.vs;
    // Far outside the window a pointer would overflow an int: it is at an end of the range.
    if (t >= kThresholdMax)
        return kThresholdMax;
    if (t <= 0.0)
        return 0;
    return Limit(Trunc(t));
}

std::array<int, 3> GridLinesY(const Layout &l)
{
    return {l.plot.top + Trunc(l.vs * 120), l.plot.top + Trunc(l.vs * 220), l.plot.top + Trunc(l.vs * 320)};
}

std::array<int, 3> GridLinesX(const Layout &l)
{
    return {l.plot.left + Trunc(l.hs * 100), l.plot.left + Trunc(l.hs * 200), l.plot.left + Trunc(l.hs * 300)};
}

std::array<Label, 9> Labels(const Layout &l)
{
    const int top = l.plot.top;
    const int left = l.plot.left;
    const int under = top + Trunc(l.vs * 420);
    return {{
        {" 12", 2, top - 5},
        {"  0", 2, top + Trunc(l.vs * 120 - 7)},
        {"-10", 2, top + Trunc(l.vs * 220 - 7)},
        {"-20", 2, top + Trunc(l.vs * 320 - 7)},
        {"-30", 2, top + Trunc(l.vs * 420 - 7)},
        {"-20", left + Trunc(l.hs * 100) - 8, under},
        {"-10", left + Trunc(l.hs * 200) - 8, under},
        {"0", left + Trunc(l.hs * 300) - 3, under},
        {"12", left + Trunc(l.hs * 420) - 7, under},
    }};
}

CRect LabelBox(const Label &label, int width, int height)
{
    return CRect{label.x, label.y, label.x + std::max(width, 0), label.y + std::max(height, 0)};
}

namespace detail {

std::vector<Label> KeepApart(const std::array<Label, 9> &all, const std::array<CRect, 9> &boxes)
{
    // Output 0 dB, input 0 dB, the top and bottom edges, the right edge, then the rest.
    constexpr std::array<std::size_t, 9> kImportance{1, 7, 0, 4, 8, 3, 5, 2, 6};
    const auto apart = [](const CRect &a, const CRect &b) {
        return a.right + kLabelGap <= b.left || b.right + kLabelGap <= a.left ||
               a.bottom + kLabelGap <= b.top || b.bottom + kLabelGap <= a.top;
    };
    std::array<bool, 9> kept{};
    for (std::size_t i : kImportance) {
        bool fits = true;
        for (std::size_t k = 0; k < kept.size() && fits; ++k)
            fits = !kept[k] || apart(boxes[i], boxes[k]);
        kept[i] = fits;
    }
    std::vector<Label> out;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (kept[i])
            out.push_back(all[i]);
    return out;
}

}  // namespace detail

std::optional<int> CKneeTracker::Move(const Layout &l, const CRect &knee, CPoint p, int threshold)
{
    if (!m_bDrag) {
        m_bHover = InKnee(knee, p);
        return std::nullopt;
    }
    const std::optional<int> t = ThresholdAtY(l, p.y);
    if (!t || *t == threshold)
        return std::nullopt;
    return t;
}

bool CKneeTracker::Press()
{
    if (m_bHover)
        m_bDrag = true;
    return m_bDrag;
}

void CKneeTracker::Release()
{
    if (m_bHover)
        m_bDrag = false;
}

void CKneeTracker::Reset()
{
    m_bHover = false;
    m_bDrag = false;
}

}  // namespace limcurve
