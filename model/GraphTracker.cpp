#include "model/GraphTracker.h"

#include <algorithm>

#include "model/Filter.h"
#include "model/KTVEQ.h"

namespace {
bool IsCrossover(const CFilter &f)
{
    const int t = f.GetType();
    return t == CFilter::kTypeHighPass || t == CFilter::kTypeLowPass;
}
} // namespace

void CGraphTracker::Bind(CKTVEQ *set, int scanLimit)
{
    m_pSet = set;
    m_nScanLimit = scanLimit;
    m_nActive = -1;
    m_nItem = 0;
    m_bHover = false;
    m_bChanged = false;
    m_nDragResult = 0;
    m_PendingNotices = 0;
    const std::size_t n = set ? static_cast<std::size_t>(std::max(set->GetSize(), 0)) : 0;
    m_Flags.assign(n, ItemFlags{});
}

CFilter *CGraphTracker::Active() const
{
    return (m_pSet && Valid(m_nActive)) ? m_pSet->GetAt(m_nActive) : nullptr;
}

bool CGraphTracker::Dragging() const
{
    if (!Valid(m_nActive))
        return false;
    const ItemFlags &f = m_Flags[static_cast<std::size_t>(m_nActive)];
    return f.markerDrag || f.leftDrag || f.rightDrag;
}

CGraphTracker::ItemFlags CGraphTracker::Flags(int i) const
{
    return Valid(i) ? m_Flags[static_cast<std::size_t>(i)] : ItemFlags{};
}

int CGraphTracker::ScanCount() const
{
    const int n = static_cast<int>(m_Flags.size());
    return m_nScanLimit < 0 ? n : std::min(n, m_nScanLimit);
}

bool CGraphTracker::Select(int item)
{
    if (!Valid(item))
        return false;
    m_nActive = item;
    m_nItem = item;
    return true;
}

void CGraphTracker::ClearHover()
{
    if (Valid(m_nActive))
        m_Flags[static_cast<std::size_t>(m_nActive)] = ItemFlags{};
    m_bHover = false;
}

bool CGraphTracker::Record(int result)
{
    m_nDragResult = result;
    if (result == 0)
        return false;
    m_bChanged = true;
    if (m_nActive < 64)
        m_PendingNotices |= std::uint64_t{1} << m_nActive;
    return true;
}

bool CGraphTracker::DragMarker(CFilter &active, CPoint p)
{
    return Record(active.DragPoint(p));
}

bool CGraphTracker::DragHandle(CFilter &active, graph::BandHandle side, CPoint p)
{
    return Record(active.DragBandwidthHandle(side, p.x));
}

bool CGraphTracker::TrackCrossover(CFilter &active, CPoint p)
{
    ItemFlags &fl = m_Flags[static_cast<std::size_t>(m_nActive)];
    const CFilter *other =
        active.GetType() == CFilter::kTypeHighPass ? m_pSet->GetLowPass() : m_pSet->GetHighPass();
    const int otherFreq = other ? other->GetFreq() : active.GetFreq();
    const bool inside = active.GetMarkerRect().PtInRect(p);
    if (!inside && !fl.markerDrag) {
        // Leaving a crossover's marker without dragging deselects it.
        m_nActive = -1;
        m_bHover = false;
        return true;
    }
    bool changed = false;
    if (fl.markerDrag)
        changed = Record(active.DragCrossover(p, otherFreq));
    // The marker's hover is set only by the scan that picks the crossover: after a release the
    // pointer has to leave the marker and come back before a press drags it again.
    m_bHover = true;
    return changed;
}

