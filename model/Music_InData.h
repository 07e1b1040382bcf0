#pragma once
// The parameter record of one music input ("Music 1".."Music 6"): a 31-band equaliser with a
// high-pass and a low-pass crossover, gain and mute, an on switch, polarity, delay, EQ mode, a
// noise-gate threshold, a limiter triple, a name, four change stamps and its response curve.
// It mirrors the input's 288-byte block of the device image (36 items of 8 bytes):
//   0..30 band packets, 31 basic values, 32 crossovers, 33 threshold, 34 limiter, 35 name.
// Bytes the record does not own keep what the block held.
//
// Threads: setters, loads and curves run on the UI thread; the send scheduler reads values,
// clears stamps and writes items on the link worker. Values and stamps are atomics; the name is
// guarded by its own lock.

#include "model/InputRecord.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

class CSendData;

class CMusic_InData : public CInputRecord {
public:
    static constexpr int kBands = 31;
    static constexpr int kElements = kBands + 2;
    static constexpr int kNameBytes = 8;  // the name item; at most 7 GBK bytes and a NUL

    CMusic_InData();
    CMusic_InData(const CMusic_InData &) = delete;
    CMusic_InData &operator=(const CMusic_InData &) = delete;

    // Builds the bands and the crossovers by the music-input layout.
    void InitEQ(int lastBand, int crossoverIndex, int lowPassFreq);
    // Every band back to its default at 0 dB: bands 0..14 at the fifteen GEQ centres, the others
    // at their ISO frequencies. Each band takes the send step.
    void ResetEqBands();

    // ---- setters that stamp (the stamp takes the online mark) ----
    // A name whose GBK form does not fit the 8-byte item (7 bytes and the NUL) is refused and
    // nothing changes.
    TextFieldResult SetName(const std::string &name);
    void SetGain(int code);
    void SetSwitch(int on);
    void SetPolarity(int polarity);
    void SetDelay(int code);
    void SetEqMode(int mode);
    void SetThreshold(int code);
    void SetLimitThreshold(int code);
    void SetLimitAttack(int code);
    void SetLimitRelease(int code);

    void SetRecordChanged(int v) { m_nRecordChanged = v; }
    void SetNameChanged(int v) { m_nNameChanged = v; }
    void SetThresholdChanged(int v) { m_nThresholdChanged = v; }
    void SetLimitChanged(int v) { m_nLimitChanged = v; }

    // ---- setters without a stamp ----
    void SetNameItem(int item) { m_nNameItem = item & 0xFF; }

    // ---- getters ----
    int GetGain() const { return m_nMuted ? 0 : m_nGain.load(); }
    int GetSwitch() const { return m_nSwitch; }
    int GetPolarity() const { return m_nPolarity; }
    int GetDelay() const { return m_nDelay; }
    int GetEqMode() const { return m_nEqMode; }
    int GetMuted() const { return m_nMuted; }
    int GetThreshold() const { return m_nThreshold; }
    int GetLimitThreshold() const { return m_nLimitThreshold; }
    int GetLimitAttack() const { return m_nLimitAttack; }
    int GetLimitRelease() const { return m_nLimitRelease; }
    int GetZeroDbY() const { return m_nZeroDbY; }
    int GetNameItem() const { return m_nNameItem; }
    int GetBasicItem() const { return m_nBasicItem; }
    int GetThresholdItem() const { return m_nThresholdItem; }
    int GetLimitItem() const { return m_nLimitItem; }
    int GetRecordChanged() const { return m_nRecordChanged; }
    int GetNameChanged() const { return m_nNameChanged; }
    int GetThresholdChanged() const { return m_nThresholdChanged; }
    int GetLimitChanged() const { return m_nLimitChanged; }
    std::string GetName() const;

    int GetBandCount() const { return m_eq.GetSize() - 2; }

    // ---- stamps ----
    // All four stamps := v, and every element takes the send step with v. The bypass covers
    // the 31 bands only.
    void SetChanged(int v);
    // Name, gain, the limiter values, switch, polarity, delay and every element; EQ mode,
    // threshold, mute, stamps, channel and colours stay.
    void CopyFrom(const CMusic_InData &other);

    // ---- block writers (into this input's block of the current image) ----
    // With a true flag they return the item's write frame, else null.
    std::unique_ptr<CSendData> SendBasic(bool frame);
    std::unique_ptr<CSendData> SendCrossover(bool frame);
    std::unique_ptr<CSendData> SendThreshold(bool frame);
    std::unique_ptr<CSendData> SendLimit(bool frame);
    // Band i's packet into item i; the frame is for item n.
    std::unique_ptr<CSendData> SendBand(int i, int n);
    std::unique_ptr<CSendData> SendName();

    // The whole block, without frames. Returns TooLong (item 35 left as it was) for a name that
    // no longer fits; everything else is written.
    TextFieldResult FillRecord();
    // The same, then a whole-block write frame of the current image for the preset.
    std::unique_ptr<CSendData> FillRecordAndFrame(int preset);

    // Unpacks a whole block (288 bytes; a shorter span changes nothing). No stamp is set.
    void LoadFromRecord(std::span<const std::uint8_t> block);

    // ---- curve (UI thread) ----
    void SetPlotRect(const CRect &rect);
    void UpdateCurve();
    void UpdateZeroDbY();
    void UpdateBandCurve(int band);

    // ---- report texts ----
    std::string GetGainText() const;
    std::string GetPolarityText() const;
    std::string GetSwitchText() const;
    std::string GetDelayText() const;
    std::string GetLimitThresholdText() const;
    std::string GetThresholdText() const;

private:
    void LoadBasic(const std::uint8_t *item);
    void LoadCrossover(const std::uint8_t *item);
    void LoadThreshold(const std::uint8_t *item);
    void LoadLimit(const std::uint8_t *item);

    int m_nZeroDbY = 0;

    mutable std::mutex m_nameMutex;
    std::string m_strName;

    std::atomic<int> m_nNameItem{35};
    std::atomic<int> m_nSwitch{1};
    std::atomic<int> m_nPolarity{0};
    std::atomic<int> m_nGain{600};
    std::atomic<int> m_nEqMode{0};
    std::atomic<int> m_nMuted{0};
    std::atomic<int> m_nDelay{0};
    std::atomic<int> m_nBasicItem{31};
    std::atomic<int> m_nThreshold{40};
    std::atomic<int> m_nThresholdItem{33};
    std::atomic<int> m_nLimitThreshold{500};
    std::atomic<int> m_nLimitAttack{0};
    std::atomic<int> m_nLimitRelease{0};
    std::atomic<int> m_nLimitItem{34};
    std::atomic<int> m_nRecordChanged{0};
    std::atomic<int> m_nNameChanged{0};
    std::atomic<int> m_nThresholdChanged{0};
    std::atomic<int> m_nLimitChanged{0};
};
