#include "model/KTVEQ.h"

#include <algorithm>
#include <cstring>

#include "model/GraphGeometry.h"
#include "model/ObjectArchive.h"

// ---- EqBandPacket -------------------------------------------------------------------------------

namespace {

int SignedWord(std::uint8_t lo, std::uint8_t hi)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
}

void PutWord(std::uint8_t *p, int v)
{
    const auto w = static_cast<std::uint16_t>(v);
    p[0] = static_cast<std::uint8_t>(w & 0xFF);
    p[1] = static_cast<std::uint8_t>(w >> 8);
}

} // namespace

EqBandPacket EqBandPacket::FromBytes(const std::uint8_t *src)
{
    EqBandPacket p;
    std::memcpy(p.bytes.data(), src, kSize);
    return p;
}

void EqBandPacket::CopyTo(std::uint8_t *dst) const
{
    std::memcpy(dst, bytes.data(), kSize);
}

int EqBandPacket::FreqWord() const { return SignedWord(bytes[0], bytes[1]); }
int EqBandPacket::GainWord() const { return SignedWord(bytes[2], bytes[3]); }
int EqBandPacket::BandwidthWord() const { return SignedWord(bytes[4], bytes[5]); }

// ---- CKTVEQ -------------------------------------------------------------------------------------

CKTVEQ::CKTVEQ()
{
    for (int i = 0; i < kFreqPoints; ++i) {
        m_ptCurve[i] = CPoint{};
        m_ptCurveF[i] = CurvePointF{};
    }
}

CKTVEQ::~CKTVEQ() = default;

CFilter *CKTVEQ::Append()
{
    m_Elements.push_back(std::make_unique<CFilter>());
    return m_Elements.back().get();
}

CFilter *CKTVEQ::GetAt(int i) const
{
    if (i < 0 || i >= GetSize())
        return nullptr;
    return m_Elements[static_cast<std::size_t>(i)].get();
}

CFilter *CKTVEQ::GetHighPass() const
{
    return GetSize() >= 2 ? GetAt(GetSize() - 2) : nullptr;
}

CFilter *CKTVEQ::GetLowPass() const
{
    return GetSize() >= 2 ? GetAt(GetSize() - 1) : nullptr;
}

int CKTVEQ::GetBandIndexByte(int i) const
{
    const CFilter *f = GetAt(i);
    return f ? f->GetBandIndexByte() : 0;
}

void CKTVEQ::InitOutBands(int lastBand, int crossoverIndex, int dragMode, int highPassFreq,
                          int lowPassFreq)
{
    for (int i = 0; i <= lastBand; ++i) {
        CFilter *f = Append();
        f->SetType(CFilter::kTypePeq);
        f->SetFreq(g_IsoFreq31[i % 31], 1);
        f->SetBandIndex(i);
    }
    CFilter *hp = Append();
    hp->SetType(CFilter::kTypeHighPass);
    hp->SetPeqLayout(0);
    hp->SetFreq(highPassFreq, 0);
    hp->SetBandIndex(crossoverIndex);
    hp->SetDragMode(dragMode);

    CFilter *lp = Append();
    lp->SetType(CFilter::kTypeLowPass);
    lp->SetPeqLayout(0);
    lp->SetFreq(lowPassFreq, 0);
    lp->SetBandIndex(crossoverIndex);
    lp->SetDragMode(12);
}

void CKTVEQ::AppendCrossovers(int crossoverIndex, int dragModeHigh, int dragModeLow, int highPassFreq,
                              int lowPassFreq, bool inputStyle, bool effectStyle)
{
    CFilter *hp = Append();
    hp->SetType(CFilter::kTypeHighPass);
    if (inputStyle)
        hp->SetSlope(0, 0);
    hp->SetFamily(CFilter::kFamilyBessel, 0);
    hp->SetPeqLayout(0);
    hp->SetFreq(highPassFreq, 1);
    hp->SetBandIndex(crossoverIndex);
    hp->SetSlopeSet(1);
    if (effectStyle)
        hp->SetDragMode(dragModeHigh);

    CFilter *lp = Append();
    lp->SetType(CFilter::kTypeLowPass);
    if (inputStyle)
        lp->SetSlope(0, 0);
    lp->SetFamily(CFilter::kFamilyBessel, 0);
    lp->SetPeqLayout(0);
    lp->SetFreq(lowPassFreq, 1);
    lp->SetBandIndex(crossoverIndex);
    lp->SetSlopeSet(1);
    if (effectStyle)
        lp->SetDragMode(dragModeLow);
}

