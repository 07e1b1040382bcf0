#include "model/MIC_InData.h"

#include "model/DataDefine.h"
#include "model/RecordItems.h"
#include "platform/GlobalData.h"
#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"
#include "res/Strings.h"

#include <algorithm>
#include <cstring>

using namespace record_items;

namespace {

constexpr int kBasicItem = 9;
constexpr int kCrossoverItem = 10;
constexpr int kThresholdItem = 11;
constexpr int kLimitItem = 12;
constexpr int kNameItem = 13;

int Online() { return g_bDeviceOnline.load(); }

}  // namespace

CMIC_InData::CMIC_InData() : CInputRecord(OBJ_MIC, kAllElements) {}

void CMIC_InData::InitEQ(int lastBand, int crossoverIndex, int lowPassFreq)
{
    m_eq.InitMicBands(lastBand, crossoverIndex, lowPassFreq);
}

TextFieldResult CMIC_InData::SetName(const std::string &name)
{
    const auto check = CheckTextField(name, kNameBytes);
    if (check != TextFieldResult::Ok)
        return check;
    std::string gbk;
    Utf8ToGbkBytes(name, gbk);
    {
        std::lock_guard lock(m_nameMutex);
        m_name.fill(0);
        std::memcpy(m_name.data(), gbk.data(), std::min(gbk.size(), m_name.size()));
    }
    m_nNameChanged = Online();
    return TextFieldResult::Ok;
}

std::string CMIC_InData::GetName() const
{
    const auto buf = GetNameBuffer();
    const auto end = std::find(buf.begin(), buf.end(), 0);
    return GbkBytesToUtf8(std::string_view(reinterpret_cast<const char *>(buf.data()), end - buf.begin()));
}

std::array<std::uint8_t, CMIC_InData::kNameBytes> CMIC_InData::GetNameBuffer() const
{
    std::lock_guard lock(m_nameMutex);
    return m_name;
}

void CMIC_InData::SetLevel(int v) { m_nLevel = v; m_nRecordChanged = Online(); }
void CMIC_InData::SetSwitch(int v) { m_nSwitch = v; m_nRecordChanged = Online(); }
void CMIC_InData::SetPolarity(int v) { m_nPolarity = v; m_nRecordChanged = Online(); }
void CMIC_InData::SetOption(int v) { m_nOption = v; m_nRecordChanged = Online(); }
void CMIC_InData::SetDelay(int v) { m_nDelay = v; m_nRecordChanged = Online(); }
void CMIC_InData::SetMuted(int v) { m_nMuted = v; m_nRecordChanged = Online(); }

void CMIC_InData::SetGain(int code)
{
    m_nGain = code;
    m_nMuted = code == 0 ? 1 : 0;
    m_nRecordChanged = Online();
}

void CMIC_InData::SetThreshold(int code) { m_nThreshold = code; m_nThresholdChanged = Online(); }
void CMIC_InData::SetLimitThreshold(int code) { m_nLimitThreshold = code; m_nLimitChanged = Online(); }
void CMIC_InData::SetLimitAttack(int code) { m_nLimitAttack = code; m_nLimitChanged = Online(); }
void CMIC_InData::SetLimitRelease(int code) { m_nLimitRelease = code; m_nLimitChanged = Online(); }

void CMIC_InData::SetChanged(int v)
{
    m_nRecordChanged = v;
    m_nNameChanged = v;
    m_nThresholdChanged = v;
    m_nLimitChanged = v;
    for (int i = 0; i < m_eq.GetSize(); ++i)
        m_eq.GetAt(i)->StepSendFreq(v);
}

void CMIC_InData::CopyFrom(const CMIC_InData &other)
{
    const auto name = other.GetNameBuffer();
    {
        std::lock_guard lock(m_nameMutex);
        m_name = name;
    }
    m_nGain = other.m_nGain.load();
    m_nDelay = other.m_nDelay.load();
    m_eq.CopyFrom(other.m_eq);
}

// ---- block writers ----------------------------------------------------------------------------

