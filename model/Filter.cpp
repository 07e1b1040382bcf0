#include "model/Filter.h"

#include <algorithm>
#include <cmath>

#include "model/DeviceImage.h"
#include "model/FilterResponse.h"
#include "model/FilterSlider.h"
#include "model/GraphGeometry.h"
#include "model/ObjectArchive.h"
#include "platform/GlobalData.h"
#include "res/Strings.h"

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

int Online()
{
    return g_bDeviceOnline.load();
}

} // namespace

CFilter::CFilter() = default;

CFilter::Curve &CFilter::CurveLocked() const
{
    if (!m_curve)
        m_curve = std::make_unique<Curve>();
    return *m_curve;
}


// ---- Setters ------------------------------------------------------------------------------------

void CFilter::SetFreq(int f, int user)
{
    Lock lock(m_mx);
    ApplyFreq(f, user);
    Relayout();
    InvalidateResponse();
}

void CFilter::ApplyFreq(int f, int user)
{
    f = ClampFreq(f);
    if (user == 0) {
        m_nFreq = f;
        m_nSendFreq = f;
        return;
    }
    const int online = Online();
    if (m_nPeqLayout) {
        m_nFreq = f;
        if (!online)
            m_nSendFreq = f;
        if (m_nSendFreq <= 0)
            m_nSendFreq = kFreqMin;
        const bool upWithinOctave = m_nFreq >= m_nSendFreq && m_nFreq / m_nSendFreq < 2;
        const bool downWithinOctave =
            m_nFreq < m_nSendFreq && static_cast<double>(m_nFreq) / m_nSendFreq >= 0.5;
        if (upWithinOctave || downWithinOctave)
            m_nSendFreq = m_nFreq;
    } else {
        m_nFreq = f;
        if (m_pSlider)
            m_pSlider->SetPosByFreq(f);
        if (m_nSendFreq <= 0)
            m_nSendFreq = kFreqMin;
        if (m_nFreq >= m_nSendFreq && m_nFreq / m_nSendFreq < 2)
            m_nSendFreq = m_nFreq;
        if (!online)
            m_nSendFreq = m_nFreq;
    }
    m_nChanged = online;
}

void CFilter::SetSendFreq(int f)
{
    Lock lock(m_mx);
    m_nSendFreq = ClampFreq(f);
}

void CFilter::StepSendFreq(int mark)
{
    Lock lock(m_mx);
    if (m_nSendFreq <= 0)
        m_nSendFreq = kFreqMin;
    if (m_nSendFreq == m_nFreq) {
        m_nChanged = mark;
        return;
    }
    if (m_nFreq / m_nSendFreq >= 2)
        m_nSendFreq *= 2;
    else if (static_cast<double>(m_nFreq) / m_nSendFreq <= 0.5)
        m_nSendFreq /= 2;
    else
        m_nSendFreq = m_nFreq;
    m_nChanged = 1;
}

void CFilter::SetGainCode(int code)
{
    Lock lock(m_mx);
    m_dGain = GainCodeToDb(ClampGainCode(code));
    if (m_dGain != 0.0) {
        m_nZero = 0;
        m_nBypass = 0;
    } else {
        m_nZero = 1;
    }
    if (m_nPeqLayout)
        LayoutBandMarker();
    InvalidateResponse();
    MarkChanged();
}

void CFilter::SetBandwidthIndex(int index)
{
    Lock lock(m_mx);
    m_dBandwidth = BandwidthIndexToOct(ClampBandwidthIndex(index));
    if (m_nPeqLayout)
        LayoutHandles();
    InvalidateResponse();
    MarkChanged();
}

void CFilter::SetBandwidthIndexFromHandle(int index)
{
    SetBandwidthIndex(index);
}

void CFilter::SetSlope(int slope, int user)
{
    Lock lock(m_mx);
    m_nSlope = slope;
    InvalidateResponse();
    if (user)
        MarkChanged();
}

