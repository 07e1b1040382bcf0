#pragma once
// The pointer state of the response graph: which element is active (selected and marked), what
// the pointer hovers (an element's marker or one of its bandwidth handles), which drag is under
// way, and which elements a drag changed since the graph last told its owner. It turns pointer moves,
// presses and releases into the elements' drag rules and says when the graph must be drawn again,
// which cursor to show and which elements to report on the next tick of the notify timer.
//
// Without a widget: the graph widget feeds it window points and draws; tests drive it directly.
// UI thread only, like the elements' geometry it reads.

#include <cstdint>
#include <vector>

#include "model/GraphGeometry.h"
#include "platform/WinCompat.h"

class CFilter;
class CKTVEQ;

class CGraphTracker {
public:
    enum class Cursor { Arrow, SizeAll, SizeWE, SizeNS };

    // The interaction flags the graph keeps for each element of the bound set.
    struct ItemFlags {
        bool markerHover = false;
        bool leftHover = false;
        bool rightHover = false;
        bool markerDrag = false;
        bool leftDrag = false;
        bool rightDrag = false;
        bool operator==(const ItemFlags &) const = default;
    };

    // Binds an element set (null: none) and how many of its elements the pointer scan reaches
    // (a negative limit: all). Clears the selection, every flag and every pending change.
    void Bind(CKTVEQ *set, int scanLimit = -1);
    void SetScanLimit(int scanLimit) { m_nScanLimit = scanLimit; }
    CKTVEQ *BandSet() const { return m_pSet; }

    // The pointer moved to p (window pixels). True when what the graph shows changed: another
    // element became active or was deselected, or a drag changed a value.
    bool TrackMouse(CPoint p);
    // Left button down at p: starts the drag of what is hovered; clears the released flag.
    void BeginDrag(CPoint p);
    // Left button up: ends the drag and sets the released flag.
    void EndDrag();
    // The cursor for the current state.
    Cursor CursorShape() const;

    // One tick of the notify timer: the element indexes to report to the owner, in order. Every
    // element a drag changed since the last tick (the changed flag is cleared); without a change,
    // the item index while the released flag is set (the flag stays until the owner clears it).
    std::vector<int> Tick();

    // Makes element `item` the active one and the reported item (the owner's redraw of an item).
    // An index outside the set is ignored. Returns false then.
    bool Select(int item);
    // No active element; the flags stay.
    void ClearActive() { m_nActive = -1; }
    // The pointer left the graph without a move over it (a pointer warp): nothing is hovered.
    // A drag under way is ended as a release ends it.
    void ClearHover();

    CFilter *Active() const;
    int ActiveIndex() const { return m_nActive; }
    int ItemIndex() const { return m_nItem; }
    bool Hovering() const { return m_bHover; }
    bool Changed() const { return m_bChanged; }
    int DragResult() const { return m_nDragResult; }
    bool Released() const { return m_bReleased; }
    void SetReleased(bool released) { m_bReleased = released; }
    // True while a drag of the active element is under way.
    bool Dragging() const;
    // Flags of element i (all clear outside the set).
    ItemFlags Flags(int i) const;

private:
    // Records the outcome of a drag rule on the active element; true when it reported a change.
    bool Record(int result);
    bool TrackCrossover(CFilter &active, CPoint p);
    bool DragMarker(CFilter &active, CPoint p);
    bool DragHandle(CFilter &active, graph::BandHandle side, CPoint p);
    int ScanCount() const;
    bool Valid(int i) const { return i >= 0 && i < static_cast<int>(m_Flags.size()); }

    CKTVEQ *m_pSet = nullptr;
    int m_nScanLimit = -1;
    int m_nActive = -1;
    int m_nItem = 0;
    bool m_bHover = false;
    bool m_bChanged = false;
    bool m_bReleased = false;
    int m_nDragResult = 0;
    std::vector<ItemFlags> m_Flags;
    std::uint64_t m_PendingNotices = 0;  // elements to report on the next tick (sets hold <= 64)
};
