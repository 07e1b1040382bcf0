#pragma once
// The parameter record of one of the eight output channels: name, on switch, polarity, gain with
// its muted state, delay, EQ mode, speaker type, a 31-band equaliser with a high-pass and a
// low-pass crossover, the limiter, the levels of the sources mixed into the output, and the
// 241-point curves the response graph draws.
//
// Each setter stores its value and copies the online mark (g_bDeviceOnline) into the change
// stamp of the item it belongs to; the send scheduler turns stamps into frames. Some setters also
// repeat the edit on the other outputs of the same link group (g_LinkGroups / g_OutChannelTable).
//
// The record mirrors the output's 296-byte block of the device image, 37 items of 8 bytes:
//   0..30 band packets
//   31 on, polarity, gain (u16, 0 while muted), delay (u16), EQ mode, speaker type
//   32 high-pass send frequency (u16), family, slope, low-pass send frequency (u16), family, slope
//   33 source levels LINE1..LINE8
//   34 four further source levels, then S/PDIF-L, S/PDIF-R, Bluetooth-L, Bluetooth-R
//   35 limiter threshold, attack, release (u16 each), link group, eight flag bits (not the record's)
//   36 name: at most 7 GBK bytes, the rest zero
//
// Threads: setters, copies, loads and curves run on the UI thread; the send scheduler reads
// values, clears stamps and writes items on the link worker. Values the worker reads and every
// stamp are atomics; the name has its own lock; image bytes are written under g_csImage.

#include "model/TextFields.h"
#include "model/DeviceImage.h"
#include "model/KTVEQ.h"
#include "platform/WinCompat.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>

class CSendData;

// The high-pass and low-pass pair as item 32 carries it.
struct CrossoverRecord {
    std::uint16_t highFreq = 0;
    std::uint8_t highFamily = 0;
    std::uint8_t highSlope = 0;
    std::uint16_t lowFreq = 0;
    std::uint8_t lowFamily = 0;
    std::uint8_t lowSlope = 0;

    // The 8 bytes of the item, little-endian.
    std::array<std::uint8_t, 8> ToBytes() const;
    static CrossoverRecord FromBytes(const std::uint8_t *src);
    bool operator==(const CrossoverRecord &) const = default;
};

class CKTV_OutData {
public:
    static constexpr int kBands = 31;
    static constexpr int kElements = kBands + 2;  // bands, high-pass, low-pass
    static constexpr int kNameBytes = 8;          // item 36: at most 7 GBK bytes and a NUL
    static constexpr int kGainMax = 600;          // 0 dB
    static constexpr int kBasicItem = 31;
    static constexpr int kCrossoverItem = 32;
    static constexpr int kGroup33Item = 33;
    static constexpr int kGroup34Item = 34;
    static constexpr int kLimitItem = 35;
    static constexpr int kNameItem = 36;

    CKTV_OutData();
    CKTV_OutData(const CKTV_OutData &) = delete;
    CKTV_OutData &operator=(const CKTV_OutData &) = delete;

    // Builds the 31 bands and the two crossovers by the output layout: high-pass drag mode and
    // frequency, low-pass frequency.
    void InitEQ(int lastBand, int crossoverIndex, int dragMode, int highPassFreq, int lowPassFreq);