void CFilter::SetFamily(int family, int user)
{
    Lock lock(m_mx);
    m_nFamily = family;
    InvalidateResponse();
    if (user)
        MarkChanged();
}

void CFilter::SetType(int type)
{
    Lock lock(m_mx);
    m_nType = type;
    if (type == kTypeLowPass)
        m_nSendFreq = kFreqMax;
    InvalidateResponse();
    MarkChanged();
}

void CFilter::SetZero(int zero)
{
    Lock lock(m_mx);
    if (m_nBypass) {
        m_nBypass = 0;
        if (m_dGain == 0.0)
            return;
    } else if (m_nZero == zero || m_dGain == 0.0) {
        return;
    }
    m_nZero = zero;
    if (zero == 0)
        m_nBypass = 0;
    Relayout();
    InvalidateResponse();
    MarkChanged();
}

void CFilter::SetBypass(int bypass)
{
    Lock lock(m_mx);
    if (bypass) {
        // A second bypass keeps the state the first one saved, so that the release restores
        // the band as it was before the equaliser was bypassed.
        if (!m_bBypassSaved) {
            m_nSavedBypass = m_nBypass;
            m_bBypassSaved = true;
        }
        m_nBypass = bypass;
    } else {
        m_nBypass = m_nSavedBypass;
        m_bBypassSaved = false;
    }
    if (m_nZero)
        return;
    Relayout();
    InvalidateResponse();
}

void CFilter::Reset(int f)
{
    Lock lock(m_mx);
    f = ClampFreq(f);
    m_nFreq = f;
    m_nSendFreq = f;
    m_dBandwidth = kDefaultBandwidth;
    LayoutHandles();
    LayoutBandMarker();
    m_dGain = 0.0;
    m_nZero = 1;
    LayoutBandMarker();
    InvalidateResponse();
}

void CFilter::CopyFrom(const CFilter &other)
{
    if (&other == this)
        return;
    // Take the other element's values first so that the two locks are never held together.
    int type, freq, zero, bypass, family, slope;
    double gain, bandwidth;
    {
        Lock lock(other.m_mx);
        type = other.m_nType;
        freq = other.m_nFreq;
        gain = other.m_dGain;
        zero = other.m_nZero;
        bypass = other.m_nBypass;
        bandwidth = other.m_dBandwidth;
        family = other.m_nFamily;
        slope = other.m_nSlope;
    }
    Lock lock(m_mx);
    m_nType = type;
    m_nFreq = freq;
    m_dGain = gain;
    m_nZero = zero;
    m_nBypass = bypass;
    m_dBandwidth = bandwidth;
    m_nFamily = family;
    m_nSlope = slope;
    m_nSendFreq = freq;
    Relayout();
    InvalidateResponse();
}

void CFilter::SetPeqLayout(int peqLayout)
{
    Lock lock(m_mx);
    m_nPeqLayout = peqLayout;
}

void CFilter::SetSlopeSet(int reduced)
{
    Lock lock(m_mx);
    m_nSlopeSet = reduced;
}

void CFilter::SetBandIndex(int index)
{
    Lock lock(m_mx);
    m_nBandIndex = index;
}

void CFilter::SetDragMode(int mode)
{
    Lock lock(m_mx);
    m_nDragMode = mode;
}

void CFilter::AttachSlider(IFilterSlider *slider)
{
    Lock lock(m_mx);
    m_pSlider = slider;
}

void CFilter::SetShortLabel(int shortLabel)
{
    Lock lock(m_mx);
    m_nShortLabel = shortLabel;
    LayoutBandMarker();
}

void CFilter::SetGain(double dB)
{
    Lock lock(m_mx);
    m_dGain = dB;
    if (m_nPeqLayout)
        LayoutBandMarker();
    InvalidateResponse();
    MarkChanged();
}

