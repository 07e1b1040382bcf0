#include "model/Music_InData.h"

#include "model/DataDefine.h"
#include "model/RecordItems.h"
#include "platform/GlobalData.h"
#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"

using namespace record_items;

namespace {

constexpr int kBasicItem = 31;
constexpr int kCrossoverItem = 32;
constexpr int kThresholdItem = 33;
constexpr int kLimitItem = 34;
constexpr int kNameItem = 35;

int Online() { return g_bDeviceOnline.load(); }

}  // namespace

CMusic_InData::CMusic_InData() : CInputRecord(OBJ_MUSIC, kBands) {}

void CMusic_InData::InitEQ(int lastBand, int crossoverIndex, int lowPassFreq)
{
    m_eq.InitMusicBands(lastBand, crossoverIndex, lowPassFreq);
}

TextFieldResult CMusic_InData::SetName(const std::string &name)
{
    const auto check = CheckTextField(name, kNameBytes);
    if (check != TextFieldResult::Ok)
        return check;
    {
        std::lock_guard lock(m_nameMutex);
        m_strName = name;
    }
    m_nNameChanged = Online();
    return TextFieldResult::Ok;
}

std::string CMusic_InData::GetName() const
{
    std::lock_guard lock(m_nameMutex);
    return m_strName;
}

void CMusic_InData::SetGain(int code)
{
    m_nGain = code;
    m_nRecordChanged = Online();
}

void CMusic_InData::SetSwitch(int on)
{
    m_nSwitch = on;
    m_nRecordChanged = Online();
}

void CMusic_InData::SetPolarity(int polarity)
{
    m_nPolarity = polarity;
    m_nRecordChanged = Online();
}

void CMusic_InData::SetDelay(int code)
{
    m_nDelay = code;
    m_nRecordChanged = Online();
}

void CMusic_InData::SetEqMode(int mode)
{
    m_nEqMode = mode;
    for (int i = 0; i < kBands; ++i)
        if (CFilter *band = m_eq.GetAt(i))
            band->SetShortLabel(mode);
    m_nRecordChanged = Online();
}

void CMusic_InData::SetThreshold(int code)
{
    m_nThreshold = code;
    m_nThresholdChanged = Online();
}

void CMusic_InData::SetLimitThreshold(int code)
{
    m_nLimitThreshold = code;
    m_nLimitChanged = Online();
}

void CMusic_InData::SetLimitAttack(int code)
{
    m_nLimitAttack = code;
    m_nLimitChanged = Online();
}

void CMusic_InData::SetLimitRelease(int code)
{
    m_nLimitRelease = code;
    m_nLimitChanged = Online();
}

void CMusic_InData::SetChanged(int v)
{
    m_nRecordChanged = v;
    m_nNameChanged = v;
    m_nThresholdChanged = v;
    m_nLimitChanged = v;
    for (int i = 0; i < m_eq.GetSize(); ++i)
        m_eq.GetAt(i)->StepSendFreq(v);
}

void CMusic_InData::CopyFrom(const CMusic_InData &other)
{
    {
        const std::string name = other.GetName();
        std::lock_guard lock(m_nameMutex);
        m_strName = name;
    }
    m_nGain = other.m_nGain.load();
    m_nLimitThreshold = other.m_nLimitThreshold.load();
    m_nLimitAttack = other.m_nLimitAttack.load();
    m_nLimitRelease = other.m_nLimitRelease.load();
    m_nSwitch = other.m_nSwitch.load();
    m_nPolarity = other.m_nPolarity.load();
    m_nDelay = other.m_nDelay.load();
    m_eq.CopyFrom(other.m_eq);
}

// ---- block writers ----------------------------------------------------------------------------

std::unique_ptr<CSendData> CMusic_InData::SendBasic(bool frame)
{
    const int polarity = m_nPolarity, mode = m_nEqMode, on = m_nSwitch, delay = m_nDelay, gain = GetGain();
    const Item bytes = EditItem(kBasicItem, [&](std::uint8_t *p) {
        p[1] = static_cast<std::uint8_t>(polarity);
        p[2] = static_cast<std::uint8_t>(mode);
        p[3] = static_cast<std::uint8_t>(on);
        Put16(p + 4, delay);
        Put16(p + 6, gain);
    });
    return frame ? ItemFrame(m_nBasicItem, kBasicItem, bytes) : nullptr;
}

std::unique_ptr<CSendData> CMusic_InData::SendCrossover(bool frame)
{
    const Item bytes = WriteCrossover(kCrossoverItem);
    return frame ? ItemFrame(kCrossoverItem, kCrossoverItem, bytes) : nullptr;
}

std::unique_ptr<CSendData> CMusic_InData::SendThreshold(bool frame)
{
    const int threshold = m_nThreshold;
    const Item bytes = EditItem(kThresholdItem,
                  [&](std::uint8_t *p) { p[0] = static_cast<std::uint8_t>(threshold); });
    return frame ? ItemFrame(m_nThresholdItem, kThresholdItem, bytes) : nullptr;
}

