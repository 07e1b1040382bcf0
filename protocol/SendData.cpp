#include "protocol/SendData.h"

#include "platform/GlobalData.h"

#include <algorithm>
#include <cstring>

void CSendData::SetData(std::vector<std::uint8_t> frame)
{
    m_frame = std::move(frame);
    m_length = static_cast<int>(m_frame.size());
    m_sendPos = 0;
}

void CSendData::SetLength(int length)
{
    m_length = std::clamp(length, 0, static_cast<int>(m_frame.size()));
}

int CSendData::IsPending() const
{
    if (g_nLinkMode.load() != LINK_NONE)
        return m_pending;
    return m_sendPos < m_length ? 1 : 0;
}

int CSendData::GetNotifyDone() const
{
    if (g_nLinkMode.load() != LINK_NONE || m_sendPos == m_length)
        return m_notifyDone;
    return 0;
}

int CSendData::GetLastInBatch() const
{
    if (g_nLinkMode.load() != LINK_NONE || m_sendPos >= m_length)
        return m_lastInBatch;
    return 0;
}

bool CSendData::NextHidReport(HidReport &report)
{
    if (m_sendPos >= m_length)
        return false;
    report.fill(0);
    std::size_t n = std::min<std::size_t>(kHidReportPayload, static_cast<std::size_t>(m_length - m_sendPos));
    std::memcpy(report.data() + 1, m_frame.data() + m_sendPos, n);
    m_sendPos += static_cast<int>(n);
    return true;
}