    // ---- setters that stamp ----
    // Basic stamp; gain, polarity and EQ mode also copy gain and EQ mode to the linked outputs.
    void SetGain(int code);
    void SetPolarity(int polarity);
    void SetEqMode(int mode);
    void SetDelay(int code);
    void SetOn(int on);
    // Name stamp. A name whose GBK form does not fit item 36 (7 bytes and the NUL) is refused:
    // nothing changes and the caller shows the error (CharLenErrorText).
    TextFieldResult SetName(const std::string &name);
    // Limiter stamp, only when the value changes; the three limiter values go to the linked outputs.
    void SetLimitThreshold(int code);
    void SetLimitAttack(int code);
    void SetLimitRelease(int code);
    // Byte k of item 33 (group-33 stamp) or item 34 (group-34 stamp), only when the value changes.
    void SetGroup33Byte(int k, int level);
    void SetGroup34Byte(int k, int level);
    void SetGroup33Byte0(int level) { SetGroup33Byte(0, level); }
    void SetGroup33Byte1(int level) { SetGroup33Byte(1, level); }
    void SetGroup33Byte2(int level) { SetGroup33Byte(2, level); }
    void SetGroup33Byte3(int level) { SetGroup33Byte(3, level); }
    void SetGroup33Byte4(int level) { SetGroup33Byte(4, level); }
    void SetGroup33Byte5(int level) { SetGroup33Byte(5, level); }
    void SetGroup33Byte6(int level) { SetGroup33Byte(6, level); }
    void SetGroup33Byte7(int level) { SetGroup33Byte(7, level); }
    void SetGroup34Byte0(int level) { SetGroup34Byte(0, level); }
    void SetGroup34Byte1(int level) { SetGroup34Byte(1, level); }
    void SetGroup34Byte2(int level) { SetGroup34Byte(2, level); }
    void SetGroup34Byte3(int level) { SetGroup34Byte(3, level); }
    void SetGroup34Byte4(int level) { SetGroup34Byte(4, level); }
    void SetGroup34Byte5(int level) { SetGroup34Byte(5, level); }
    void SetGroup34Byte6(int level) { SetGroup34Byte(6, level); }
    void SetGroup34Byte7(int level) { SetGroup34Byte(7, level); }
    // Extra level k (0..3): in no device item; stamps group 34 so that item 34 is sent again.
    void SetExtra(int k, int level);
    void SetExtra0(int level) { SetExtra(0, level); }
    void SetExtra1(int level) { SetExtra(1, level); }
    void SetExtra2(int level) { SetExtra(2, level); }
    void SetExtra3(int level) { SetExtra(3, level); }
    // Copies the second group-34 array to the linked outputs and stamps their group 34; the
    // argument is not used.
    void LinkGroup34Alt(int ignored);
    void LinkGroup34Alt2(int ignored) { LinkGroup34Alt(ignored); }
    void OnMixChanged(int) {}
    // Zero flag of level A / B; the level becomes 1 when the flag is 0, else 0. Level stamp.
    void SetMixZero0(int flag);
    void SetMixZero1(int flag);
    // The auxiliary levels, kept, copied and reported but never sent. Level stamp; A, B, C, D and
    // F also copy A, B and F to the linked outputs.
    void SetLevelA(int level);
    void SetLevelB(int level);
    void SetLevelC(int level);  // also zero flag C := level == 0
    void SetLevelD(int level);  // also zero flag D := level == 0
    void SetLevelF(int level);
    void SetLevelG(int level);
    void SetSwitchBits(int bits);
    void SetZeroC(int flag);
    void SetZeroD(int flag);
    void SetZeroF(int flag);

    void SetBasicStamp(int v) { m_nBasicStamp = v; }
    void SetNameStamp(int v) { m_nNameStamp = v; }
    void SetLimitStamp(int v) { m_nLimitStamp = v; }
    void SetGroup33Stamp(int v) { m_nGroup33Stamp = v; }
    void SetGroup34Stamp(int v) { m_nGroup34Stamp = v; }
    void SetLevelStamp(int v) { m_nLevelStamp = v; }

    // ---- setters without a stamp ----
    // Stores the code; the high-pass drag mode becomes 11 for the tweeter codes, else 12.
    void SetSpeakerType(int code);
    // Bypasses (or restores) every equaliser element; marks nothing: the caller queues the block.
    void SetEqBypass(int flag);
    // The muted flag alone; while set the gain reads and packs as 0.
    void SetMuted(int muted) { m_nMuted = muted ? 1 : 0; }
    // Output index 0..7. Outputs 0, 2, 4 also take level A 1 and outputs 1, 3, 5 level B 1.
    void SetChannel(int channel);
    void SetCurveColor(COLORREF c) { m_clrCurve = c; }
    void SetCurveArgb(std::uint32_t argb) { m_argbCurve = argb; }
    void SetCurveFlag(int flag) { m_nCurveFlag = flag; }
    void SetNameItem(int item) { m_nNameItem = item & 0xFF; }
    void SetBasicItem(int item) { m_nBasicItem = item & 0xFF; }
    void SetLimitItem(int item) { m_nLimitItem = item & 0xFF; }
    void SetGroup33ItemNo(int item) { m_nGroup33Item = item & 0xFF; }
    void SetGroup34ItemNo(int item) { m_nGroup34Item = item & 0xFF; }

