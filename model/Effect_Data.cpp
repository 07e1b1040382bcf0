#include "model/Effect_Data.h"

#include "model/DataDefine.h"
#include "model/RecordItems.h"
#include "platform/GlobalData.h"
#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"

using namespace record_items;

namespace {

// Items of the image's effect block.
constexpr int kCrossoverItem = 15;
constexpr int kGroup1Item = 16;
constexpr int kGroup2Item = 17;
constexpr int kNameItem = 18;
// Item number the crossover frame is addressed to.
constexpr int kCrossoverFrameItem = 8;

constexpr int kGroup1Bytes[] = {0, 1, 2, 3, 6};
constexpr int kGroup2Bytes[] = {0, 1, 2, 3, 4, 7};

}  // namespace

CEffect_Data::CEffect_Data() : CInputRecord(OBJ_EFFECT, kAllElements, RGB(255, 0, 0), 0xDCFF0000u)  // alpha 220, red
{
    m_eq.InitEffectBands(2, 8, 20000);
}

TextFieldResult CEffect_Data::SetName(const std::string &name)
{
    const auto check = CheckTextField(name, kNameBytes);
    if (check != TextFieldResult::Ok)
        return check;
    {
        std::lock_guard lock(m_nameMutex);
        m_strName = name;
    }
    m_nNameChanged = g_bDeviceOnline.load();
    return TextFieldResult::Ok;
}

std::string CEffect_Data::GetName() const
{
    std::lock_guard lock(m_nameMutex);
    return m_strName;
}

void CEffect_Data::SetGroup1(int byte, int v)
{
    m_group1[byte] = v;
    m_nGroup1Changed = g_bDeviceOnline.load();
}

void CEffect_Data::SetGroup2(int byte, int v)
{
    m_group2[byte] = v;
    m_nGroup2Changed = g_bDeviceOnline.load();
}

// ---- report texts -------------------------------------------------------------------------------

std::string CEffect_Data::GetGroup1Byte0Text() const
{
    const int v = m_group1[0];
    if (v < 100)
        return Format("R_%d", 100 - v) + "%";
    if (v == 100)
        return "OFF";
    if (v <= 195)
        return Format("L_%d", v - 100) + "%";
    return {};
}
std::string CEffect_Data::GetGroup1Byte1Text() const { return Format("%dms", 2 * m_group1[1]); }
std::string CEffect_Data::GetGroup1Byte2Text() const { return Format("%d", m_group1[2].load()) + "%"; }
std::string CEffect_Data::GetGroup1Byte3Text() const { return Format("%d", m_group1[3].load()) + "%"; }
std::string CEffect_Data::GetGroup1Byte6Text() const { return Format("%d", m_group1[6].load()); }
std::string CEffect_Data::GetGroup2Byte0Text() const { return Format("%0.1fs", m_group2[0] * 0.1); }
std::string CEffect_Data::GetGroup2Byte1Text() const { return Format("%d", m_group2[1].load()) + "%"; }
std::string CEffect_Data::GetGroup2Byte2Text() const { return Format("%d", m_group2[2].load()); }
std::string CEffect_Data::GetGroup2Byte3Text() const { return Format("%d", m_group2[3].load()) + "%"; }
std::string CEffect_Data::GetGroup2Byte4Text() const { return Format("%d", m_group2[4].load()) + "%"; }
std::string CEffect_Data::GetGroup2Byte7Text() const { return Format("%dms", m_group2[7].load()); }

// ---- stamps and bypass ----------------------------------------------------------------------------

void CEffect_Data::SetAllChanged(int v)
{
    m_nNameChanged = v;
    m_nGroup1Changed = v;
    m_nGroup2Changed = v;
    for (int i = 0; i < m_eq.GetSize(); ++i)
        m_eq.GetAt(i)->StepSendFreq(v);
}

// ---- image writers ------------------------------------------------------------------------------

std::unique_ptr<CSendData> CEffect_Data::SendName()
{
    WriteName(kNameItem, kNameBytes, GetName());
    return BuildItemFrame(OBJ_EFFECT, m_nChannel, m_nNameItem, ReadItem(kNameItem));
}

