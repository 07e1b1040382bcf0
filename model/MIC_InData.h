#pragma once
// The parameter record of the microphone input ("Mic 1"): a 9-band equaliser (a low shelf, seven
// PEQ bands and a high shelf) with a high-pass and a low-pass crossover, level, switch, polarity,
// an option value, delay, gain and mute, a noise-gate threshold, a limiter triple, an 8-byte name,
// four change stamps and its response curve. It mirrors the 112-byte microphone block of the
// device image (14 items): 0..8 band packets, 9 basic values, 10 crossovers, 11 threshold,
// 12 limiter, 13 name. Bytes the record does not own keep what the block held.
//
// Nothing sends microphone frames; the block reaches files through the image fill. Used on the
// UI thread; values are atomics all the same, so a stray read from another thread is safe.

#include "model/InputRecord.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

class CSendData;

class CMIC_InData : public CInputRecord {
public:
    static constexpr int kBands = 9;
    static constexpr int kElements = kBands + 2;
    static constexpr int kNameBytes = 8;

    CMIC_InData();
    CMIC_InData(const CMIC_InData &) = delete;
    CMIC_InData &operator=(const CMIC_InData &) = delete;

    void InitEQ(int lastBand, int crossoverIndex, int lowPassFreq);

    // ---- setters that stamp ----
    // Copies at most 8 bytes of the name's GBK form into the name buffer; a name that cannot be
    // encoded is refused.
    TextFieldResult SetName(const std::string &name);
    void SetLevel(int v);
    void SetSwitch(int v);
    void SetPolarity(int v);
    void SetOption(int v);
    void SetDelay(int v);
    void SetMuted(int v);
    // Gain; muted := gain is 0.
    void SetGain(int code);
    void SetThreshold(int code);
    void SetLimitThreshold(int code);
    void SetLimitAttack(int code);
    void SetLimitRelease(int code);

    void SetRecordChanged(int v) { m_nRecordChanged = v; }
    void SetNameChanged(int v) { m_nNameChanged = v; }
    void SetThresholdChanged(int v) { m_nThresholdChanged = v; }
    void SetLimitChanged(int v) { m_nLimitChanged = v; }

    // ---- setters without a stamp ----
    void SetNameItem(int item) { m_nNameItem = item; }
    void SetBasicItem(int item) { m_nBasicItem = item & 0xFF; }
    void SetThresholdItem(int item) { m_nThresholdItem = item & 0xFF; }
    void SetLimitItem(int item) { m_nLimitItem = item & 0xFF; }

    // ---- getters ----
    int GetGain() const { return m_nMuted ? 0 : m_nGain.load(); }
    int GetLevel() const { return m_nLevel; }
    int GetSwitch() const { return m_nSwitch; }
    int GetPolarity() const { return m_nPolarity; }
    int GetOption() const { return m_nOption; }
    int GetDelay() const { return m_nDelay; }
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
    // The name up to the first NUL, at most 8 bytes, as text.
    std::string GetName() const;
    // The 8-byte name buffer as stored (GBK, not necessarily NUL-terminated).
    std::array<std::uint8_t, kNameBytes> GetNameBuffer() const;

    int GetEqState() const { return m_eq.GetState(); }
    int GetElementCount() const { return m_eq.GetSize(); }

    // All four stamps := v, and every element takes the send step with v. The bypass covers
    // all 11 elements, the crossovers included.
    void SetChanged(int v);
    // The name buffer, gain, delay and every element; everything else stays.
    void CopyFrom(const CMIC_InData &other);

    // ---- block writers ----
    std::unique_ptr<CSendData> SendBasic(bool frame);
    std::unique_ptr<CSendData> SendCrossover(bool frame);
    std::unique_ptr<CSendData> SendThreshold(bool frame);
    std::unique_ptr<CSendData> SendLimit(bool frame);
    std::unique_ptr<CSendData> SendName(bool frame);
    std::unique_ptr<CSendData> SendBand(int i, int n);
    // Whole block without frames; TooLong when the name no longer fits (item 13 left as it was).
    TextFieldResult FillRecord();
    std::unique_ptr<CSendData> FillRecordAndFrame(int preset);

    // Unpacks a whole block (112 bytes; a shorter span changes nothing). No stamp is set.
    void LoadFromRecord(std::span<const std::uint8_t> block);
    // Single-item loaders (crossover without the user mark and without touching the send
    // frequency).
    void LoadBasic(const std::uint8_t *item);
    void LoadCrossover(const std::uint8_t *item);
    void LoadThreshold(const std::uint8_t *item);
    void LoadLimit(const std::uint8_t *item);

    // ---- curve (UI thread) ----
    void SetPlotRect(const CRect &rect);
    void UpdateCurve();
    void UpdateZeroDbY();
    void UpdateBandCurve(int band);

    // ---- report texts ----
    std::string GetLevelText() const;
    std::string GetGainText() const;
    std::string GetPolarityText() const;
    std::string GetSwitchText() const;
    std::string GetDelayText() const;
    std::string GetLimitThresholdText() const;
    std::string GetThresholdText() const;

private:
    int m_nZeroDbY = 0;

    mutable std::mutex m_nameMutex;
    std::array<std::uint8_t, kNameBytes> m_name{};

    std::atomic<int> m_nNameItem{13};
    std::atomic<int> m_nLevel{0};
    std::atomic<int> m_nSwitch{1};
    std::atomic<int> m_nOption{1};
    std::atomic<int> m_nPolarity{0};
    std::atomic<int> m_nDelay{0};
    std::atomic<int> m_nGain{400};
    std::atomic<int> m_nMuted{0};
    std::atomic<int> m_nBasicItem{9};
    std::atomic<int> m_nThreshold{40};
    std::atomic<int> m_nThresholdItem{11};
    std::atomic<int> m_nLimitThreshold{500};
    std::atomic<int> m_nLimitAttack{0};
    std::atomic<int> m_nLimitRelease{0};
    std::atomic<int> m_nLimitItem{12};
    std::atomic<int> m_nRecordChanged{0};
    std::atomic<int> m_nNameChanged{0};
    std::atomic<int> m_nThresholdChanged{0};
    std::atomic<int> m_nLimitChanged{0};
};