void CFilter::SetBandwidth(double octaves)
{
    Lock lock(m_mx);
    m_dBandwidth = octaves;
    if (m_nPeqLayout)
        LayoutHandles();
    InvalidateResponse();
    MarkChanged();
}

void CFilter::SetPeqType(int code)
{
    Lock lock(m_mx);
    switch (code) {
    case 0:
        m_nType = kTypePeq;
        break;
    case 1:
    case 2:
        m_nType = kTypeLowShelf;
        m_nSlope = code - 1;
        m_nFreq = std::min(m_nFreq, 2000);
        break;
    case 3:
    case 4:
        m_nType = kTypeHighShelf;
        m_nSlope = code - 3;
        m_nFreq = std::max(m_nFreq, 2000);
        break;
    default:
        return;
    }
    LayoutBandMarker();
    InvalidateResponse();
    MarkChanged();
}

void CFilter::SetLowShelf(int slope)
{
    if (slope == 0 || slope == 1)
        SetPeqType(1 + slope);
}

void CFilter::SetHighShelf(int slope)
{
    if (slope == 0 || slope == 1)
        SetPeqType(3 + slope);
}

void CFilter::SetTag(int tag)
{
    Lock lock(m_mx);
    m_nTag = tag;
}

void CFilter::MarkChanged()
{
    m_nChanged = Online();
}

// ---- Getters ------------------------------------------------------------------------------------

int CFilter::GetType() const { Lock lock(m_mx); return m_nType; }
int CFilter::GetFreq() const { Lock lock(m_mx); return m_nFreq; }
int CFilter::GetSendFreq() const { Lock lock(m_mx); return m_nSendFreq; }
int CFilter::GetFamily() const { Lock lock(m_mx); return m_nFamily; }
int CFilter::GetSlope() const { Lock lock(m_mx); return m_nSlope; }
int CFilter::GetBandIndex() const { Lock lock(m_mx); return m_nBandIndex; }
int CFilter::GetChanged() const { Lock lock(m_mx); return m_nChanged; }
int CFilter::GetShortLabel() const { Lock lock(m_mx); return m_nShortLabel; }
int CFilter::GetTypeByte() const { Lock lock(m_mx); return m_nType & 0xFF; }
int CFilter::GetSlopeByte() const { Lock lock(m_mx); return m_nSlope & 0xFF; }
int CFilter::GetFamilyByte() const { Lock lock(m_mx); return m_nFamily & 0xFF; }
int CFilter::GetBandIndexByte() const { Lock lock(m_mx); return m_nBandIndex & 0xFF; }
double CFilter::GetGain() const { Lock lock(m_mx); return m_dGain; }
double CFilter::GetBandwidth() const { Lock lock(m_mx); return m_dBandwidth; }
int CFilter::GetZero() const { Lock lock(m_mx); return m_nZero; }
int CFilter::GetBypass() const { Lock lock(m_mx); return m_nBypass; }
int CFilter::GetDragMode() const { Lock lock(m_mx); return m_nDragMode; }
int CFilter::GetPeqLayout() const { Lock lock(m_mx); return m_nPeqLayout; }
int CFilter::GetSlopeSet() const { Lock lock(m_mx); return m_nSlopeSet; }
int CFilter::GetTag() const { Lock lock(m_mx); return m_nTag; }

int CFilter::IsNeutral() const
{
    Lock lock(m_mx);
    return m_nBypass ? m_nBypass : m_nZero;
}

int CFilter::IsNeutralAfterBypass(int bypass) const
{
    Lock lock(m_mx);
    if (bypass)
        return bypass;
    return m_nSavedBypass ? m_nSavedBypass : m_nZero;
}

int CFilter::GainCodeLocked() const
{
    if (m_nBypass || m_nZero)
        return kGainCodeZero;
    return GainDbToCode(m_dGain);
}

int CFilter::GetGainCode() const
{
    Lock lock(m_mx);
    return GainCodeLocked();
}

