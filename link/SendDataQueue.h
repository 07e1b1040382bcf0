#pragma once
// First-in-first-out queue of frames waiting to be sent. It owns its items: an item leaves the
// queue only by being deleted. Index 0 is the head, the frame being sent and waiting for its
// reply. Not synchronised: callers hold g_csLink.

#include "protocol/SendData.h"

#include <deque>
#include <memory>

class CSendDataQueue {
public:
    void Add(std::unique_ptr<CSendData> item);
    int GetCount() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    CSendData *GetFront() const { return m_items.empty() ? nullptr : m_items.front().get(); }
    CSendData *GetAt(int index) const;
    // Deletes the head; false when the queue was empty.
    bool PopFront();
    void RemoveAll() { m_items.clear(); }

private:
    std::deque<std::unique_ptr<CSendData>> m_items;
};
