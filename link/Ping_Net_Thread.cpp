#include "link/Ping_Net_Thread.h"

CPing_Net_Thread::CPing_Net_Thread(Check check) : m_check(std::move(check))
{
    m_thread = std::thread([this] { Run(); });
}

CPing_Net_Thread::~CPing_Net_Thread() { Quit(); }

void CPing_Net_Thread::StartTimer(int periodMs)
{
    {
        std::lock_guard lock(m_mutex);
        m_periodMs = periodMs > 0 ? periodMs : 500;
        m_running = true;
    }
    m_cv.notify_all();
}

void CPing_Net_Thread::StopTimer()
{
    std::unique_lock lock(m_mutex);
    if (!m_running)
        return;
    m_running = false;
    m_cv.notify_all();
    m_cv.wait(lock, [&] { return !m_checking.load(); });
}

void CPing_Net_Thread::Quit()
{
    StopTimer();
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_cv.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CPing_Net_Thread::Run()
{
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (!m_running) {
            m_cv.wait(lock, [&] { return m_quit || m_running.load(); });
            continue;
        }
        const int period = m_periodMs;
        if (m_cv.wait_for(lock, std::chrono::milliseconds(period), [&] { return m_quit || !m_running.load(); }))
            continue;
        m_checking = true;
        lock.unlock();
        m_check(m_running);
        ++m_checks;
        lock.lock();
        m_checking = false;
        m_cv.notify_all();
    }
}
