#pragma once
// The link's command object: the send queue that every part of the program fills, and the reply
// assembler and parser that empty it. Every operation runs while the caller holds g_csLink.

#include "link/SendData.h"
#include "link/SendDataQueue.h"

#include <memory>

class IMessageTarget;

class CKTVCommand {
public:
    CKTVCommand() = default;
    virtual ~CKTVCommand() = default;
    CKTVCommand(const CKTVCommand &) = delete;
    CKTVCommand &operator=(const CKTVCommand &) = delete;

    // The window that receives the parser's notices (the main view).
    void SetOwner(IMessageTarget *owner) { m_pOwner = owner; }
    IMessageTarget *GetOwner() const { return m_pOwner; }

    // ---- send queue -----------------------------------------------------------------------
    // Appends at the tail; the queue owns the item from now on. A null item is ignored.
    void Add(std::unique_ptr<CSendData> item);
    int GetCount() const { return m_queue.GetCount(); }
    // The head item, null when the queue is empty.
    CSendData *GetFront() const { return m_queue.GetFront(); }
    // Deletes the head and clears the receive status marks; nothing on an empty queue.
    void PopFront();
    // Deletes every item and resets the reply assembler.
    void RemoveAll();
    // The head is sent again from its first byte; nothing on an empty queue.
    void RewindFront();
    // Marks the head as refused by the device; nothing on an empty queue.
    void MarkFrontNaked();

    // ---- reply assembler and parser ---------------------------------------------------------
    // (the link's reply side goes here)

protected:
    // Clears the reply assembler's state; called by RemoveAll.
    virtual void ResetAssembler() {}

private:
    CSendDataQueue m_queue;
    IMessageTarget *m_pOwner = nullptr;
};
