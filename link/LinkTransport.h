#pragma once
// What the link worker needs of a transport (USB HID, TCP): one normal step, run under g_csLink,
// and the work that must wait outside the lock (a reconnect and its pause).

#include <chrono>
#include <functional>
#include <memory>

class CKTVCommand;
class CSendData;

// The send-next-change scheduler: the frame of the next pending change, or the status request
// when nothing is pending. Called on the worker under g_csLink.
using NextChangeFn = std::function<std::unique_ptr<CSendData>()>;

// Waits up to ms milliseconds; false when the worker is being stopped (the caller gives up).
using PauseFn = std::function<bool(int ms)>;

using LinkClock = std::chrono::steady_clock;

class ILinkTransport {
public:
    virtual ~ILinkTransport() = default;

    // The channel is usable (g_bUsbOpen / g_bNetOpen).
    virtual bool IsUsable() const = 0;

    // One normal step: the write step (refilling an empty queue from `next` instead of writing),
    // then, when a frame was written, the read step until the reply is parsed or a limit ends it.
    virtual void NormalStep(CKTVCommand &cmd, const NextChangeFn &next) = 0;

    // Runs after the step with the lock released: a reconnect the step asked for, with its pause.
    virtual void AfterStep(CKTVCommand &cmd, const PauseFn &pause)
    {
        (void)cmd;
        (void)pause;
    }
};