int CFilter::BandwidthIndexLocked() const
{
    // A bandwidth set in octaves may lie outside the table; the index never does.
    return ClampBandwidthIndex(BandwidthOctToIndex(m_dBandwidth));
}

int CFilter::GetBandwidthIndex() const
{
    Lock lock(m_mx);
    return BandwidthIndexLocked();
}

int CFilter::GetShelfCode() const
{
    Lock lock(m_mx);
    if (m_nType == kTypeLowShelf)
        return 1 + m_nSlope;
    if (m_nType == kTypeHighShelf)
        return 3 + m_nSlope;
    return 0;
}

CFilter::DeviceValues CFilter::GetDeviceValues() const
{
    Lock lock(m_mx);
    DeviceValues v;
    v.sendFreq = m_nSendFreq;
    v.gainCode = GainCodeLocked();
    v.neutral = m_nBypass ? m_nBypass : m_nZero;
    v.bandwidthIndex = BandwidthIndexLocked();
    v.slope = m_nSlope;
    v.family = m_nFamily;
    v.type = m_nType;
    return v;
}

// ---- Texts --------------------------------------------------------------------------------------

std::string CFilter::QTextLocked() const
{
    const double q = g_QTable[BandwidthIndexLocked()];
    return FormatFixed(q, q > 10.0 ? 2 : 3);
}

std::string CFilter::ShelfSlopeTextLocked() const
{
    if (m_nSlope == 0)
        return "6dB/Oct";
    if (m_nSlope == 1)
        return "12dB/Oct";
    return {};
}

std::string CFilter::GetCurveLabel()
{
    Lock lock(m_mx);
    const std::string G = (m_nBypass || m_nZero) ? std::string("0.0") : FormatFixed(m_dGain, 1);
    const std::string F = std::to_string(m_nFreq);
    std::string label;
    switch (m_nType) {
    case kTypePeq:
        label = m_nShortLabel ? G + "dB" : F + "Hz " + QTextLocked() + "Q " + G + "dB";
        break;
    case kTypeLowShelf:
        label = "Lo " + F + "Hz " + ShelfSlopeTextLocked() + " " + G + "dB";
        break;
    case kTypeHighShelf:
        label = "Hi " + F + "Hz " + ShelfSlopeTextLocked() + " " + G + "dB";
        break;
    case kTypeHighPass:
    case kTypeLowPass:
        if (m_nSlope == kSlopeOff)
            label = Tr(StrId::Off);
        else
            label = F + "Hz ";
        break;
    default:
        break;
    }
    m_strLabel = label;
    return label;
}

std::string CFilter::GetFreqText() const
{
    Lock lock(m_mx);
    return std::to_string(m_nFreq) + "Hz";
}

std::string CFilter::GetGainText() const
{
    Lock lock(m_mx);
    if (m_nBypass || m_nZero)
        return "0.0dB";
    return FormatFixed(m_dGain, 1) + "dB";
}

std::string CFilter::GetBandwidthText() const
{
    Lock lock(m_mx);
    return FormatFixed(m_dBandwidth, 2) + "Oct";
}

std::string CFilter::GetQText() const
{
    Lock lock(m_mx);
    return QTextLocked();
}

std::string CFilter::GetFamilyText() const
{
    Lock lock(m_mx);
    static constexpr StrId kNames[3] = {StrId::FamilyLinkwitzRiley, StrId::FamilyButterworth, StrId::FamilyBessel};
    if (m_nFamily < 0 || m_nFamily > 2)
        return {};
    return Tr(kNames[m_nFamily]);
}

std::string CFilter::GetShelfSlopeText() const
{
    Lock lock(m_mx);
    return ShelfSlopeTextLocked();
}

