#include "model/Filter.h"

#include <algorithm>
#include <cmath>

#include "model/DeviceImage.h"
#include "model/FilterResponse.h"
#include "model/FilterSlider.h"
#include "model/ObjectArchive.h"
#include "platform/GlobalData.h"

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

int Online()
{
    return g_bDeviceOnline.load();
}

bool IsTweeterDragMode(int mode)
{
    return mode == 11;
}

} // namespace

CFilter::CFilter()
{
    for (CPoint &p : m_ptPoly)
        p = CPoint{};
}

// ---- Setters ------------------------------------------------------------------------------------

void CFilter::SetFreq(int f, int user)
{
    Lock lock(m_mx);
    ApplyFreq(f, user);
    Relayout();
    UpdateResponse();
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
    UpdateResponse();
    MarkChanged();
}

void CFilter::SetBandwidthIndex(int index)
{
    Lock lock(m_mx);
    m_dBandwidth = BandwidthIndexToOct(ClampBandwidthIndex(index));
    if (m_nPeqLayout)
        LayoutHandles();
    UpdateResponse();
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
    UpdateResponse();
    if (user)
        MarkChanged();
}

void CFilter::SetFamily(int family, int user)
{
    Lock lock(m_mx);
    m_nFamily = family;
    UpdateResponse();
    if (user)
        MarkChanged();
}

void CFilter::SetType(int type)
{
    Lock lock(m_mx);
    m_nType = type;
    if (type == kTypeLowPass)
        m_nSendFreq = kFreqMax;
    UpdateResponse();
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
    UpdateResponse();
    MarkChanged();
}

void CFilter::SetBypass(int bypass)
{
    Lock lock(m_mx);
    if (bypass) {
        m_nSavedBypass = m_nBypass;
        m_nBypass = bypass;
    } else {
        m_nBypass = m_nSavedBypass;
    }
    if (m_nZero)
        return;
    Relayout();
    UpdateResponse();
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
    UpdateResponse();
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
    UpdateResponse();
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
    UpdateResponse();
    MarkChanged();
}

void CFilter::SetBandwidth(double octaves)
{
    Lock lock(m_mx);
    m_dBandwidth = octaves;
    if (m_nPeqLayout)
        LayoutHandles();
    UpdateResponse();
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
    UpdateResponse();
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
            label = g_bChinese.load() ? "关闭" : "OFF";
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
    static const char *const kEn[3] = {"Link_Ril", "Butter_W", "Bessel"};
    static const char *const kCn[3] = {"宁克", "巴特沃斯", "贝塞尔"};
    if (m_nFamily < 0 || m_nFamily > 2)
        return {};
    return g_bChinese.load() ? kCn[m_nFamily] : kEn[m_nFamily];
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
    static const char *const kEn[3] = {"PEQ", "Lo_Shf", "Hi_Shf"};
    static const char *const kCn[3] = {"参量均衡", "低架", "高架"};
    if (m_nType < 0 || m_nType > 2)
        return {};
    return g_bChinese.load() ? kCn[m_nType] : kEn[m_nType];
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
    UpdateResponse();
}