void CKTVEQ::InitMusicBands(int lastBand, int crossoverIndex, int lowPassFreq)
{
    for (int i = 0; i <= lastBand; ++i) {
        CFilter *f = Append();
        f->SetType(CFilter::kTypePeq);
        f->SetFreq(i <= 14 ? g_GeqFreq15[i] : g_IsoFreq31[i % 31], 1);
        f->SetBandIndex(i);
    }
    AppendCrossovers(crossoverIndex, 0, 0, kFreqMin, lowPassFreq, true, false);
}

void CKTVEQ::InitMicBands(int lastBand, int crossoverIndex, int lowPassFreq)
{
    for (int i = 0; i <= lastBand; ++i) {
        CFilter *f = Append();
        if (i == 0) {
            f->SetSlope(0, 0);
            f->SetType(CFilter::kTypeLowShelf);
        } else if (i == lastBand) {
            f->SetSlope(0, 0);
            f->SetType(CFilter::kTypeHighShelf);
        } else {
            f->SetType(CFilter::kTypePeq);
        }
        f->SetFreq(g_GeqFreq15[i % 15], 1);
        f->SetBandIndex(i);
    }
    AppendCrossovers(crossoverIndex, 0, 0, kFreqMin, lowPassFreq, true, false);
}

void CKTVEQ::InitEffectBands(int lastBand, int crossoverIndex, int lowPassFreq)
{
    for (int i = 0; i <= lastBand; ++i) {
        CFilter *f = Append();
        f->SetType(CFilter::kTypePeq);
        f->SetFreq(g_EffectEqFreq3[i % 3], 1);
        f->SetBandIndex(i);
    }
    AppendCrossovers(crossoverIndex, 8, 8, kFreqMin, lowPassFreq, false, true);
}

namespace {

using v4d = double __attribute__((vector_size(32)));
constexpr int kBlocked = kFreqPoints / 4 * 4;

// sum += r, four points at a time.
void AddInto(double *sum, const double *r)
{
    for (int i = 0; i < kBlocked; i += 4) {
        v4d a, b;
        std::memcpy(&a, sum + i, sizeof a);
        std::memcpy(&b, r + i, sizeof b);
        a += b;
        std::memcpy(sum + i, &a, sizeof a);
    }
    for (int i = kBlocked; i < kFreqPoints; ++i)
        sum[i] += r[i];
}

} // namespace

void CKTVEQ::SumResponses()
{
    const int n = GetSize();
    const double *resp[64];
    const double **r = resp;
    std::vector<const double *> many;
    if (n > 64) {
        many.resize(static_cast<std::size_t>(n));
        r = many.data();
    }
    int changed = 0;
    int last = -1;
    const bool known = static_cast<int>(m_SumVersions.size()) == n;
    if (!known)
        m_SumVersions.assign(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        const CFilter &f = *m_Elements[static_cast<std::size_t>(i)];
        r[i] = f.GetResponse();
        const unsigned v = f.GetResponseComputations();
        if (!known || v != m_SumVersions[static_cast<std::size_t>(i)]) {
            ++changed;
            last = i;
            m_SumVersions[static_cast<std::size_t>(i)] = v;
        }
    }
    if (known && changed == 0)
        return;
    if (known && changed == 1) {
        // One element moves alone, as in a drag: the others' sum is kept between the moves.
        if (m_nOthersExclude != last) {
            std::fill(m_dOthers, m_dOthers + kFreqPoints, 0.0);
            for (int i = 0; i < n; ++i)
                if (i != last)
                    AddInto(m_dOthers, r[i]);
            m_nOthersExclude = last;
        }
        std::copy(m_dOthers, m_dOthers + kFreqPoints, m_dSum);
        AddInto(m_dSum, r[last]);
        return;
    }
    m_nOthersExclude = -1;
    std::fill(m_dSum, m_dSum + kFreqPoints, 0.0);
    for (int i = 0; i < n; ++i)
        AddInto(m_dSum, r[i]);
}