    // ---- getters ----
    std::string GetName() const;
    int GetGain() const { return m_nMuted ? 0 : m_nGain.load(); }
    int GetMuted() const { return m_nMuted; }
    int GetPolarity() const { return m_nPolarity; }
    int GetOn() const { return m_nOn; }
    int GetDelay() const { return m_nDelay; }
    int GetEqMode() const { return m_nEqMode; }
    int GetSpeakerType() const { return m_nSpeakerType; }
    int GetLimitThreshold() const { return m_nLimitThreshold; }
    int GetLimitAttack() const { return m_nLimitAttack; }
    int GetLimitRelease() const { return m_nLimitRelease; }
    int GetGroup33Byte(int k) const;
    int GetGroup34Byte(int k) const;
    int GetGroup33Byte0() const { return GetGroup33Byte(0); }
    int GetGroup33Byte1() const { return GetGroup33Byte(1); }
    int GetGroup33Byte2() const { return GetGroup33Byte(2); }
    int GetGroup33Byte3() const { return GetGroup33Byte(3); }
    int GetGroup33Byte4() const { return GetGroup33Byte(4); }
    int GetGroup33Byte5() const { return GetGroup33Byte(5); }
    int GetGroup33Byte6() const { return GetGroup33Byte(6); }
    int GetGroup33Byte7() const { return GetGroup33Byte(7); }
    int GetGroup34Byte4() const { return GetGroup34Byte(4); }
    int GetGroup34Byte5() const { return GetGroup34Byte(5); }
    int GetGroup34Byte6() const { return GetGroup34Byte(6); }
    int GetGroup34Byte7() const { return GetGroup34Byte(7); }
    int GetExtra(int k) const;
    int GetExtra0() const { return GetExtra(0); }
    int GetExtra1() const { return GetExtra(1); }
    int GetGroup34Alt(int k) const;
    void SetGroup34Alt(std::span<const std::uint8_t> bytes);  // up to 8 bytes; no stamp
    int GetLevelA() const { return m_nLevelA; }
    int GetLevelB() const { return m_nLevelB; }
    int GetLevelC() const { return m_nLevelC; }
    int GetLevelD() const { return m_nLevelD; }
    int GetLevelE() const { return m_nLevelE; }
    int GetLevelF() const { return m_nLevelF; }
    int GetLevelG() const { return m_nLevelG; }
    int GetSwitchBits() const { return m_nSwitchBits; }
    int GetZeroA() const { return m_nZeroA; }
    int GetZeroB() const { return m_nZeroB; }
    int GetZeroC() const { return m_nZeroC; }
    int GetZeroD() const { return m_nZeroD; }
    int GetZeroF() const { return m_nZeroF; }
    // The record keeps no compressor threshold, attack, release or ratio: these answer 0.
    int GetZeroWord() const { return 0; }
    int GetZeroWord2() const { return 0; }
    int GetZeroWord3() const { return 0; }
    int GetZeroByte() const { return 0; }
    int GetChannel() const { return m_nChannel; }
    COLORREF GetCurveColor() const { return m_clrCurve; }
    std::uint32_t GetCurveArgb() const { return m_argbCurve; }
    int GetCurveFlag() const { return m_nCurveFlag; }
    int GetEqFlat() const { return m_nEqFlat; }
    int GetZeroDbY() const { return m_nZeroDbY; }
    int GetPlotHeight() const { return m_nPlotHeight; }
    int GetPlotWidth() const { return m_nPlotWidth; }
    int GetNameItem() const { return m_nNameItem; }
    int GetBasicItem() const { return m_nBasicItem; }
    int GetLimitItem() const { return m_nLimitItem; }
    int GetGroup33ItemNo() const { return m_nGroup33Item; }
    int GetGroup34ItemNo() const { return m_nGroup34Item; }

    int GetNameChanged() const { return m_nNameStamp; }
    int GetBasicChanged() const { return m_nBasicStamp; }
    int GetLimitChanged() const { return m_nLimitStamp; }
    int GetGroup33Changed() const { return m_nGroup33Stamp; }
    int GetGroup34Changed() const { return m_nGroup34Stamp; }
    int GetLevelChanged() const { return m_nLevelStamp; }

