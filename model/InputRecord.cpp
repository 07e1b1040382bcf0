#include "model/InputRecord.h"

#include "model/DataDefine.h"
#include "model/ImageFrames.h"
#include "protocol/SendData.h"

using namespace record_items;

CInputRecord::CInputRecord(int objType, int bypassElements, COLORREF curveColour, std::uint32_t curveArgb)
    : m_objType(objType), m_bypassElements(bypassElements), m_clrCurve(curveColour), m_argbCurve(curveArgb)
{
}

void CInputRecord::SetAllBypass(int flag) { SetEqBypass(m_eq, m_bypassElements, flag); }

bool CInputRecord::IsAllBypassed()
{
    const bool all = EqAllNeutral(m_eq, m_bypassElements);
    m_nAllBypassed = all ? 1 : 0;
    return all;
}

bool CInputRecord::TakeCrossoverChanges() { return TakeCrossoverMarks(GetHpf(), GetLpf()); }

Item CInputRecord::WriteCrossover(int item)
{
    const CFilter::DeviceValues hp = GetHpf()->GetDeviceValues();
    const CFilter::DeviceValues lp = GetLpf()->GetDeviceValues();
    return EditItem(item, [&](std::uint8_t *p) { PutCrossover(p, hp, lp); });
}

void CInputRecord::WriteBands(int bands) { WriteImageBands(m_objType, BlockChannel(), bands, m_eq); }

TextFieldResult CInputRecord::WriteName(int item, int bytes, const std::string &name)
{
    return WriteImageName(m_objType, BlockChannel(), item, bytes, name);
}

bool CInputRecord::WriteBand(int i, int bands, Item *written)
{
    if (i < 0 || i >= bands || i >= m_eq.GetSize())
        return false;
    const EqBandPacket packet = m_eq.GetBandPacket(i);
    const Item now = EditItem(i, [&](std::uint8_t *p) { packet.CopyTo(p); });
    if (written)
        *written = now;
    return true;
}

std::unique_ptr<CSendData> CInputRecord::ItemFrame(int item) const
{
    return BuildImageItemFrame(m_objType, m_nChannel, item);
}

std::unique_ptr<CSendData> CInputRecord::ItemFrame(int item, int writtenItem, const Item &written) const
{
    // Input and effect frames never carry the output link flag.
    if (item == writtenItem)
        return BuildParamFrame(m_objType, m_nChannel, item, written, false);
    return ItemFrame(item);
}

std::unique_ptr<CSendData> CInputRecord::BlockFrame(int preset) const
{
    return BuildImageBlockFrame(preset, m_objType, m_nChannel, true);
}

void CInputRecord::LayOutCurve(const CRect &rect)
{
    m_nPlotHeight = rect.Height();
    m_nPlotWidth = rect.Width();
    for (int i = 0; i < kFreqPoints; ++i)
        m_ptCurve[i] = CPoint{40 + FreqToSliderPos(g_FreqTable241[i], m_nPlotWidth), m_nPlotHeight / 2};
}
