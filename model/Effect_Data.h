#pragma once
// The parameter record of the effect processor ("Effect"): two groups of small parameter values,
// a 3-band equaliser (100 Hz, 1 kHz, 10 kHz) with a high-pass and a low-pass crossover, a name,
// three change stamps and its response curve. It mirrors the 152-byte effect block of the device
// image (19 items): 0..2 band packets, 3..14 not the record's, 15 crossovers, 16 group 1,
// 17 group 2, 18 name. Bytes the record does not own keep what the block held.
//
// The effect's frames are addressed by the record's own item numbers (crossover 8, group 1 9,
// group 2 10, name 11) and carry the bytes the writer just put into the image; nothing in the
// program sends them. Used on the UI thread.

#include "model/InputRecord.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

class CSendData;

class CEffect_Data : public CInputRecord {
public:
    static constexpr int kBands = 3;
    static constexpr int kElements = kBands + 2;
    static constexpr int kNameBytes = 8;

    CEffect_Data();
    CEffect_Data(const CEffect_Data &) = delete;
    CEffect_Data &operator=(const CEffect_Data &) = delete;

    // ---- values (setters stamp their group with the online mark) ----
    TextFieldResult SetName(const std::string &name);
    std::string GetName() const;

    void SetGroup1Byte0(int v) { SetGroup1(0, v); }
    void SetGroup1Byte1(int v) { SetGroup1(1, v); }
    void SetGroup1Byte2(int v) { SetGroup1(2, v); }
    void SetGroup1Byte3(int v) { SetGroup1(3, v); }
    void SetGroup1Byte6(int v) { SetGroup1(6, v); }
    int GetGroup1Byte0() const { return m_group1[0]; }
    int GetGroup1Byte1() const { return m_group1[1]; }
    int GetGroup1Byte2() const { return m_group1[2]; }
    int GetGroup1Byte3() const { return m_group1[3]; }
    int GetGroup1Byte6() const { return m_group1[6]; }

    void SetGroup2Byte0(int v) { SetGroup2(0, v); }
    void SetGroup2Byte1(int v) { SetGroup2(1, v); }
    void SetGroup2Byte2(int v) { SetGroup2(2, v); }
    void SetGroup2Byte3(int v) { SetGroup2(3, v); }
    void SetGroup2Byte4(int v) { SetGroup2(4, v); }
    void SetGroup2Byte7(int v) { SetGroup2(7, v); }
    int GetGroup2Byte0() const { return m_group2[0]; }
    int GetGroup2Byte1() const { return m_group2[1]; }
    int GetGroup2Byte2() const { return m_group2[2]; }
    int GetGroup2Byte3() const { return m_group2[3]; }
    int GetGroup2Byte4() const { return m_group2[4]; }
    int GetGroup2Byte7() const { return m_group2[7]; }

    // Report texts.
    std::string GetGroup1Byte0Text() const;
    std::string GetGroup1Byte1Text() const;
    std::string GetGroup1Byte2Text() const;
    std::string GetGroup1Byte3Text() const;
    std::string GetGroup1Byte6Text() const;
    std::string GetGroup2Byte0Text() const;
    std::string GetGroup2Byte1Text() const;
    std::string GetGroup2Byte2Text() const;
    std::string GetGroup2Byte3Text() const;
    std::string GetGroup2Byte4Text() const;
    std::string GetGroup2Byte7Text() const;

    // ---- item numbers, stamps, colours ----
    void SetNameItem(int v) { m_nNameItem = v; }
    void SetGroup1Item(int v) { m_nGroup1Item = v; }
    void SetGroup2Item(int v) { m_nGroup2Item = v; }
    int GetNameItem() const { return m_nNameItem; }
    int GetGroup1Item() const { return m_nGroup1Item; }
    int GetGroup2Item() const { return m_nGroup2Item; }
    void SetNameChanged(int v) { m_nNameChanged = v; }
    void SetGroup1Changed(int v) { m_nGroup1Changed = v; }
    void SetGroup2Changed(int v) { m_nGroup2Changed = v; }
    int GetNameChanged() const { return m_nNameChanged; }
    int GetGroup1Changed() const { return m_nGroup1Changed; }
    int GetGroup2Changed() const { return m_nGroup2Changed; }
    // The channel byte of the effect's frames (the record is one block whatever it says).
    void SetChannel(int channel) { CInputRecord::SetChannel(channel & 0xFF); }
    int GetStateValue() const { return m_nStateValue; }

    int GetElementCount() const { return m_eq.GetSize(); }

    // The three stamps := v; each element takes the send step with v. The bypass covers all
    // five elements, the crossovers included.
    void SetAllChanged(int v);

    // ---- image writers (effect block of the current image) ----
    std::unique_ptr<CSendData> SendName();
    std::unique_ptr<CSendData> SendGroup1();
    std::unique_ptr<CSendData> SendGroup2();
    std::unique_ptr<CSendData> SendCrossover(bool frame);
    std::unique_ptr<CSendData> SendBand(int i, int n);
    // Items 18, 16 and 17, bands 0..2, then item 15. TooLong when the name no longer fits
    // (item 18 left as it was).
    TextFieldResult FillRecord();
    std::unique_ptr<CSendData> FillRecordAndFrame(int preset);

    // Unpacks a whole block (152 bytes; a shorter span changes nothing). No stamp is set.
    void LoadFromRecord(std::span<const std::uint8_t> block);
    void LoadCrossover(const std::uint8_t *item);

    // ---- curve (UI thread) ----
    void SetPlotRect(const CRect &rect);
    void UpdateCurve();

private:
    void SetGroup1(int byte, int v);
    void SetGroup2(int byte, int v);

    mutable std::mutex m_nameMutex;
    std::string m_strName = "Effect";
    std::atomic<int> m_nNameItem{11};
    std::atomic<int> m_group1[8] = {20, 84, 50, 68, 0, 0, 0, 0};  // bytes 0, 1, 2, 3, 6 used
    std::atomic<int> m_nGroup1Item{9};
    std::atomic<int> m_group2[8] = {18, 50, 0, 40, 50, 0, 0, 0};  // bytes 0, 1, 2, 3, 4, 7 used
    std::atomic<int> m_nGroup2Item{10};
    int m_nStateValue = 0;
    std::atomic<int> m_nNameChanged{0};
    std::atomic<int> m_nGroup1Changed{0};
    std::atomic<int> m_nGroup2Changed{0};
};