std::unique_ptr<CSendData> CMusic_InData::SendLimit(bool frame)
{
    const int threshold = m_nLimitThreshold, attack = m_nLimitAttack, release = m_nLimitRelease;
    const Item bytes = EditItem(kLimitItem, [&](std::uint8_t *p) {
        Put16(p, threshold);
        p[2] = static_cast<std::uint8_t>(attack);
        p[3] = static_cast<std::uint8_t>(release);
    });
    return frame ? ItemFrame(m_nLimitItem, kLimitItem, bytes) : nullptr;
}

std::unique_ptr<CSendData> CMusic_InData::SendBand(int i, int n)
{
    Item bytes{};
    if (!WriteBand(i, kBands, &bytes))
        return nullptr;
    return ItemFrame(n, i, bytes);
}

std::unique_ptr<CSendData> CMusic_InData::SendName()
{
    WriteName(kNameItem, kNameBytes, GetName());
    return ItemFrame(m_nNameItem);
}

TextFieldResult CMusic_InData::FillRecord()
{
    WriteBands(kBands);
    const TextFieldResult result = WriteName(kNameItem, kNameBytes, GetName());
    SendBasic(false);
    SendCrossover(false);
    SendLimit(false);
    SendThreshold(false);
    return result;
}

std::unique_ptr<CSendData> CMusic_InData::FillRecordAndFrame(int preset)
{
    FillRecord();
    return BlockFrame(preset);
}

// ---- unpacking ----------------------------------------------------------------------------------

void CMusic_InData::LoadFromRecord(std::span<const std::uint8_t> block)
{
    if (block.size() < DeviceImage::kMusicSize)
        return;
    const std::uint8_t *b = block.data();
    auto item = [b](int k) { return b + k * DeviceImage::kItemSize; };

    for (int i = 0; i < kBands && i < m_eq.GetSize(); ++i)
        m_eq.SetBandFromPacket(EqBandPacket::FromBytes(item(i)), i);
    {
        std::string name = BufferToCString(item(kNameItem), kNameBytes);  // fits back with its NUL
        std::lock_guard lock(m_nameMutex);
        m_strName = std::move(name);
    }
    LoadBasic(item(kBasicItem));
    LoadCrossover(item(kCrossoverItem));
    LoadThreshold(item(kThresholdItem));
    LoadLimit(item(kLimitItem));
}

void CMusic_InData::LoadBasic(const std::uint8_t *p)
{
    m_nSwitch = p[3];
    m_nPolarity = p[1];
    m_nGain = Get16(p + 6);
    m_nDelay = Get16(p + 4);
    m_nEqMode = p[2];
    for (int i = 0; i < kBands && i < m_eq.GetSize(); ++i)
        m_eq.GetAt(i)->SetShortLabel(m_nEqMode);
}

void CMusic_InData::LoadCrossover(const std::uint8_t *p) { TakeCrossover(p, GetHpf(), GetLpf()); }

void CMusic_InData::LoadThreshold(const std::uint8_t *p) { m_nThreshold = p[0]; }

void CMusic_InData::LoadLimit(const std::uint8_t *p)
{
    m_nLimitThreshold = Get16(p);
    m_nLimitAttack = p[2];
    m_nLimitRelease = p[3];
}

// ---- curve ----------------------------------------------------------------------------------------

void CMusic_InData::SetPlotRect(const CRect &rect)
{
    LayOutCurve(rect);
    for (int i = 0; i < kFreqPoints; ++i)
        m_ptCurveF[i].y = m_eq.m_ptCurveF[i].y;
    m_eq.SetPlotRect(rect);
    UpdateCurve();
}

void CMusic_InData::UpdateZeroDbY() { m_nZeroDbY = GainToIndex(0.0, m_nPlotHeight) + 10; }

void CMusic_InData::UpdateCurve()
{
    UpdateZeroDbY();
    m_eq.UpdateCurve();
    for (int i = 0; i < kFreqPoints; ++i) {
        m_ptCurve[i].y = m_eq.m_ptCurve[i].y;
        m_ptCurveF[i].y = m_eq.m_ptCurveF[i].y;
        m_ptCurveF[i].x = static_cast<float>(40.0 + FreqToSliderPosExact(g_FreqTable241[i], m_nPlotWidth));
    }
}

void CMusic_InData::UpdateBandCurve(int band)
{
    UpdateZeroDbY();
    m_eq.UpdateBandCurve(band);
    for (int i = 0; i < kFreqPoints; ++i)
        m_ptCurve[i].y = m_eq.m_ptCurve[i].y;
}

// ---- report texts -------------------------------------------------------------------------------

std::string CMusic_InData::GetGainText() const { return record_items::GainText(GetGain()); }

std::string CMusic_InData::GetPolarityText() const { return record_items::PolarityText(m_nPolarity); }

std::string CMusic_InData::GetSwitchText() const { return record_items::SwitchText(m_nSwitch); }

std::string CMusic_InData::GetDelayText() const { return record_items::DelayText(m_nDelay); }

std::string CMusic_InData::GetLimitThresholdText() const
{
    return record_items::LimitThresholdText(m_nLimitThreshold);
}

std::string CMusic_InData::GetThresholdText() const { return record_items::ThresholdText(m_nThreshold); }

void CMusic_InData::ResetEqBands()
{
    for (int i = 0; i < kBands; ++i)
        if (CFilter *band = GetBand(i))
            band->Reset(i < 15 ? g_GeqFreq15[i] : g_IsoFreq31[i]);
}
