#pragma once
// State of the open link shared by the worker, the transports, the reply parser and the view, and
// the Qt-free faces of the two progress bars and the update tip that the parser moves from the
// worker thread. Flags are atomic: the worker and the UI read and write them without a lock.

#include <atomic>
#include <cstddef>
#include <string>

// The USB device handle is usable; the USB steps stop once it is cleared.
extern std::atomic<int> g_bUsbOpen;
// The TCP connection is usable for the worker.
extern std::atomic<int> g_bNetOpen;
// The device answered with an empty data reply; normal traffic stops until the view closes the link.
extern std::atomic<int> g_bNeedsFirmware;
// The handshake waits for the hello answer; the parser accepts nothing else meanwhile.
extern std::atomic<int> g_bHelloPhase;
// Firmware update state (set by the update engine and dialog, read and set by the parser).
extern std::atomic<int> g_bUpdating;
extern std::atomic<int> g_bUpdateFinished;
extern std::atomic<int> g_bUpdateCancelled;
extern std::atomic<int> g_bMcuImagePresent;

// The device's version text: at most 11 characters from the version reply (kept terminated).
constexpr std::size_t kDeviceVersionSize = 12;
std::string GetDeviceVersion();
void SetDeviceVersion(const std::string &text);  // cut to 11 characters

// A progress bar that another thread owns. SetPos may be called from any thread (the widget
// stores min(p, upper) and repaints on its own thread); the getters read plain values.
class ILinkProgress {
public:
    virtual ~ILinkProgress() = default;
    virtual void SetPos(int pos) = 0;
    virtual int GetPos() const = 0;
    virtual int GetRangeUpper() const = 0;
};

// A text shown by another thread's window (the update dialog's tip). Callable from any thread.
class ILinkTip {
public:
    virtual ~ILinkTip() = default;
    virtual void SetText(const std::string &utf8) = 0;
};

// The transfer popup's bar, the update dialog's bar and its tip; null while absent.
extern std::atomic<ILinkProgress *> g_pXferBar;
extern std::atomic<ILinkProgress *> g_pUpdateBar;
extern std::atomic<ILinkTip *> g_pUpdateTip;

// Clears every flag above and the version (start-up and tests).
void ResetLinkState();

// Clear g_bUsbOpen when the USB link closes, g_bNetOpen when the network link closes, both.
void ResetUsbLinkFlags();
void ResetNetLinkFlags();
void ResetAllLinkFlags();