std::unique_ptr<CSendData> CMIC_InData::SendBasic(bool frame)
{
    const int level = m_nLevel, polarity = m_nPolarity, option = m_nOption, on = m_nSwitch, delay = m_nDelay,
              gain = GetGain();
    const Item bytes = EditItem(kBasicItem, [&](std::uint8_t *p) {
        p[0] = static_cast<std::uint8_t>(level);
        p[1] = static_cast<std::uint8_t>(polarity);
        p[2] = static_cast<std::uint8_t>(option);
        p[3] = static_cast<std::uint8_t>(on);
        Put16(p + 4, delay);
        Put16(p + 6, gain);
    });
    return frame ? ItemFrame(m_nBasicItem, kBasicItem, bytes) : nullptr;
}

std::unique_ptr<CSendData> CMIC_InData::SendCrossover(bool frame)
{
    const Item bytes = WriteCrossover(kCrossoverItem);
    return frame ? ItemFrame(kCrossoverItem, kCrossoverItem, bytes) : nullptr;
}

std::unique_ptr<CSendData> CMIC_InData::SendThreshold(bool frame)
{
    const int threshold = m_nThreshold;
    const Item bytes = EditItem(kThresholdItem,
                  [&](std::uint8_t *p) { p[0] = static_cast<std::uint8_t>(threshold); });
    return frame ? ItemFrame(m_nThresholdItem, kThresholdItem, bytes) : nullptr;
}

std::unique_ptr<CSendData> CMIC_InData::SendLimit(bool frame)
{
    const int threshold = m_nLimitThreshold, attack = m_nLimitAttack, release = m_nLimitRelease;
    const Item bytes = EditItem(kLimitItem, [&](std::uint8_t *p) {
        Put16(p, threshold);
        p[2] = static_cast<std::uint8_t>(attack);
        p[3] = static_cast<std::uint8_t>(release);
    });
    return frame ? ItemFrame(m_nLimitItem, kLimitItem, bytes) : nullptr;
}

std::unique_ptr<CSendData> CMIC_InData::SendName(bool frame)
{
    WriteName(kNameItem, kNameBytes, GetName());
    return frame ? ItemFrame(m_nNameItem) : nullptr;
}

std::unique_ptr<CSendData> CMIC_InData::SendBand(int i, int n)
{
    Item bytes{};
    if (!WriteBand(i, kBands, &bytes))
        return nullptr;
    return ItemFrame(n, i, bytes);
}

TextFieldResult CMIC_InData::FillRecord()
{
    WriteBands(kBands);
    const TextFieldResult result = WriteName(kNameItem, kNameBytes, GetName());
    SendBasic(false);
    SendCrossover(false);
    SendLimit(false);
    SendThreshold(false);
    return result;
}

std::unique_ptr<CSendData> CMIC_InData::FillRecordAndFrame(int preset)
{
    FillRecord();
    return BlockFrame(preset);
}

// ---- unpacking ----------------------------------------------------------------------------------

void CMIC_InData::LoadFromRecord(std::span<const std::uint8_t> block)
{
    if (block.size() < DeviceImage::kMicSize)
        return;
    const std::uint8_t *b = block.data();
    auto item = [b](int k) { return b + k * DeviceImage::kItemSize; };

    for (int i = 0; i < kBands && i < m_eq.GetSize(); ++i)
        m_eq.SetBandFromPacket(EqBandPacket::FromBytes(item(i)), i);
    {
        // Read by the rule of every record (at most 7 bytes, no half character), so the name
        // always fits back with its NUL.
        std::string gbk;
        Utf8ToGbkBytes(BufferToCString(item(kNameItem), kNameBytes), gbk);
        std::lock_guard lock(m_nameMutex);
        m_name.fill(0);
        std::memcpy(m_name.data(), gbk.data(), std::min<std::size_t>(gbk.size(), kNameBytes - 1));
    }
    LoadBasic(item(kBasicItem));
    LoadThreshold(item(kThresholdItem));
    LoadLimit(item(kLimitItem));

    const std::uint8_t *x = item(kCrossoverItem);
    CFilter *elements[2] = {GetHpf(), GetLpf()};
    for (int k = 0; k < 2; ++k) {
        const std::uint8_t *p = x + 4 * k;
        CFilter *e = elements[k];
        const int f = Get16(p);
        e->SetFreq(f, 1);
        e->SetSendFreq(e->GetFreq());
        if (FamilyInRange(p[2]))
            e->SetFamily(p[2], 1);
        if (SlopeInRange(p[3]))
            e->SetSlope(p[3], 1);
        e->StepSendFreq(0);
    }
}