    // ---- equaliser elements ----
    CKTVEQ &GetEq() { return m_eq; }
    const CKTVEQ &GetEq() const { return m_eq; }
    int GetCount() const { return m_eq.GetSize(); }
    // Element i for 0 <= i < GetCount(), else null.
    CFilter *GetBand(int i) const;
    CFilter *GetHpf() const { return m_eq.GetHighPass(); }
    CFilter *GetLpf() const { return m_eq.GetLowPass(); }
    int GetHpfIndex() const { return GetCount() - 2; }
    int GetLpfIndex() const { return GetCount() - 1; }

    // ---- stamps ----
    // Level, basic, limiter, group-34 and group-33 stamps := flag (not the name stamp); every
    // element takes the send step with flag.
    void SetAllChanged(int flag);
    // Steps whichever crossover has a pending change; true when either had one.
    bool TakeCrossoverChanges();

    // ---- copies (no stamps; the caller queues the block) ----
    // Equaliser, polarity, gain, on, delay, EQ mode, speaker type, group-33 and extra levels, the
    // second group-34 array and the limiter; muted := gain == 0.
    void CopyChannelFrom(const CKTV_OutData &other);
    // Equaliser, EQ mode, the second group-34 array and the limiter; muted := own gain == 0.
    void CopyEqAndLimitFrom(const CKTV_OutData &other);

    // ---- block writers (this output's block of g_CurImage) ----
    // Each writes its item; with a true flag it returns the item's write frame, else null.
    std::unique_ptr<CSendData> SendName();
    std::unique_ptr<CSendData> SendBasic(bool frame);
    std::unique_ptr<CSendData> SendCrossoverBlock(bool frame);
    std::unique_ptr<CSendData> SendGroup33(bool frame);
    std::unique_ptr<CSendData> SendGroup34(bool frame);
    // Bytes 0..5 only: the link group and the flag bits stay as they are.
    std::unique_ptr<CSendData> SendLimit(bool frame);
    // Element j's packet into item j; the frame is addressed to item `item`.
    std::unique_ptr<CSendData> SendBand(int j, int item);
    // Item 32 from the elements' frequencies, which become their send frequencies; both changed
    // marks are cleared. Returns the item's frame.
    std::unique_ptr<CSendData> SendCrossover();
    // The whole block without a frame: bands, name, items 31, 32, 34, 35 (bytes 0..5), 33.
    // TooLong when the name did not fit (item 36 then keeps its bytes); the rest is written.
    TextFieldResult FillRecord();
    // The same with the name's terminated copy and item 34 from the second group-34 array, then a
    // whole-block write frame of the current image for the preset.
    std::unique_ptr<CSendData> FillRecordAndFrame(int preset);

    // ---- block readers (no stamps) ----
    // Unpacks a whole 296-byte block; a shorter span changes nothing.
    void LoadFromRecord(std::span<const std::uint8_t> block);
    void LoadBasic(const std::uint8_t *item);
    void LoadCrossover(const std::uint8_t *item);
    void LoadLimit(const std::uint8_t *item);
    void SetGroup33(const std::uint8_t *bytes);
    void SetGroup34(const std::uint8_t *bytes);
    void GetGroup33(std::uint8_t *out) const;
    void GetGroup34(std::uint8_t *out) const;
    // Item 32 from the live elements, without touching the image.
    void GetCrossoverBlock(CrossoverRecord &out) const;
    CrossoverRecord GetCrossoverBlock() const;
    // Threshold, attack and release words and byte 6 = the low byte of this output's link group.
    std::array<std::uint8_t, 8> GetLimitBlock() const;

    // ---- curves (UI thread) ----
    // Lays the curve's points and the elements out in a plot of this size, then sums the curve.
    void SetPlotRect(const CRect &rect);
    // The layout alone: the curve's heights are summed at the next UpdateCurve().
    void SetPlotGeometry(const CRect &rect);
    void UpdateCurve();
    void UpdateBandCurve(int i);
    void UpdateEqFlat();
    // 1 when every element would be neutral after SetEqBypass(flag); changes nothing, so a page
    // can ask the user before it bypasses or restores the equaliser.
    int EqFlatAfterBypass(int flag) const;