bool CGraphTracker::TrackMouse(CPoint p)
{
    if (!m_pSet)
        return false;
    if (CFilter *a = Active()) {
        if (IsCrossover(*a))
            return TrackCrossover(*a, p);
        ItemFlags &fl = m_Flags[static_cast<std::size_t>(m_nActive)];
        const graph::ElementGeometry g = a->GetGeometry();
        const bool inMarker = g.marker.PtInRect(p);
        if (!inMarker && fl.markerDrag) {
            // The drag goes on when the pointer outruns the marker.
            const bool changed = DragMarker(*a, p);
            m_bHover = false;
            return changed;
        }
        if (inMarker) {
            fl.markerHover = true;
            fl.leftHover = fl.rightHover = false;
            const bool changed = fl.markerDrag && DragMarker(*a, p);
            m_bHover = true;
            return changed;
        }
        if (!a->GetShortLabel()) {
            const bool inLeft = g.leftHandle.PtInRect(p);
            const bool inRight = g.rightHandle.PtInRect(p);
            if (!inLeft && fl.leftDrag) {
                const bool changed = DragHandle(*a, graph::BandHandle::Left, p);
                m_bHover = false;
                return changed;
            }
            if (inLeft) {
                fl.markerHover = false;
                fl.leftHover = true;
                fl.rightHover = false;
                fl.rightDrag = false;
                const bool changed = fl.leftDrag && DragHandle(*a, graph::BandHandle::Left, p);
                m_bHover = true;
                return changed;
            }
            if (!inRight && fl.rightDrag) {
                const bool changed = DragHandle(*a, graph::BandHandle::Right, p);
                m_bHover = false;
                return changed;
            }
            if (inRight) {
                fl.markerHover = false;
                fl.rightHover = true;
                fl.leftHover = false;
                fl.leftDrag = false;
                const bool changed = fl.rightDrag && DragHandle(*a, graph::BandHandle::Right, p);
                m_bHover = true;
                return changed;
            }
        }
    }
    // The first marker under the pointer, in index order, becomes the active element.
    const int n = ScanCount();
    for (int i = 0; i < n; ++i) {
        const CFilter *f = m_pSet->GetAt(i);
        if (f && f->GetMarkerRect().PtInRect(p)) {
            const bool changed = m_nActive != i;
            m_nActive = i;
            m_Flags[static_cast<std::size_t>(i)].markerHover = true;
            m_nItem = i;
            m_bHover = true;
            return changed;
        }
    }
    m_bHover = false;
    return false;
}

void CGraphTracker::BeginDrag(CPoint p)
{
    m_bReleased = false;
    CFilter *a = Active();
    if (!m_bHover || !a)
        return;
    ItemFlags &fl = m_Flags[static_cast<std::size_t>(m_nActive)];
    if (fl.markerHover) {
        fl.markerDrag = true;
        a->BeginDrag(p);
    } else if (a->GetType() == CFilter::kTypePeq) {
        if (fl.leftHover) {
            fl.leftDrag = true;
            a->BeginHandleDrag(graph::BandHandle::Left, p.x);
        } else if (fl.rightHover) {
            fl.rightDrag = true;
            a->BeginHandleDrag(graph::BandHandle::Right, p.x);
        }
    }
}

void CGraphTracker::EndDrag()
{
    m_bReleased = true;
    if (!Valid(m_nActive) || !Active())
        return;
    ItemFlags &fl = m_Flags[static_cast<std::size_t>(m_nActive)];
    if (fl.markerHover) {
        fl = ItemFlags{};
        m_bHover = false;
        return;
    }
    if (fl.leftHover) {
        fl.leftDrag = false;
        fl.leftHover = false;
        m_bHover = false;
    }
    if (fl.rightHover) {
        fl.rightHover = false;
        fl.rightDrag = false;
        m_bHover = false;
    }
}

CGraphTracker::Cursor CGraphTracker::CursorShape() const
{
    const CFilter *a = Active();
    if (a && m_bHover) {
        const ItemFlags fl = Flags(m_nActive);
        if (fl.leftHover || fl.rightHover || IsCrossover(*a))
            return Cursor::SizeWE;
        if (a->GetShortLabel())
            return Cursor::SizeNS;
    }
    return m_bHover ? Cursor::SizeAll : Cursor::Arrow;
}

std::vector<int> CGraphTracker::Tick()
{
    std::vector<int> items;
    if (m_bChanged) {
        m_bChanged = false;
        for (int i = 0; i < 64 && m_PendingNotices; ++i) {
            if (m_PendingNotices & (std::uint64_t{1} << i)) {
                items.push_back(i);
                m_PendingNotices &= ~(std::uint64_t{1} << i);
            }
        }
        if (items.empty())
            items.push_back(m_nItem);
    } else if (m_bReleased) {
        items.push_back(m_nItem);
    }
    return items;
}
