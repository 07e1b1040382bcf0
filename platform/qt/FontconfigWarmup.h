#pragma once
// Loads fontconfig's configuration on a thread of its own while the application object is made.
// Qt reads it at the first use of a font, and reading it (some fifty XML files) is one of the
// longest steps of the start; nothing else of the start needs it before the first font.

#include <thread>

class CFontconfigWarmup {
public:
    CFontconfigWarmup() = default;
    CFontconfigWarmup(const CFontconfigWarmup &) = delete;
    CFontconfigWarmup &operator=(const CFontconfigWarmup &) = delete;
    ~CFontconfigWarmup() { Wait(); }

    // Starts reading the configuration (once).
    void Start();
    // Returns once the configuration is read; at once when Start was not called. Call it before
    // the first use of a font: two threads reading it at the same time would each read it whole.
    void Wait();

private:
    std::thread m_thread;
};