std::string CFilter::GetSlopeText() const
{
    Lock lock(m_mx);
    static const char *const kFull[9] = {"6dB/Oct",  "12dB/Oct", "18dB/Oct", "24dB/Oct", "30dB/Oct",
                                         "36dB/Oct", "42dB/Oct", "48dB/Oct", "OFF"};
    if (m_nSlopeSet) {
        if (m_nSlope == 1)
            return "12dB/Oct";
        if (m_nSlope == 2)
            return "24dB/Oct";
        return {};
    }
    if (m_nSlope < 0 || m_nSlope > 8)
        return {};
    return kFull[m_nSlope];
}

std::string CFilter::GetTypeText() const
{
    Lock lock(m_mx);
    static constexpr StrId kNames[3] = {StrId::BandPeq, StrId::BandLowShelf, StrId::BandHighShelf};
    if (m_nType < 0 || m_nType > 2)
        return {};
    return Tr(kNames[m_nType]);
}

// ---- Archive form -------------------------------------------------------------------------------

void CFilter::WriteArchive(ObjectArchive &ar) const
{
    Lock lock(m_mx);
    ar.WriteInt(m_nType);
    ar.WriteInt(m_nFreq);
    ar.WriteInt(m_nSendFreq);
    ar.WriteDouble(m_dGain);
    ar.WriteInt(m_nBypass);
    ar.WriteInt(m_nZero);
    ar.WriteDouble(m_dBandwidth);
    ar.WriteInt(m_nFamily);
    ar.WriteInt(m_nSlope);
    ar.WriteInt(m_nBandIndex);
}

bool CFilter::ReadArchive(ObjectArchive &ar, ArchiveValues &v)
{
    v.type = ar.ReadInt();
    v.freq = ar.ReadInt();
    v.sendFreq = ar.ReadInt();
    v.gain = ar.ReadDouble();
    v.bypass = ar.ReadInt();
    v.zero = ar.ReadInt();
    v.bandwidth = ar.ReadDouble();
    v.family = ar.ReadInt();
    v.slope = ar.ReadInt();
    v.bandIndex = ar.ReadInt();
    const bool sound = ar.Ok() && v.type >= kTypePeq && v.type <= kTypeLowPass &&
                       v.family >= kFamilyLinkwitzRiley && v.family <= kFamilyBessel && v.slope >= 0 &&
                       v.slope <= kSlopeOff && v.bandIndex >= 0 && v.bandIndex <= 0xFF &&
                       std::isfinite(v.gain) && std::isfinite(v.bandwidth);
    if (!sound) {
        ar.SetFailed();
        return false;
    }
    v.freq = ClampFreq(v.freq);
    v.sendFreq = ClampFreq(v.sendFreq);
    v.gain = std::clamp(v.gain, GainCodeToDb(kGainCodeMin), GainCodeToDb(kGainCodeMax));
    v.bandwidth = std::clamp(v.bandwidth, kBandwidthMin, kBandwidthMax);
    v.bypass = v.bypass != 0;
    v.zero = v.zero != 0;
    return true;
}

void CFilter::ApplyArchive(const ArchiveValues &v)
{
    Lock lock(m_mx);
    m_nType = v.type;
    m_nFreq = v.freq;
    m_nSendFreq = v.sendFreq;
    m_dGain = v.gain;
    m_nBypass = v.bypass;
    m_nZero = v.zero;
    m_dBandwidth = v.bandwidth;
    m_nFamily = v.family;
    m_nSlope = v.slope;
    m_nBandIndex = v.bandIndex;
    Relayout();
    InvalidateResponse();
}

int CFilter::Serialize(ObjectArchive &ar)
{
    Lock lock(m_mx);
    if (ar.IsStoring()) {
        WriteArchive(ar);
        Relayout();
        InvalidateResponse();
        return 1;
    }
    ArchiveValues v;
    if (!ReadArchive(ar, v))
        return 0;
    ApplyArchive(v);
    return 1;
}

// ---- Response -----------------------------------------------------------------------------------

void CFilter::UpdateResponse()
{
    Lock lock(m_mx);
    ComputeResponse();
}

