#include "platform/qt/FontconfigWarmup.h"

#include <fontconfig/fontconfig.h>

void CFontconfigWarmup::Start()
{
    if (m_thread.joinable())
        return;
    m_thread = std::thread([] { FcInit(); });
}

void CFontconfigWarmup::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
}
