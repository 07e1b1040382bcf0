#pragma once
// One element of an equaliser: a parametric band (PEQ), a low or high shelf, or a high-pass or
// low-pass crossover. It keeps its parameters in the units the user sees, the frequency the
// device has been sent, a changed mark for the send scheduler, its 241-point response in dB and
// the geometry of its marker, bandwidth handles, label and response polygon on the response
// graph (laid out by the pure functions of GraphGeometry.h), and turns mouse drags on that graph
// into parameter changes. Hover and drag state belong to the graph widget, which says which
// handle it drags.
//
// An edit only marks the response out of date; it is computed once, when it is next read
// (GetResponse, GetPolygon) or by UpdateResponse, so a packet or a record load that sets several
// fields costs one computation, not one per field.
//
// Threads: the UI thread edits, lays out and drags; the link worker reads the changed mark and
// the device values and advances the send frequency (StepSendFreq). Every public operation runs
// under the element's own lock, so an edit is never lost between the worker's step and the UI's
// setter. The response, polygon and geometry are written and read on the UI thread only.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "model/DataDefine.h"
#include "model/GraphGeometry.h"
#include "platform/WinCompat.h"

class IFilterSlider;
class ObjectArchive;

class CFilter {
public:
    // Element types.
    static constexpr int kTypePeq = 0;
    static constexpr int kTypeLowShelf = 1;
    static constexpr int kTypeHighShelf = 2;
    static constexpr int kTypeHighPass = 3;
    static constexpr int kTypeLowPass = 4;
    // Crossover families.
    static constexpr int kFamilyLinkwitzRiley = 0;
    static constexpr int kFamilyButterworth = 1;
    static constexpr int kFamilyBessel = 2;
    // Crossover slope index 8 switches the crossover off.
    static constexpr int kSlopeOff = 8;
    // The plot area starts at this offset in the graph window.
    static constexpr int kPlotLeft = graph::kPlotLeft;
    static constexpr int kPlotTop = graph::kPlotTop;
    // Response polygon: the 241 grid points closed along the 0 dB line.
    static constexpr int kPolyPoints = graph::kPolyPoints;

    // The values the device receives for this element, read in one piece.
    struct DeviceValues {
        int sendFreq = 0;
        int gainCode = 0;        // 0..400; 200 while neutral
        int neutral = 0;         // bypassed or flat
        int bandwidthIndex = 0;  // 0..295
        int slope = 0;
        int family = 0;
        int type = 0;
    };

    CFilter();
    CFilter(const CFilter &) = delete;
    CFilter &operator=(const CFilter &) = delete;
    ~CFilter() = default;

    // ---- Setters (UI thread) ----
    // Frequencies from outside are limited to 20..20000 Hz.
    void SetFreq(int f, int user);
    void SetSendFreq(int f);
    // One step of the send frequency toward the frequency (link worker, record operations).
    void StepSendFreq(int mark);
    // Codes from outside are limited to 0..400 and 0..295.
    void SetGainCode(int code);
    void SetBandwidthIndex(int index);
    void SetBandwidthIndexFromHandle(int index);
    void SetSlope(int slope, int user);
    void SetFamily(int family, int user);
    void SetType(int type);
    void SetZero(int zero);
    void SetBypass(int bypass);
    void Reset(int f);
    void CopyFrom(const CFilter &other);
    void SetPeqLayout(int peqLayout);
    void SetSlopeSet(int reduced);
    void SetBandIndex(int index);
    void SetDragMode(int mode);
    void AttachSlider(IFilterSlider *slider);
    void SetShortLabel(int shortLabel);
    void SetPlotRect(const CRect &plot);
    void SetGain(double dB);
    void SetBandwidth(double octaves);
    // 0 PEQ; 1, 2 low shelf of slope 0, 1; 3, 4 high shelf of slope 0, 1.
    void SetPeqType(int code);
    void SetLowShelf(int slope);
    void SetHighShelf(int slope);
    void SetTag(int tag);

    // ---- Getters ----
    int GetType() const;
    int GetFreq() const;
    int GetFrequency() const { return GetFreq(); }
    int GetSendFreq() const;
    int GetFamily() const;
    int GetSlope() const;
    int GetBandIndex() const;
    int GetChanged() const;
    int GetShortLabel() const;
    int GetTypeByte() const;
    int GetSlopeByte() const;
    int GetFamilyByte() const;
    int GetBandIndexByte() const;
    int IsNeutral() const;
    // What IsNeutral would answer after SetBypass(bypass), without changing anything.
    int IsNeutralAfterBypass(int bypass) const;
    int GetGainCode() const;
    int GetBandwidthIndex() const;
    double GetGain() const;
    double GetBandwidth() const;
    int GetZero() const;
    int GetBypass() const;
    int GetDragMode() const;
    int GetPeqLayout() const;
    int GetSlopeSet() const;
    int GetTag() const;
    // 0 PEQ, 1 + slope for a low shelf, 3 + slope for a high shelf.
    int GetShelfCode() const;
    DeviceValues GetDeviceValues() const;
    // The label shown on the graph; also kept in m_strLabel.
    std::string GetCurveLabel();

