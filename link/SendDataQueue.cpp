#include "link/SendDataQueue.h"

void CSendDataQueue::Add(std::unique_ptr<CSendData> item)
{
    if (item)
        m_items.push_back(std::move(item));
}

CSendData *CSendDataQueue::GetAt(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_items[static_cast<std::size_t>(index)].get();
}

bool CSendDataQueue::PopFront()
{
    if (m_items.empty())
        return false;
    m_items.pop_front();
    return true;
}