std::unique_ptr<CSendData> CEffect_Data::SendGroup1()
{
    int v[8];
    for (int b = 0; b < 8; ++b)
        v[b] = m_group1[b];
    const Item bytes = EditItem(kGroup1Item, [&](std::uint8_t *p) {
        for (int b : kGroup1Bytes)
            p[b] = static_cast<std::uint8_t>(v[b]);
    });
    return BuildItemFrame(OBJ_EFFECT, m_nChannel, m_nGroup1Item, bytes);
}

std::unique_ptr<CSendData> CEffect_Data::SendGroup2()
{
    int v[8];
    for (int b = 0; b < 8; ++b)
        v[b] = m_group2[b];
    const Item bytes = EditItem(kGroup2Item, [&](std::uint8_t *p) {
        for (int b : kGroup2Bytes)
            p[b] = static_cast<std::uint8_t>(v[b]);
    });
    return BuildItemFrame(OBJ_EFFECT, m_nChannel, m_nGroup2Item, bytes);
}

std::unique_ptr<CSendData> CEffect_Data::SendCrossover(bool frame)
{
    const Item bytes = WriteCrossover(kCrossoverItem);
    if (!frame)
        return nullptr;
    return BuildItemFrame(OBJ_EFFECT, m_nChannel, kCrossoverFrameItem, bytes);
}

std::unique_ptr<CSendData> CEffect_Data::SendBand(int i, int n)
{
    Item bytes{};
    if (!WriteBand(i, kBands, &bytes))
        return nullptr;
    return BuildItemFrame(OBJ_EFFECT, m_nChannel, n, bytes);
}

TextFieldResult CEffect_Data::FillRecord()
{
    const TextFieldResult result = WriteName(kNameItem, kNameBytes, GetName());
    SendGroup1();
    SendGroup2();
    WriteBands(kBands);
    SendCrossover(false);
    return result;
}

std::unique_ptr<CSendData> CEffect_Data::FillRecordAndFrame(int preset)
{
    FillRecord();
    return BlockFrame(preset);
}

// ---- unpacking ----------------------------------------------------------------------------------

void CEffect_Data::LoadFromRecord(std::span<const std::uint8_t> block)
{
    if (block.size() < DeviceImage::kEffectSize)
        return;
    const std::uint8_t *b = block.data();
    auto item = [b](int k) { return b + k * DeviceImage::kItemSize; };
    {
        std::string name = BufferToCString(item(kNameItem), kNameBytes);
        std::lock_guard lock(m_nameMutex);
        m_strName = std::move(name);
    }
    for (int byte : kGroup1Bytes)
        m_group1[byte] = item(kGroup1Item)[byte];
    for (int byte : kGroup2Bytes)
        m_group2[byte] = item(kGroup2Item)[byte];
    LoadCrossover(item(kCrossoverItem));
    for (int i = 0; i < kBands && i < m_eq.GetSize(); ++i)
        m_eq.SetBandFromPacket(EqBandPacket::FromBytes(item(i)), i);
}

void CEffect_Data::LoadCrossover(const std::uint8_t *p) { TakeCrossover(p, GetHpf(), GetLpf()); }

// ---- curve ----------------------------------------------------------------------------------------

void CEffect_Data::SetPlotRect(const CRect &rect)
{
    LayOutCurve(rect);
    for (int i = 0; i < kFreqPoints; ++i)
        m_ptCurveF[i].x = static_cast<float>(40.0 + FreqToSliderPosExact(g_FreqTable241[i], m_nPlotWidth));
    m_eq.SetPlotRect(rect);
    UpdateCurve();
}

void CEffect_Data::UpdateCurve()
{
    m_eq.UpdateCurve();
    for (int i = 0; i < kFreqPoints; ++i) {
        m_ptCurve[i].y = m_eq.m_ptCurve[i].y;
        m_ptCurveF[i].y = m_eq.m_ptCurveF[i].y;
    }
}