void CFilter::EnsureResponse() const
{
    if (m_bResponseStale.load(std::memory_order_relaxed)) {
        Lock lock(m_mx);
        if (m_bResponseStale.load(std::memory_order_relaxed))
            ComputeResponse();
    }
}

const double *CFilter::GetResponse() const
{
    EnsureResponse();
    Lock lock(m_mx);
    return CurveLocked().response;
}

const CPoint *CFilter::GetPolygon() const
{
    EnsureResponse();
    Lock lock(m_mx);
    if (m_bPolygonStale) {
        if (m_bFramed)
            graph::PolygonFrame(m_nPlotWidth, m_nPlotHeight, CurveLocked().poly);
        FillPolygonY();
        m_bPolygonStale = false;
    }
    return CurveLocked().poly;
}

void CFilter::ComputeResponse() const
{
    switch (m_nType) {
    case kTypePeq:
        if (m_nBypass || m_nZero)
            ZeroResponse();
        else
            CalcPeqResponse();
        break;
    case kTypeLowShelf:
    case kTypeHighShelf:
        if (m_nBypass || m_nZero)
            ZeroResponse();
        else
            CalcShelfResponse();
        break;
    case kTypeHighPass:
        if (m_nFreq == kFreqMin || m_nSlope == kSlopeOff)
            ZeroResponse();
        else
            CalcHighPassResponse();
        break;
    case kTypeLowPass:
        if (m_nFreq == kFreqMax || m_nSlope == kSlopeOff)
            ZeroResponse();
        else
            CalcLowPassResponse();
        break;
    default:
        // A type outside the table has no curve: it draws and sums as flat.
        ZeroResponse();
        break;
    }
    m_bPolygonStale = true;
    m_nComputations.fetch_add(1, std::memory_order_relaxed);
    m_bResponseStale.store(false, std::memory_order_relaxed);
}

void CFilter::CalcPeqResponse() const
{
    PeqResponse(m_nFreq, m_dGain, m_dBandwidth, CurveLocked().response);
}

void CFilter::CalcShelfResponse() const
{
    ShelfResponse(m_nType, m_nSlope, m_nFreq, m_dGain, CurveLocked().response);
}

void CFilter::CalcHighPassResponse() const
{
    CrossoverResponse(true, m_nFreq, m_nFamily, m_nSlope, m_nSlopeSet, CurveLocked().response);
}

void CFilter::CalcLowPassResponse() const
{
    CrossoverResponse(false, m_nFreq, m_nFamily, m_nSlope, m_nSlopeSet, CurveLocked().response);
}

void CFilter::ZeroResponse() const
{
    FlatResponse(CurveLocked().response);
}

void CFilter::FillPolygonY() const
{
    graph::PolygonY(CurveLocked().response, m_nPlotHeight, CurveLocked().poly);
}

// ---- Geometry -----------------------------------------------------------------------------------

void CFilter::Relayout()
{
    if (m_nPeqLayout)
        LayoutBandMarker();
    else
        LayoutCrossoverMarker();
}

void CFilter::SetPlotRect(const CRect &plot)
{
    Lock lock(m_mx);
    m_nPlotHeight = plot.Height();
    m_nPlotWidth = plot.Width();
    Relayout();
    m_bFramed = true;  // the frame is laid when the polygon is next read
    m_bPolygonStale = true;
    InvalidateResponse();
}

int CFilter::GetPlotWidth() const { Lock lock(m_mx); return m_nPlotWidth; }
int CFilter::GetPlotHeight() const { Lock lock(m_mx); return m_nPlotHeight; }
graph::ElementGeometry CFilter::GetGeometry() const { Lock lock(m_mx); return m_geo; }
CRect CFilter::GetMarkerRect() const { Lock lock(m_mx); return m_geo.marker; }
std::string CFilter::GetLabel() const { Lock lock(m_mx); return m_strLabel; }

