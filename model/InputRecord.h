#pragma once
// The base of the input and effect records (CMusic_InData, CMIC_InData, CEffect_Data): the
// equaliser with its two crossovers, the block of the device image the record mirrors (its object
// type and channel), the response curve and its colours, the bypass of the equaliser, and the
// writers that put the record's items into that block of the current image and frame them.
//
// Threads: as each record says. The channel is atomic; the writers take the image lock only
// while they copy bytes.

#include "model/TextFields.h"
#include "model/DeviceImage.h"
#include "model/KTVEQ.h"
#include "model/RecordItems.h"
#include "platform/WinCompat.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

class CSendData;

class CInputRecord {
public:
    virtual ~CInputRecord() = default;
    CInputRecord(const CInputRecord &) = delete;
    CInputRecord &operator=(const CInputRecord &) = delete;

    void SetChannel(int channel) { m_nChannel = channel; }
    int GetChannel() const { return m_nChannel; }
    void SetCurveColor(COLORREF c) { m_clrCurve = c; }
    void SetCurveArgb(std::uint32_t argb) { m_argbCurve = argb; }
    void SetCurveFlag(int flag) { m_nCurveFlag = flag; }
    COLORREF GetCurveColor() const { return m_clrCurve; }
    std::uint32_t GetCurveArgb() const { return m_argbCurve; }
    int GetCurveFlag() const { return m_nCurveFlag; }

    CKTVEQ &GetEq() { return m_eq; }
    const CKTVEQ &GetEq() const { return m_eq; }
    // Element i (bands, then the high-pass and the low-pass), or null outside the set.
    CFilter *GetBand(int i) const { return m_eq.GetAt(i); }
    CFilter *GetHpf() const { return m_eq.GetHighPass(); }
    CFilter *GetLpf() const { return m_eq.GetLowPass(); }

    // Bypass of the elements the record's bypass covers: every element, or only the bands of a
    // music input.
    void SetAllBypass(int flag);
    // Whether those elements all leave the signal as it is.
    bool IsAllBypassed();
    // Takes the change marks of the crossover pair; true when either had one.
    bool TakeCrossoverChanges();

    // Curves read by the response graph.
    CPoint m_ptCurve[kFreqPoints];
    CurvePointF m_ptCurveF[kFreqPoints];

protected:
    // Every element of the equaliser.
    static constexpr int kAllElements = std::numeric_limits<int>::max();

    // objType: OBJ_MUSIC, OBJ_MIC or OBJ_EFFECT; bypassElements: the first elements the bypass
    // covers.
    CInputRecord(int objType, int bypassElements, COLORREF curveColour = 0, std::uint32_t curveArgb = 0);

    // The channel of the record's block in the image: the effect record is one block whatever
    // its channel byte.
    int BlockChannel() const { return m_objType == OBJ_EFFECT ? 0 : m_nChannel.load(); }

    // Lets `edit` change item k of the record's block in the current image, under the image lock;
    // returns the item as it now stands (zeros when the block has no such item).
    template <class Edit>
    record_items::Item EditItem(int item, Edit &&edit)
    {
        record_items::Item now{};
        record_items::EditImageItem(m_objType, BlockChannel(), item, [&](std::uint8_t *p) {
            edit(p);
            std::copy(p, p + now.size(), now.begin());
        });
        return now;
    }
    // Item k of the record's block in the current image.
    record_items::Item ReadItem(int item) const { return record_items::ReadImageItem(m_objType, BlockChannel(), item); }
    // The crossover pair's device values into item k; the item as it now stands.
    record_items::Item WriteCrossover(int item);
    // The first `bands` band packets into items 0...
    void WriteBands(int bands);
    // A name, terminated within `bytes`, into item k; whether it fitted.
    TextFieldResult WriteName(int item, int bytes, const std::string &name);
    // Band i's packet into item i, and the item as it now stands into `written`; false (nothing
    // written) for i outside the first `bands`.
    bool WriteBand(int i, int bands, record_items::Item *written = nullptr);

    // The write frame of item k as the current image holds it.
    std::unique_ptr<CSendData> ItemFrame(int item) const;
    // The write frame of item k after the record wrote item `writtenItem` as `written`: those
    // bytes when it is the same item, else item k as the image holds it.
    std::unique_ptr<CSendData> ItemFrame(int item, int writtenItem, const record_items::Item &written) const;
    // A whole-block write of the record's block of the current image for preset byte p.
    std::unique_ptr<CSendData> BlockFrame(int preset) const;

    // The plot's size, and the curve's points laid out along it at half height.
    void LayOutCurve(const CRect &rect);

    CKTVEQ m_eq;
    int m_nPlotHeight = 0;
    int m_nPlotWidth = 0;
    std::atomic<int> m_nChannel{0};

private:
    const int m_objType;
    const int m_bypassElements;
    COLORREF m_clrCurve;
    std::uint32_t m_argbCurve;
    int m_nCurveFlag = 1;
    int m_nAllBypassed = 0;
};
