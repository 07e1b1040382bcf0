#include "link/UpData_Thread.h"

#include "platform/ViewServices.h"

#include <chrono>

std::atomic<int> g_bUpdatePolling{0};

CUpData_Thread::~CUpData_Thread()
{
    StopTimer();
}

void CUpData_Thread::StartTimer(int periodMs)
{
    StopTimer();
    {
        std::lock_guard lock(m_mutex);
        m_stop = false;
    }
    m_ticks = 0;
    m_running = true;
    m_thread = std::thread([this, periodMs] { Run(periodMs); });
}

void CUpData_Thread::StopTimer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_cv.notify_all();
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
    m_running = false;
}

void CUpData_Thread::Run(int periodMs)
{
    std::unique_lock lock(m_mutex);
    for (int tick = 0; tick <= kUpdatePollLastTick; ++tick) {
        if (m_cv.wait_for(lock, std::chrono::milliseconds(periodMs), [this] { return m_stop; }))
            break;
        m_ticks = tick + 1;
        if (m_owner)
            m_owner->PostMessage(WM_UPDATE_POLL_TICK, static_cast<WPARAM>(tick), tick == kUpdatePollLastTick ? 1 : 0);
    }
    m_running = false;
}