void CFilter::LayoutBandMarker()
{
    Lock lock(m_mx);
    graph::BandMarkerInput in;
    in.type = m_nType;
    in.freq = m_nFreq;
    in.gain = m_dGain;
    in.neutral = m_nBypass || m_nZero;
    in.bandIndex = m_nBandIndex;
    in.gainOnlyLabel = m_nShortLabel != 0;
    graph::LayoutBandMarker(in, m_nPlotWidth, m_nPlotHeight, m_geo.marker, m_geo.label);
    LayoutHandles();
}

void CFilter::LayoutCrossoverMarker()
{
    Lock lock(m_mx);
    graph::LayoutCrossoverMarker(m_nType, m_nFreq, m_nPlotWidth, m_nPlotHeight, m_geo.marker, m_geo.label);
}

void CFilter::LayoutHandles()
{
    Lock lock(m_mx);
    graph::LayoutHandles(m_geo.marker, m_nFreq, m_dGain, m_dBandwidth, m_nPlotWidth, m_geo.leftHandle,
                         m_geo.rightHandle);
}

// ---- Drags --------------------------------------------------------------------------------------

void CFilter::BeginDrag(CPoint p)
{
    Lock lock(m_mx);
    m_ptGrab = graph::GrabOffset(m_geo.marker, p);
}

void CFilter::BeginHandleDrag(graph::BandHandle side, int x)
{
    Lock lock(m_mx);
    if (side != graph::BandHandle::None)
        m_dHandleGrab = graph::HandleGrab(side, x, m_nFreq, m_dBandwidth, m_nPlotWidth);
}

int CFilter::DragPoint(CPoint p)
{
    Lock lock(m_mx);
    if (m_nType == kTypeHighPass || m_nType == kTypeLowPass)
        return 0;
    const graph::BandDragTarget t =
        graph::BandDrag(p, m_ptGrab, m_nPlotWidth, m_nPlotHeight, m_nFreq, m_nShortLabel != 0);

    const int oldFreq = m_nFreq;
    const int oldCode = GainCodeLocked();
    m_nFreq = t.freq;
    m_dGain = t.gain;
    if (m_dGain == 0.0) {
        m_nZero = 1;
    } else {
        m_nZero = 0;
        m_nBypass = 0;
    }
    const int changed = (m_nFreq != oldFreq || GainCodeLocked() != oldCode || t.onTopEdge) ? 1 : 0;
    // The frequency rules of SetFreq; the layout and the response follow once, below.
    if (changed)
        ApplyFreq(m_nFreq, 1);
    const int limited = graph::ShelfDragLimit(m_nType, m_nFreq);
    if (limited != m_nFreq)
        ApplyFreq(limited, 1);
    const int code = GainCodeLocked();
    m_dGain = GainCodeToDb(code);
    if (m_pSlider)
        m_pSlider->SetInvertedPos(code);
    LayoutBandMarker();
    InvalidateResponse();
    return changed;
}

int CFilter::DragBandwidthHandle(graph::BandHandle side, int x)
{
    Lock lock(m_mx);
    const double bw = graph::HandleDragBandwidth(side, x, m_dHandleGrab, m_nFreq, m_nPlotWidth);
    if (bw >= 0.0)
        SetBandwidthIndexFromHandle(BandwidthOctToIndex(bw));
    return 1;
}

int CFilter::DragCrossover(CPoint p, int other)
{
    Lock lock(m_mx);
    const graph::CrossoverDragTarget t =
        graph::CrossoverDrag(m_nType, m_nDragMode, p, m_ptGrab, m_nPlotWidth, m_nFreq, other);
    if (!t.changed)
        return 0;
    // At 20 Hz a high-pass, and at 20000 Hz a low-pass, is flat (UpdateResponse).
    ApplyFreq(t.freq, 1);
    Relayout();
    InvalidateResponse();
    return 1;
}