    // ---- Archive form ----
    // The values an element's archive form carries, in their order.
    struct ArchiveValues {
        int type = kTypePeq;
        int freq = 1000;
        int sendFreq = 20;
        double gain = 0.0;
        int bypass = 0;
        int zero = 1;
        double bandwidth = kDefaultBandwidth;
        int family = kFamilyLinkwitzRiley;
        int slope = 2;
        int bandIndex = 0;
    };
    // Storing writes the element's values; loading reads them, checks them (ReadArchive) and
    // applies them only when the whole record is sound. Either way the element is then laid out
    // and recomputed; the changed mark is not touched. Returns 1, or 0 when a load is refused, in
    // which case the element is unchanged.
    int Serialize(ObjectArchive &ar);
    void WriteArchive(ObjectArchive &ar) const;
    // Reads one element's values. Frequencies are limited to 20..20000 Hz, the gain to
    // -20..+20 dB and the bandwidth to 0.05..3.00 octaves; a type, family, slope or band index
    // outside its table, a value that is not a number, or bytes that end early refuse the record
    // (false, and the archive is marked failed).
    static bool ReadArchive(ObjectArchive &ar, ArchiveValues &v);
    // Takes checked values: layout of the element's kind and recompute; no changed mark.
    void ApplyArchive(const ArchiveValues &v);

    // ---- Report texts ----
    std::string GetFreqText() const;
    std::string GetGainText() const;
    std::string GetBandwidthText() const;
    std::string GetQText() const;
    std::string GetFamilyText() const;
    std::string GetShelfSlopeText() const;
    std::string GetSlopeText() const;
    std::string GetTypeText() const;

    // ---- Response (UI thread) ----
    // Computes the response and the polygon's y values now.
    void UpdateResponse();
    // The 241 values in dB, computed first when an edit made them out of date. Valid until the
    // element next changes.
    const double *GetResponse() const;
    // How many times the response has been computed: a version of GetResponse's values.
    unsigned GetResponseComputations() const { return m_nComputations.load(std::memory_order_relaxed); }

    // ---- Geometry and drags (UI thread) ----
    void LayoutBandMarker();
    void LayoutCrossoverMarker();
    void LayoutHandles();
    // Start of a marker drag at p: remembers the pointer's offset from the marker centre.
    void BeginDrag(CPoint p);
    // Start of a drag of one bandwidth handle at pointer x: remembers the pointer's distance
    // from the band edge that handle stands for.
    void BeginHandleDrag(graph::BandHandle side, int x);
    int DragPoint(CPoint p);
    // Bandwidth from the dragged handle; with BandHandle::None nothing changes. Returns 1.
    int DragBandwidthHandle(graph::BandHandle side, int x);
    int DragCrossover(CPoint p, int other);
    int GetPlotWidth() const;
    int GetPlotHeight() const;

    // Marker, label box and bandwidth handles in graph-window pixels.
    graph::ElementGeometry GetGeometry() const;
    CRect GetMarkerRect() const;
    // The closed response polygon (kPolyPoints points), valid until the element next changes.
    const CPoint *GetPolygon() const;
    // The label last built by GetCurveLabel.
    std::string GetLabel() const;

private:
    // The frequency setter without layout and recompute: the drags lay out and recompute once
    // after all their changes.
    void ApplyFreq(int f, int user);
    void CalcPeqResponse() const;
    void CalcShelfResponse() const;
    void CalcHighPassResponse() const;
    void CalcLowPassResponse() const;
    // Marks the response out of date; the next read computes it.
    void InvalidateResponse() { m_bResponseStale.store(true, std::memory_order_relaxed); }
    void ComputeResponse() const;
    void EnsureResponse() const;
    void Relayout();
    void FillPolygonY() const;
    void ZeroResponse() const;
    void MarkChanged();
    int GainCodeLocked() const;
    int BandwidthIndexLocked() const;
    std::string QTextLocked() const;
    std::string ShelfSlopeTextLocked() const;

    mutable std::recursive_mutex m_mx;

    // The response and the polygon are a cache of the parameters and the plot size, made when
    // first read: most elements (the other outputs', the inputs') are never drawn, and a start
    // would otherwise fill 3.4 KB for each of several hundred elements.
    struct Curve {
        double response[kFreqPoints] = {};
        CPoint poly[kPolyPoints] = {};
    };
    mutable std::unique_ptr<Curve> m_curve;
    Curve &CurveLocked() const;
    bool m_bFramed = false;  // SetPlotRect has given the polygon its frame
    mutable std::atomic<bool> m_bResponseStale{true};
    mutable bool m_bPolygonStale = true;  // only the selected element's polygon is drawn
    mutable std::atomic<unsigned> m_nComputations{0};
    graph::ElementGeometry m_geo;
    std::string m_strLabel;
    CPoint m_ptGrab;            // pointer minus marker centre at the start of a marker drag
    double m_dHandleGrab = 0.0; // pointer x minus the exact window x of the dragged band edge
    IFilterSlider *m_pSlider = nullptr;

    int m_nType = kTypePeq;
    int m_nFreq = 1000;
    int m_nSendFreq = 20;
    int m_nDragMode = 0;
    double m_dGain = 0.0;
    int m_nZero = 1;
    int m_nBypass = 0;
    int m_nSavedBypass = 0;
    bool m_bBypassSaved = false;  // an equaliser bypass holds the state to restore
    double m_dBandwidth = kDefaultBandwidth;
    int m_nFamily = kFamilyLinkwitzRiley;
    int m_nSlope = 2;
    int m_nBandIndex = 0;
    int m_nPlotWidth = 0;
    int m_nPlotHeight = 0;
    int m_nPeqLayout = 1;
    int m_nChanged = 0;
    int m_nTag = -1;
    int m_nSlopeSet = 0;
    int m_nShortLabel = 0;
};