    // ---- report texts (C locale; Chinese where the interface is) ----
    std::string GetGainText() const;
    std::string GetPolarityText() const;
    std::string GetOnText() const;
    std::string GetDelayText() const;
    std::string GetThresholdText() const;
    std::string GetAttackText() const;
    std::string GetReleaseText() const;
    std::string GetSwitchText(int bit) const;
    std::string GetMix0Text() const;  // level A
    std::string GetMix1Text() const;  // level B
    std::string GetMix2Text() const;  // level C
    std::string GetMix3Text() const;  // level D
    std::string GetMix4Text() const;  // level F
    std::string GetSplitText() const; // level G
    std::string GetMixOnText0() const;
    std::string GetMixOnText1() const;
    std::string GetEmptyText() const { return {}; }
    std::string GetEmptyText2() const { return {}; }

    // Curves read by the response graph.
    CPoint m_ptCurve[kFreqPoints];
    CurvePointF m_ptCurveF[kFreqPoints];

private:
    // Calls fn on every other output record whose link group equals this output's non-zero one.
    void ForEachLinked(const std::function<void(CKTV_OutData &)> &fn);
    void LinkCopyBasic();
    void LinkCopyLimit();
    void LinkCopyLevels();
    void ApplyShortLabels(int mode);
    void SetLimitValue(std::atomic<int> &field, int code);
    // Edits item k of this output's block under the image lock; false when the block is absent.
    bool EditItem(int item, const std::function<void(std::uint8_t *)> &edit) const;
    std::unique_ptr<CSendData> ItemFrame(int item) const;
    TextFieldResult WriteName(bool terminated);
    void WriteBands();

    int m_nZeroDbY = 0;
    int m_nPlotHeight = 0;
    int m_nPlotWidth = 0;
    CRect m_plotGeometry{};  // the plot rectangle the curve's points and the elements were laid out for
    bool m_bPlotGeometrySet = false;

    mutable std::mutex m_nameMutex;
    std::string m_strName;
    std::atomic<int> m_nNameItem{kNameItem};

    CKTVEQ m_eq;

    std::atomic<int> m_nPolarity{0};
    std::atomic<int> m_nOn{1};
    std::atomic<int> m_nGain{kGainMax};
    std::atomic<int> m_nMuted{0};
    std::atomic<int> m_nDelay{0};
    std::atomic<int> m_nEqMode{0};
    std::atomic<int> m_nSpeakerType{0};
    std::atomic<int> m_nBasicItem{kBasicItem};
    std::atomic<int> m_nLimitThreshold{420};
    std::atomic<int> m_nLimitAttack{56};
    std::atomic<int> m_nLimitRelease{100};
    std::atomic<int> m_nLimitItem{kLimitItem};
    std::array<std::atomic<std::uint8_t>, 8> m_group34;
    std::array<std::atomic<std::uint8_t>, 8> m_group34Alt;
    std::atomic<int> m_nGroup34Item{kGroup34Item};
    int m_nLevelA = 50;
    int m_nLevelB = 50;
    int m_nLevelC = 50;
    int m_nLevelD = 40;
    int m_nLevelE = 0;
    int m_nLevelF = 80;
    int m_nLevelG = 50;
    int m_nSwitchBits = 16;
    std::array<std::atomic<std::uint8_t>, 8> m_group33;
    std::array<std::atomic<std::uint8_t>, 4> m_extra;
    std::atomic<int> m_nGroup33Item{kGroup33Item};
    int m_nZeroA = 1;
    int m_nZeroB = 1;
    int m_nZeroC = 0;
    int m_nZeroD = 0;
    int m_nZeroF = 0;
    std::atomic<int> m_nNameStamp{0};
    std::atomic<int> m_nLevelStamp{0};
    std::atomic<int> m_nBasicStamp{0};
    std::atomic<int> m_nLimitStamp{0};
    std::atomic<int> m_nGroup34Stamp{0};
    std::atomic<int> m_nGroup33Stamp{0};
    std::atomic<int> m_nChannel{0};
    int m_nCurveFlag = 1;
    COLORREF m_clrCurve = 0;
    std::uint32_t m_argbCurve = 0;
    int m_nEqFlat = 1;
};