void CMIC_InData::LoadBasic(const std::uint8_t *p)
{
    m_nLevel = p[0];
    m_nPolarity = p[1];
    m_nSwitch = p[3];
    m_nOption = p[2];
    m_nDelay = Get16(p + 4);
    m_nGain = Get16(p + 6);
    m_nMuted = m_nGain == 0 ? 1 : 0;
}

void CMIC_InData::LoadCrossover(const std::uint8_t *x)
{
    CFilter *elements[2] = {GetHpf(), GetLpf()};
    for (int k = 0; k < 2; ++k) {
        const std::uint8_t *p = x + 4 * k;
        // Without the user mark the frequency setter moves the send frequency along; keep the
        // send frequency as it was.
        CFilter *e = elements[k];
        const int send = e->GetSendFreq();
        e->SetFreq(Get16(p), 0);
        e->SetSendFreq(send);
        if (FamilyInRange(p[2]))
            e->SetFamily(p[2], 0);
        if (SlopeInRange(p[3]))
            e->SetSlope(p[3], 0);
    }
}

void CMIC_InData::LoadThreshold(const std::uint8_t *p) { m_nThreshold = p[0]; }

void CMIC_InData::LoadLimit(const std::uint8_t *p)
{
    m_nLimitThreshold = Get16(p);
    m_nLimitAttack = p[2];
    m_nLimitRelease = p[3];
}

// ---- curve ----------------------------------------------------------------------------------------

void CMIC_InData::SetPlotRect(const CRect &rect)
{
    LayOutCurve(rect);
    for (int i = 0; i < kFreqPoints; ++i)
        m_ptCurveF[i].x = static_cast<float>(40.0 + FreqToSliderPosExact(g_FreqTable241[i], m_nPlotWidth));
    m_eq.SetPlotRect(rect);
    UpdateCurve();
}

void CMIC_InData::UpdateZeroDbY() { m_nZeroDbY = GainToIndex(0.0, m_nPlotHeight) + 10; }

void CMIC_InData::UpdateCurve()
{
    UpdateZeroDbY();
    m_eq.UpdateCurve();
    for (int i = 0; i < kFreqPoints; ++i) {
        m_ptCurve[i].y = m_eq.m_ptCurve[i].y;
        m_ptCurveF[i].y = m_eq.m_ptCurveF[i].y;
    }
}

void CMIC_InData::UpdateBandCurve(int band)
{
    UpdateZeroDbY();
    m_eq.UpdateBandCurve(band);
    for (int i = 0; i < kFreqPoints; ++i) {
        m_ptCurve[i].y = m_eq.m_ptCurve[i].y;
        m_ptCurveF[i].y = m_eq.m_ptCurveF[i].y;
    }
}

// ---- report texts -------------------------------------------------------------------------------

std::string CMIC_InData::GetLevelText() const
{
    const int level = m_nLevel;
    return level == 0 ? std::string(Tr(StrId::MicLevelOff)) : TrArgs(StrId::MicLevel, {std::to_string(level)});
}

std::string CMIC_InData::GetGainText() const { return record_items::GainText(GetGain()); }

std::string CMIC_InData::GetPolarityText() const { return record_items::PolarityText(m_nPolarity); }

std::string CMIC_InData::GetSwitchText() const { return record_items::SwitchText(m_nSwitch); }

std::string CMIC_InData::GetDelayText() const { return record_items::DelayText(m_nDelay); }

std::string CMIC_InData::GetLimitThresholdText() const
{
    return record_items::LimitThresholdText(m_nLimitThreshold);
}

std::string CMIC_InData::GetThresholdText() const { return record_items::ThresholdText(m_nThreshold); }