int CFilter::Serialize(ObjectArchive &ar)
{
    Lock lock(m_mx);
    if (ar.IsStoring()) {
        WriteArchive(ar);
        Relayout();
        UpdateResponse();
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
    FillPolygonY();
}

void CFilter::CalcPeqResponse()
{
    PeqResponse(m_nFreq, m_dGain, m_dBandwidth, m_dResponse);
}

void CFilter::CalcShelfResponse()
{
    ShelfResponse(m_nType, m_nSlope, m_nFreq, m_dGain, m_dResponse);
}

void CFilter::CalcHighPassResponse()
{
    CrossoverResponse(true, m_nFreq, m_nFamily, m_nSlope, m_nSlopeSet, m_dResponse);
}

void CFilter::CalcLowPassResponse()
{
    CrossoverResponse(false, m_nFreq, m_nFamily, m_nSlope, m_nSlopeSet, m_dResponse);
}

void CFilter::ZeroResponse()
{
    FlatResponse(m_dResponse);
}

void CFilter::FillPolygonY()
{
    for (int i = 0; i < kFreqPoints; ++i)
        m_ptPoly[i + 1].y = GainToIndex(m_dResponse[i], m_nPlotHeight) + kPlotTop;
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
    const int y0 = GainToIndex(0.0, m_nPlotHeight) + kPlotTop;
    m_ptPoly[0] = CPoint{kPlotLeft, y0};
    m_ptPoly[kPolyPoints - 1] = CPoint{m_nPlotWidth + kPlotLeft, y0};
    for (int i = 0; i < kFreqPoints; ++i)
        m_ptPoly[i + 1].x = FreqToSliderPos(g_FreqTable241[i], m_nPlotWidth) + kPlotLeft;
    UpdateResponse();
}

void CFilter::LayoutBandMarker()
{
    Lock lock(m_mx);
    const int W = m_nPlotWidth;
    const int H = m_nPlotHeight;
    const double g = (m_nBypass || m_nZero) ? 0.0 : m_dGain;
    int x = FreqToSliderPos(m_nFreq, W) - 8;
    int y = GainToIndex(g, H) - 8;
    if (x < -8)
        x = -8;
    if (y < -8)
        y = -8;
    if (y <= 0)
        y = 0;
    if (x <= 0 && m_nBandIndex >= 9)
        x = 0;
    int right = x + 16;
    int bottom = y + 16;
    if (right > W) {
        right = W;
        x = W - 16;
    }
    if (bottom > H) {
        bottom = H;
        y = H - 16;
    }
    m_rcMarker = CRect{x + kPlotLeft, y + kPlotTop, right + kPlotLeft, bottom + kPlotTop};

    const int plotRight = W + kPlotLeft;
    if (m_nType == kTypePeq) {
        m_rcLabel.top = m_rcMarker.top + 25;
        m_rcLabel.bottom = m_rcMarker.bottom + 25;
        if (m_nShortLabel) {
            if (m_rcMarker.right + 20 > plotRight) {
                m_rcLabel.left = plotRight - 50;
                m_rcLabel.right = plotRight;
            } else if (m_rcMarker.left - 20 < kPlotLeft) {
                m_rcLabel.left = kPlotLeft;
                m_rcLabel.right = 16 + 70;
            } else {
                m_rcLabel.left = m_rcMarker.left - 25;
                m_rcLabel.right = m_rcMarker.right + 25;
            }
        } else {
            if (m_rcMarker.right + 80 > plotRight) {
                m_rcLabel.left = plotRight - 160;
                m_rcLabel.right = plotRight;
            } else if (m_rcMarker.left - 60 < kPlotLeft) {
                m_rcLabel.left = kPlotLeft;
                m_rcLabel.right = 16 + 160;
            } else {
                m_rcLabel.left = m_rcMarker.left - 80;
                m_rcLabel.right = m_rcMarker.right + 80;
            }
        }
    } else if (m_nType == kTypeLowShelf || m_nType == kTypeHighShelf) {
        m_rcLabel.top = m_rcMarker.top + 25;
        m_rcLabel.bottom = m_rcMarker.bottom + 25;
        if (m_rcMarker.right + 110 > plotRight) {
            m_rcLabel.left = plotRight - 116;
            m_rcLabel.right = plotRight;
        } else {
            m_rcLabel.left = m_rcMarker.left;
            m_rcLabel.right = m_rcMarker.right + 90;
        }
    }
    if (m_nType >= kTypePeq && m_nType <= kTypeHighShelf && m_rcMarker.bottom >= H - 15) {
        m_rcLabel.top = m_rcMarker.top - 25;
        m_rcLabel.bottom = m_rcMarker.bottom - 25;
    }
    LayoutHandles();
}

void CFilter::LayoutCrossoverMarker()
{
    Lock lock(m_mx);
    const int W = m_nPlotWidth;
    const int H = m_nPlotHeight;
    int x = FreqToSliderPos(m_nFreq, W) - 8;
    const int y = GainToIndex(-7.0, H);
    if (x <= -8)
        x = -8;
    int right = x + 16;
    const int bottom = y + 16;
    if (right > W + 8) {
        right = W + 8;
        x = right - 16;
    }
    m_rcMarker = CRect{x + kPlotLeft, y + kPlotTop, right + kPlotLeft, bottom + kPlotTop};

    if (m_nType == kTypeHighPass || m_nType == kTypeLowPass) {
        const int plotRight = W + kPlotLeft;
        m_rcLabel.top = m_rcMarker.top - 15;
        if (m_rcMarker.right + 50 > plotRight) {
            m_rcLabel.left = plotRight - 66;
            m_rcLabel.right = plotRight;
        } else {
            m_rcLabel.left = m_rcMarker.left;
            m_rcLabel.right = m_rcMarker.right + 50;
        }
        m_rcLabel.bottom = m_rcMarker.bottom + (m_nType == kTypeHighPass ? 25 : 20);
    }
}

void CFilter::LayoutHandles()
{
    Lock lock(m_mx);
    const int W = m_nPlotWidth;
    const int cy = (m_rcMarker.top + m_rcMarker.bottom) / 2;
    const int y = m_dGain >= 0.0 ? cy + 10 : cy - 10;
    const double half = std::pow(2.0, m_dBandwidth * 0.5);

    const int fHi = static_cast<int>(m_nFreq * half);
    const int xr = FreqToSliderPos(fHi, W) + 50;
    m_rcRightHandle = CRect{xr - 4, y - 4, xr + 4, y + 4};

    const double fLo = m_nFreq / half;
    const int xl = FreqToSliderPos(fLo, W) + 30;
    m_rcLeftHandle = CRect{xl - 4, y - 4, xl + 4, y + 4};
}

// ---- Drags --------------------------------------------------------------------------------------

void CFilter::BeginDrag(CPoint p)
{
    Lock lock(m_mx);
    const int cx = (m_rcMarker.left + m_rcMarker.right) / 2;
    const int cy = (m_rcMarker.top + m_rcMarker.bottom) / 2;
    m_ptGrab = CPoint{p.x - cx, p.y - cy};
}

void CFilter::BeginHandleDrag(int x)
{
    Lock lock(m_mx);
    const double half = std::pow(2.0, m_dBandwidth * 0.5);
    if (m_nLeftHandleDrag) {
        m_nLeftGrab = x - m_rcLeftHandle.right;
        m_dHandleGrab = x - (FreqToSliderPosExact(m_nFreq / half, m_nPlotWidth) + kPlotLeft);
    } else if (m_nRightHandleDrag) {
        m_nRightGrab = x - m_rcRightHandle.left;
        m_dHandleGrab = x - (FreqToSliderPosExact(m_nFreq * half, m_nPlotWidth) + kPlotLeft);
    }
}

int CFilter::DragPoint(CPoint p)
{
    Lock lock(m_mx);
    if (m_nType == kTypeHighPass || m_nType == kTypeLowPass)
        return 0;
    const int W = m_nPlotWidth;
    const int H = m_nPlotHeight;
    const int x = std::clamp(p.x - m_ptGrab.x - kPlotLeft, 0, std::max(W, 0));
    const int y = std::clamp(p.y - m_ptGrab.y - kPlotTop, 0, std::max(H, 0));

    const int oldFreq = m_nFreq;
    const int oldCode = GainCodeLocked();
    if (!m_nShortLabel)
        m_nFreq = SliderPosToFreq(x, W);
    m_dGain = std::clamp(IndexToGain(y, H), -12.0, 12.0);
    if (m_dGain == 0.0) {
        m_nZero = 1;
    } else {
        m_nZero = 0;
        m_nBypass = 0;
    }
    const int changed = (m_nFreq != oldFreq || GainCodeLocked() != oldCode || y == 0) ? 1 : 0;
    // The frequency rules of SetFreq; the layout and the response follow once, below.
    if (changed)
        ApplyFreq(m_nFreq, 1);
    if (m_nType == kTypeLowShelf && m_nFreq > 2000)
        ApplyFreq(2000, 1);
    else if (m_nType == kTypeHighShelf && m_nFreq < 2000)
        ApplyFreq(2000, 1);
    const int code = GainCodeLocked();
    m_dGain = GainCodeToDb(code);
    if (m_pSlider)
        m_pSlider->SetInvertedPos(code);
    LayoutBandMarker();
    LayoutHandles();
    UpdateResponse();
    return changed;
}

int CFilter::DragBandwidthHandle(int x)
{
    Lock lock(m_mx);
    // The pointer keeps the distance it had to the band edge when the drag began, so the band
    // does not jump on the first move; positions between pixels keep the bandwidth continuous.
    const int decade = m_nPlotWidth / 3;
    if (decade <= 0)
        return 1;
    const double pos = x - kPlotLeft - m_dHandleGrab;
    // Not limited to the plot's 20..20000 Hz: a handle of a band near either end sits beyond it,
    // and the bandwidth limits below bound the result.
    const double f = 20.0 * std::pow(10.0, pos / decade);
    double bw;
    if (m_nLeftHandleDrag)
        bw = 2.0 * std::log10(m_nFreq / f) / std::log10(2.0);
    else if (m_nRightHandleDrag)
        bw = 2.0 * std::log10(f / m_nFreq) / std::log10(2.0);
    else
        return 1;
    bw = std::clamp(bw, kBandwidthMin, kBandwidthMax);
    SetBandwidthIndexFromHandle(BandwidthOctToIndex(bw));
    return 1;
}

int CFilter::DragCrossover(CPoint p, int other)
{
    Lock lock(m_mx);
    const int W = m_nPlotWidth;
    int x = p.x - m_ptGrab.x - kPlotLeft;
    if (m_nDragMode != 10 && m_nDragMode != 11 && x <= 0) {
        if (m_nType == kTypeHighPass) {
            ApplyFreq(kFreqMin, 1);
            ZeroResponse();
            FillPolygonY();
            LayoutCrossoverMarker();
            return 1;
        }
        x = 0;
    }
    if (x >= W)
        x = W;
    const int fNew = SliderPosToFreq(x, W);
    if (fNew == m_nFreq)
        return 0;
    if (m_nType == kTypeHighPass) {
        int f = fNew;
        if (fNew > other)
            f = (IsTweeterDragMode(m_nDragMode) && fNew == kFreqMax) ? kFreqMax : other;
        SetFreq(f, 1);
        return 1;
    }
    if (m_nType == kTypeLowPass) {
        ApplyFreq(fNew < other ? other : fNew, 1);
        Relayout();
        LayoutCrossoverMarker();
        if (m_nFreq == kFreqMax) {
            ZeroResponse();
            FillPolygonY();
        } else {
            UpdateResponse();
        }
        return 1;
    }
    return 0;
}
