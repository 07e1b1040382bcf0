#include "link/LinkWorker.h"

#include "link/KTVCommand.h"
#include "link/LinkState.h"
#include "platform/GlobalData.h"

CLinkWorker::CLinkWorker(CKTVCommand &cmd) : m_cmd(cmd) {}

CLinkWorker::~CLinkWorker() { StopCommThread(false); }

void CLinkWorker::SetTransport(int linkMode, ILinkTransport *transport)
{
    if (linkMode == LINK_USB || linkMode == LINK_TCP || linkMode == LINK_SERIAL)
        m_transports[static_cast<std::size_t>(linkMode)] = transport;
}

void CLinkWorker::SetNextChange(NextChangeFn next) { m_next = std::move(next); }

void CLinkWorker::SetUpdateStep(std::function<void(int)> step) { m_updateStep = std::move(step); }

void CLinkWorker::SetEvent(int event)
{
    {
        std::lock_guard lock(m_mutex);
        m_events.at(static_cast<std::size_t>(event)) = true;
    }
    m_cv.notify_all();
}

void CLinkWorker::ResetEvent(int event)
{
    std::lock_guard lock(m_mutex);
    m_events.at(static_cast<std::size_t>(event)) = false;
}

bool CLinkWorker::IsEventSet(int event) const
{
    std::lock_guard lock(m_mutex);
    return m_events.at(static_cast<std::size_t>(event));
}

void CLinkWorker::CreateCommThread()
{
    if (m_exists)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_events = {};
        m_resumeRequested = false;
    }
    m_running = 1;
    m_resumed = 0;
    m_steps = 0;
    m_exists = true;
    m_thread = std::thread([this] { Run(); });
}

void CLinkWorker::ResumeCommThread()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_resumed.load() && m_resumeRequested)
            return;
        m_resumeRequested = true;
    }
    m_cv.notify_all();
}

int CLinkWorker::StartCommThread()
{
    g_bNeedsFirmware = 0;
    if (!m_exists) {
        CreateCommThread();
        SetEvent(g_bUpdating.load() ? kUpdateTraffic : kNormalTraffic);
        ResumeCommThread();
    }
    g_bUsbOpen = 1;
    return 1;
}

int CLinkWorker::StopCommThread(bool full)
{
    if (m_exists) {
        ResumeCommThread();
        SetEvent(kExit);
        if (m_thread.joinable())
            m_thread.join();
        m_exists = false;
    }
    if (!full)
        return 0;
    m_running = 0;
    m_resumed = 1;
    {
        std::lock_guard lock(m_mutex);
        m_events = {};
        m_resumeRequested = false;
    }
    g_bUsbOpen = 0;
    return 1;
}

int CLinkWorker::WaitAny(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    auto anySet = [&] {
        for (bool e : m_events)
            if (e)
                return true;
        return false;
    };
    if (!m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), anySet))
        return -1;
    for (int i = 0; i < kEventCount; ++i)
        if (m_events[static_cast<std::size_t>(i)])
            return i;
    return -1;
}

bool CLinkWorker::Pause(int ms)
{
    std::unique_lock lock(m_mutex);
    return !m_cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_events[kExit]; });
}

void CLinkWorker::Run()
{
    // Created suspended: nothing happens until the first resume.
    {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return m_resumeRequested; });
    }
    const PauseFn pause = [this](int ms) { return Pause(ms); };
    for (;;) {
        m_running = 1;
        m_resumed = 1;
        switch (WaitAny(kWaitTimeoutMs)) {
        case kExit:
            m_running = 0;
            return;
        case kSuspend: {
            std::unique_lock lock(m_mutex);
            m_resumeRequested = false;
            m_resumed = 0;
            m_cv.wait(lock, [&] { return m_resumeRequested || m_events[kExit]; });
            break;
        }
        case kUpdateTraffic: {
            if (g_bUpdateFinished.load()) {
                ResetEvent(kUpdateTraffic);
                break;
            }
            const int mode = g_nLinkMode.load();
            const bool usable = (mode == LINK_USB && g_bUsbOpen.load()) || (mode == LINK_TCP && g_bNetOpen.load());
            if (usable && m_updateStep)
                m_updateStep(mode);
            else
                Pause(kUnusablePauseMs);  // nothing to run: do not spin on the set event
            break;
        }
        case kNormalTraffic: {
            if (g_bUpdateCancelled.load() || g_bNeedsFirmware.load()) {
                ResetEvent(kNormalTraffic);
                break;
            }
            const int mode = g_nLinkMode.load();
            ILinkTransport *t = (mode == LINK_USB || mode == LINK_TCP || mode == LINK_SERIAL)
                                    ? m_transports[static_cast<std::size_t>(mode)]
                                    : nullptr;
            if (t && mode == LINK_TCP && !t->IsUsable()) {
                Pause(kUnusablePauseMs);  // not under the lock: the UI may queue meanwhile
            } else if (t) {
                {
                    std::lock_guard lock(g_csLink);
                    t->NormalStep(m_cmd, m_next);
                }
                ++m_steps;
                t->AfterStep(m_cmd, pause);
            }
            Pause(kStepPauseMs);
            break;
        }
        default:
            break;  // time-out
        }
    }
}