void CKTVEQ::FillScreenCurve()
{
    graph::CurveY(m_dSum, m_nPlotHeight, m_ptCurve);
}

void CKTVEQ::FillFloatCurve()
{
    // GainToIndexExact + the plot's top, as floats.
    const double scale = m_nPlotHeight / 24.0;
    for (int i = 0; i < kFreqPoints; ++i)
        m_ptCurveF[i].y = static_cast<float>(scale * (12.0 - m_dSum[i]) + CFilter::kPlotTop);
}

void CKTVEQ::UpdateCurve()
{
    SumResponses();
    FillScreenCurve();
    FillFloatCurve();
}

void CKTVEQ::UpdateScreenCurve()
{
    SumResponses();
    FillScreenCurve();
}

void CKTVEQ::UpdateFloatCurve()
{
    SumResponses();
    FillFloatCurve();
}

void CKTVEQ::UpdateBandCurve(int i)
{
    const CFilter *f = GetAt(i);
    if (!f)
        return;
    graph::CurveY(f->GetResponse(), m_nPlotHeight, m_ptCurve);
}

void CKTVEQ::SetPlotRect(const CRect &plot)
{
    m_nPlotHeight = plot.Height();
    m_nPlotWidth = plot.Width();
    for (int i = 0; i < kFreqPoints; ++i) {
        m_ptCurve[i] = CPoint{FreqToSliderPos(g_FreqTable241[i], m_nPlotWidth) + CFilter::kPlotLeft,
                              m_nPlotHeight / 2};
        m_ptCurveF[i] = CurvePointF{
            static_cast<float>(FreqToSliderPosExact(g_FreqTable241[i], m_nPlotWidth) + CFilter::kPlotLeft),
            static_cast<float>(m_nPlotHeight / 2)};
    }
    for (const auto &f : m_Elements)
        f->SetPlotRect(plot);
}

void CKTVEQ::CopyFrom(const CKTVEQ &other)
{
    if (&other == this)
        return;
    const int n = std::min(GetSize(), other.GetSize());
    for (int i = 0; i < n; ++i)
        m_Elements[static_cast<std::size_t>(i)]->CopyFrom(*other.m_Elements[static_cast<std::size_t>(i)]);
}

EqBandPacket CKTVEQ::GetBandPacket(int i) const
{
    EqBandPacket p;
    const CFilter *f = GetAt(i);
    if (!f)
        return p;
    const CFilter::DeviceValues v = f->GetDeviceValues();
    PutWord(&p.bytes[0], v.sendFreq);
    PutWord(&p.bytes[2], v.neutral ? kGainWordNeutral : v.gainCode + kGainWordOffset);
    PutWord(&p.bytes[4], v.bandwidthIndex);
    p.bytes[6] = static_cast<std::uint8_t>(v.slope & 0xFF);
    p.bytes[7] = static_cast<std::uint8_t>(v.type & 0xFF);
    return p;
}

void CKTVEQ::SetBandFromPacket(const EqBandPacket &packet, int i)
{
    CFilter *f = GetAt(i);
    if (!f)
        return;
    // The setters limit the words to their ranges: a frequency to 20..20000 Hz, a gain code to
    // 0..400, a bandwidth index to 0..295.
    f->SetGainCode(packet.GainWord() - kGainWordOffset);
    f->SetBandwidthIndex(packet.BandwidthWord());
    f->SetSlope(packet.SlopeByte(), 1);
    f->SetType(packet.TypeByte());
    f->SetFreq(packet.FreqWord(), 0);
    f->StepSendFreq(0);
}

int CKTVEQ::Serialize(ObjectArchive &ar)
{
    if (ar.IsStoring()) {
        ar.WriteInt(GetSize());
        for (const auto &f : m_Elements)
            f->Serialize(ar);
        return 1;
    }
    if (ar.ReadInt() != GetSize() || !ar.Ok()) {
        ar.SetFailed();
        return 0;
    }
    std::vector<CFilter::ArchiveValues> values(m_Elements.size());
    for (auto &v : values) {
        if (!CFilter::ReadArchive(ar, v))
            return 0;
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        m_Elements[i]->ApplyArchive(values[i]);
    return 1;
}
