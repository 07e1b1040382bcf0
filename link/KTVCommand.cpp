#include "link/KTVCommand.h"

#include "platform/GlobalData.h"

void CKTVCommand::Add(std::unique_ptr<CSendData> item)
{
    if (item)
        m_queue.Add(std::move(item));
}

void CKTVCommand::PopFront()
{
    if (m_queue.PopFront())
        ResetSerialRxState();
}

void CKTVCommand::RemoveAll()
{
    m_queue.RemoveAll();
    ResetAssembler();
}

void CKTVCommand::RewindFront()
{
    if (CSendData *front = m_queue.GetFront())
        front->ResetPosition();
}

void CKTVCommand::MarkFrontNaked()
{
    if (CSendData *front = m_queue.GetFront())
        front->SetNaked(1);
}

// ---- reply assembler and parser -----------------------------------------------------------
// (the link's reply side goes here)
