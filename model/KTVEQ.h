#pragma once
// The ordered set of equaliser elements of one record: its bands, then one high-pass and one
// low-pass crossover. The set builds its elements in one of four layouts (31 output bands,
// 15 + 16 music-input bands, 9 microphone bands with shelves, 3 effect bands), sums their
// responses into the record's 241-point curve, copies them, and converts one band to and from
// the 8-byte packet that device blocks and band frames carry.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/DataDefine.h"
#include "model/Filter.h"
#include "platform/WinCompat.h"

class ObjectArchive;

// One band as the device stores it, little-endian:
// 0..1 send frequency (Hz), 2..3 gain word (gain code + 400, 600 when neutral),
// 4..5 bandwidth index, 6 slope, 7 type.
struct EqBandPacket {
    static constexpr int kSize = 8;
    std::array<std::uint8_t, kSize> bytes{};

    static EqBandPacket FromBytes(const std::uint8_t *src);
    void CopyTo(std::uint8_t *dst) const;

    // The 16-bit words as the device writes them: signed.
    int FreqWord() const;
    int GainWord() const;
    int BandwidthWord() const;
    int SlopeByte() const { return bytes[6]; }
    int TypeByte() const { return bytes[7]; }

    bool operator==(const EqBandPacket &) const = default;
};

// A curve point for anti-aliased drawing.
struct CurvePointF {
    float x = 0.0f;
    float y = 0.0f;
};

class CKTVEQ {
public:
    CKTVEQ();
    CKTVEQ(const CKTVEQ &) = delete;
    CKTVEQ &operator=(const CKTVEQ &) = delete;
    ~CKTVEQ();

    // Append lastBand + 1 bands and the two crossovers. Outputs: (30, 32, M, H, P);
    // music inputs (30, 32, P); microphone (8, 10, P); effect (2, 8, P).
    void InitOutBands(int lastBand, int crossoverIndex, int dragMode, int highPassFreq, int lowPassFreq);
    void InitMusicBands(int lastBand, int crossoverIndex, int lowPassFreq);
    void InitMicBands(int lastBand, int crossoverIndex, int lowPassFreq);
    void InitEffectBands(int lastBand, int crossoverIndex, int lowPassFreq);

    // Elements: bands 0..N-1, then the high-pass (N) and the low-pass (N + 1).
    int GetSize() const { return static_cast<int>(m_Elements.size()); }
    int GetCount() const { return GetSize(); }
    int GetBandCount() const { return GetSize() >= 2 ? GetSize() - 2 : 0; }
    // Null outside 0..GetSize()-1.
    CFilter *GetAt(int i) const;
    CFilter *operator[](int i) const { return GetAt(i); }
    CFilter *GetHighPass() const;
    CFilter *GetLowPass() const;
    int GetBandIndexByte(int i) const;

    // Summed response of every element into both curves.
    void UpdateCurve();
    // Only the screen curve, or only the float curve, from every element.
    void UpdateScreenCurve();
    void UpdateFloatCurve();
    // The screen curve from element i alone.
    void UpdateBandCurve(int i);
    // The summed response in dB at each grid point, as of the last curve update.
    const double *GetSum() const { return m_dSum; }

    void SetPlotRect(const CRect &plot);
    int GetPlotWidth() const { return m_nPlotWidth; }
    int GetPlotHeight() const { return m_nPlotHeight; }

    // Element i of other into element i of this set, for every element both sets have.
    void CopyFrom(const CKTVEQ &other);

    // The packet of element i (an empty packet outside the set).
    EqBandPacket GetBandPacket(int i) const;
    // Apply a packet to element i; words outside their ranges are limited to them.
    void SetBandFromPacket(const EqBandPacket &packet, int i);

    // Archive form: the element count, then every element's archive form in index order.
    // Loading reads and checks all elements before it applies any: a count that differs from
    // this set's, bytes that end early or an element that is refused leave the set unchanged
    // and return 0. Returns 1 otherwise.
    int Serialize(ObjectArchive &ar);

    int GetState() const { return m_nState; }
    void SetState(int state) { m_nState = state; }

    // Curves read by the response graph.
    CPoint m_ptCurve[kFreqPoints];
    CurvePointF m_ptCurveF[kFreqPoints];

private:
    CFilter *Append();
    void AppendCrossovers(int crossoverIndex, int dragModeHigh, int dragModeLow, int highPassFreq,
                          int lowPassFreq, bool inputStyle, bool effectStyle);
    void SumResponses();
    void FillScreenCurve();
    void FillFloatCurve();

    std::vector<std::unique_ptr<CFilter>> m_Elements;
    double m_dSum[kFreqPoints] = {};
    // What the last sum was formed from: each element's response version, and, while one
    // element changes alone (a drag), the sum of all the others.
    std::vector<unsigned> m_SumVersions;
    double m_dOthers[kFreqPoints] = {};
    int m_nOthersExclude = -1;
    int m_nPlotWidth = 0;
    int m_nPlotHeight = 0;
    int m_nState = 0;
};
